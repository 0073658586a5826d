// The browser plug-in interface (NPAPI with NPRuntime) as Windows browsers lay
// it out, declared here from the published layout with fixed-width types:
// natively a C `long` is 64 bits while on Windows it is 32, so no field uses
// one. The names are the published ones. npapi_layout.cpp checks every size
// and offset for both Windows architectures.
#pragma once

#include <cstdint>

// The three exports use the platform's standard calling convention, which on
// 32-bit Windows is stdcall; every table entry in both directions is cdecl.
#if defined(_WIN32) && !defined(_WIN64)
#define NP_EXPORT_CALL __stdcall
#else
#define NP_EXPORT_CALL
#endif

typedef unsigned char NPBool;
typedef int16_t NPError;
typedef int16_t NPReason;
typedef char* NPMIMEType;
typedef char NPUTF8;
typedef void* NPIdentifier;
typedef void* NPRegion;
typedef void* NPMenu;

constexpr int NP_VERSION_MAJOR = 0;

enum : NPError {
  NPERR_NO_ERROR = 0,
  NPERR_GENERIC_ERROR = 1,
  NPERR_INVALID_INSTANCE_ERROR = 2,
  NPERR_INVALID_FUNCTABLE_ERROR = 3,
  NPERR_MODULE_LOAD_FAILED_ERROR = 4,
  NPERR_OUT_OF_MEMORY_ERROR = 5,
  NPERR_INVALID_PLUGIN_ERROR = 6,
  NPERR_INVALID_PLUGIN_DIR_ERROR = 7,
  NPERR_INCOMPATIBLE_VERSION_ERROR = 8,
  NPERR_INVALID_PARAM = 9,
  NPERR_INVALID_URL = 10,
  NPERR_FILE_NOT_FOUND = 11,
  NPERR_NO_DATA = 12,
  NPERR_STREAM_NOT_SEEKABLE = 13,
};

enum : NPReason { NPRES_DONE = 0, NPRES_NETWORK_ERR = 1, NPRES_USER_BREAK = 2 };

enum : uint16_t { NP_EMBED = 1, NP_FULL = 2 };
enum : uint16_t { NP_NORMAL = 1, NP_SEEK = 2, NP_ASFILE = 3, NP_ASFILEONLY = 4 };
constexpr int32_t NP_MAXREADY = 0x7FFFFFFF;

enum NPPVariable : int32_t {
  NPPVpluginNameString = 1,
  NPPVpluginDescriptionString = 2,
  NPPVpluginWindowBool = 3,
  NPPVpluginTransparentBool = 4,
  NPPVjavaClass = 5,
  NPPVpluginWindowSize = 6,
  NPPVpluginTimerInterval = 7,
  NPPVpluginScriptableInstance = 10,
  NPPVpluginScriptableIID = 11,
  NPPVjavascriptPushCallerBool = 12,
  NPPVpluginKeepLibraryInMemory = 13,
  NPPVpluginNeedsXEmbed = 14,
  NPPVpluginScriptableNPObject = 15,
  NPPVformValue = 16,
  NPPVpluginDrawingModel = 1000,
};

enum NPNVariable : int32_t {
  NPNVxDisplay = 1,
  NPNVxtAppContext = 2,
  NPNVnetscapeWindow = 3,
  NPNVjavascriptEnabledBool = 4,
  NPNVasdEnabledBool = 5,
  NPNVisOfflineBool = 6,
  NPNVserviceManager = 10,
  NPNVDOMElement = 11,
  NPNVDOMWindow = 12,
  NPNVToolkit = 13,
  NPNVSupportsXEmbedBool = 14,
  NPNVWindowNPObject = 15,
  NPNVPluginElementNPObject = 16,
  NPNVSupportsWindowless = 17,
  NPNVprivateModeBool = 18,
};

enum NPWindowType : int32_t { NPWindowTypeWindow = 1, NPWindowTypeDrawable = 2 };
enum NPFocusDirection : int32_t { NPFocusNext = 0, NPFocusPrevious = 1 };
enum NPNURLVariable : int32_t { NPNURLVCookie = 501, NPNURLVProxy = 502 };
enum NPCoordinateSpace : int32_t {
  NPCoordinateSpacePlugin = 1,
  NPCoordinateSpaceWindow = 2,
  NPCoordinateSpaceFlippedWindow = 3,
  NPCoordinateSpaceScreen = 4,
  NPCoordinateSpaceFlippedScreen = 5,
};

struct NPP_t {
  void* pdata;  // the plug-in's own
  void* ndata;  // the browser's own
};
typedef NPP_t* NPP;

struct NPByteRange {
  int32_t offset;  // negative: from the end
  uint32_t length;
  NPByteRange* next;
};

struct NPSavedData {
  int32_t len;
  void* buf;
};

struct NPRect {
  uint16_t top;
  uint16_t left;
  uint16_t bottom;
  uint16_t right;
};

struct NPSize {
  int32_t width;
  int32_t height;
};

struct NPStream {
  void* pdata;
  void* ndata;
  const char* url;
  uint32_t end;  // announced length, 0 when unknown
  uint32_t lastmodified;
  void* notifyData;
  const char* headers;  // API 0.17 and later
};

struct NPWindow {
  void* window;  // HWND, or HDC when printing
  int32_t x;
  int32_t y;
  uint32_t width;
  uint32_t height;
  NPRect clipRect;
  NPWindowType type;
};

struct NPEvent {
  uint16_t event;
  uintptr_t wParam;
  uintptr_t lParam;
};

struct NPFullPrint {
  NPBool pluginPrinted;
  NPBool printOne;
  void* platformPrint;
};

struct NPEmbedPrint {
  NPWindow window;
  void* platformPrint;
};

struct NPPrint {
  uint16_t mode;
  union {
    NPFullPrint fullPrint;
    NPEmbedPrint embedPrint;
  } print;
};

// NPRuntime

struct NPClass;

struct NPObject {
  NPClass* _class;
  uint32_t referenceCount;
};

struct NPString {
  const NPUTF8* UTF8Characters;
  uint32_t UTF8Length;  // bytes, no terminator counted
};

enum NPVariantType : int32_t {
  NPVariantType_Void = 0,
  NPVariantType_Null = 1,
  NPVariantType_Bool = 2,
  NPVariantType_Int32 = 3,
  NPVariantType_Double = 4,
  NPVariantType_String = 5,
  NPVariantType_Object = 6,
};

struct NPVariant {
  NPVariantType type;
  union {
    bool boolValue;
    int32_t intValue;
    double doubleValue;
    NPString stringValue;
    NPObject* objectValue;
  } value;
};

typedef NPObject* (*NPAllocateFunctionPtr)(NPP npp, NPClass* aClass);
typedef void (*NPDeallocateFunctionPtr)(NPObject* npobj);
typedef void (*NPInvalidateFunctionPtr)(NPObject* npobj);
typedef bool (*NPHasMethodFunctionPtr)(NPObject* npobj, NPIdentifier name);
typedef bool (*NPInvokeFunctionPtr)(NPObject* npobj, NPIdentifier name, const NPVariant* args,
                                    uint32_t argCount, NPVariant* result);
typedef bool (*NPInvokeDefaultFunctionPtr)(NPObject* npobj, const NPVariant* args, uint32_t argCount,
                                           NPVariant* result);
typedef bool (*NPHasPropertyFunctionPtr)(NPObject* npobj, NPIdentifier name);
typedef bool (*NPGetPropertyFunctionPtr)(NPObject* npobj, NPIdentifier name, NPVariant* result);
typedef bool (*NPSetPropertyFunctionPtr)(NPObject* npobj, NPIdentifier name, const NPVariant* value);
typedef bool (*NPRemovePropertyFunctionPtr)(NPObject* npobj, NPIdentifier name);
typedef bool (*NPEnumerationFunctionPtr)(NPObject* npobj, NPIdentifier** value, uint32_t* count);
typedef bool (*NPConstructFunctionPtr)(NPObject* npobj, const NPVariant* args, uint32_t argCount,
                                       NPVariant* result);

constexpr uint32_t NP_CLASS_STRUCT_VERSION_ENUM = 2;
constexpr uint32_t NP_CLASS_STRUCT_VERSION_CTOR = 3;
constexpr uint32_t NP_CLASS_STRUCT_VERSION = 3;

struct NPClass {
  uint32_t structVersion;
  NPAllocateFunctionPtr allocate;
  NPDeallocateFunctionPtr deallocate;
  NPInvalidateFunctionPtr invalidate;
  NPHasMethodFunctionPtr hasMethod;
  NPInvokeFunctionPtr invoke;
  NPInvokeDefaultFunctionPtr invokeDefault;
  NPHasPropertyFunctionPtr hasProperty;
  NPGetPropertyFunctionPtr getProperty;
  NPSetPropertyFunctionPtr setProperty;
  NPRemovePropertyFunctionPtr removeProperty;
  NPEnumerationFunctionPtr enumerate;  // struct version 2 and later
  NPConstructFunctionPtr construct;    // struct version 3 and later
};

// Browser services, in table order.

typedef NPError (*NPN_GetURLProcPtr)(NPP, const char* url, const char* target);
typedef NPError (*NPN_PostURLProcPtr)(NPP, const char* url, const char* target, uint32_t len, const char* buf,
                                      NPBool file);
typedef NPError (*NPN_RequestReadProcPtr)(NPStream*, NPByteRange* ranges);
typedef NPError (*NPN_NewStreamProcPtr)(NPP, NPMIMEType, const char* target, NPStream** stream);
typedef int32_t (*NPN_WriteProcPtr)(NPP, NPStream*, int32_t len, void* buffer);
typedef NPError (*NPN_DestroyStreamProcPtr)(NPP, NPStream*, NPReason);
typedef void (*NPN_StatusProcPtr)(NPP, const char* message);
typedef const char* (*NPN_UserAgentProcPtr)(NPP);
typedef void* (*NPN_MemAllocProcPtr)(uint32_t size);
typedef void (*NPN_MemFreeProcPtr)(void* ptr);
typedef uint32_t (*NPN_MemFlushProcPtr)(uint32_t size);
typedef void (*NPN_ReloadPluginsProcPtr)(NPBool reloadPages);
typedef void* (*NPN_GetJavaEnvProcPtr)();
typedef void* (*NPN_GetJavaPeerProcPtr)(NPP);
typedef NPError (*NPN_GetURLNotifyProcPtr)(NPP, const char* url, const char* target, void* notifyData);
typedef NPError (*NPN_PostURLNotifyProcPtr)(NPP, const char* url, const char* target, uint32_t len,
                                            const char* buf, NPBool file, void* notifyData);
typedef NPError (*NPN_GetValueProcPtr)(NPP, NPNVariable, void* value);
typedef NPError (*NPN_SetValueProcPtr)(NPP, NPPVariable, void* value);
typedef void (*NPN_InvalidateRectProcPtr)(NPP, NPRect* rect);
typedef void (*NPN_InvalidateRegionProcPtr)(NPP, NPRegion region);
typedef void (*NPN_ForceRedrawProcPtr)(NPP);
typedef NPIdentifier (*NPN_GetStringIdentifierProcPtr)(const NPUTF8* name);
typedef void (*NPN_GetStringIdentifiersProcPtr)(const NPUTF8** names, int32_t nameCount,
                                                NPIdentifier* identifiers);
typedef NPIdentifier (*NPN_GetIntIdentifierProcPtr)(int32_t intid);
typedef bool (*NPN_IdentifierIsStringProcPtr)(NPIdentifier identifier);
typedef NPUTF8* (*NPN_UTF8FromIdentifierProcPtr)(NPIdentifier identifier);
typedef int32_t (*NPN_IntFromIdentifierProcPtr)(NPIdentifier identifier);
typedef NPObject* (*NPN_CreateObjectProcPtr)(NPP, NPClass* aClass);
typedef NPObject* (*NPN_RetainObjectProcPtr)(NPObject* obj);
typedef void (*NPN_ReleaseObjectProcPtr)(NPObject* obj);
typedef bool (*NPN_InvokeProcPtr)(NPP, NPObject* obj, NPIdentifier methodName, const NPVariant* args,
                                  uint32_t argCount, NPVariant* result);
typedef bool (*NPN_InvokeDefaultProcPtr)(NPP, NPObject* obj, const NPVariant* args, uint32_t argCount,
                                         NPVariant* result);
typedef bool (*NPN_EvaluateProcPtr)(NPP, NPObject* obj, NPString* script, NPVariant* result);
typedef bool (*NPN_GetPropertyProcPtr)(NPP, NPObject* obj, NPIdentifier propertyName, NPVariant* result);
typedef bool (*NPN_SetPropertyProcPtr)(NPP, NPObject* obj, NPIdentifier propertyName, const NPVariant* value);
typedef bool (*NPN_RemovePropertyProcPtr)(NPP, NPObject* obj, NPIdentifier propertyName);
typedef bool (*NPN_HasPropertyProcPtr)(NPP, NPObject* obj, NPIdentifier propertyName);
typedef bool (*NPN_HasMethodProcPtr)(NPP, NPObject* obj, NPIdentifier propertyName);
typedef void (*NPN_ReleaseVariantValueProcPtr)(NPVariant* variant);
typedef void (*NPN_SetExceptionProcPtr)(NPObject* obj, const NPUTF8* message);
typedef void (*NPN_PushPopupsEnabledStateProcPtr)(NPP, NPBool enabled);
typedef void (*NPN_PopPopupsEnabledStateProcPtr)(NPP);
typedef bool (*NPN_EnumerateProcPtr)(NPP, NPObject* obj, NPIdentifier** identifier, uint32_t* count);
typedef void (*NPN_PluginThreadAsyncCallProcPtr)(NPP, void (*func)(void*), void* userData);
typedef bool (*NPN_ConstructProcPtr)(NPP, NPObject* obj, const NPVariant* args, uint32_t argCount,
                                     NPVariant* result);
typedef NPError (*NPN_GetValueForURLProcPtr)(NPP, NPNURLVariable, const char* url, char** value,
                                             uint32_t* len);
typedef NPError (*NPN_SetValueForURLProcPtr)(NPP, NPNURLVariable, const char* url, const char* value,
                                             uint32_t len);
typedef NPError (*NPN_GetAuthenticationInfoProcPtr)(NPP, const char* protocol, const char* host, int32_t port,
                                                    const char* scheme, const char* realm, char** username,
                                                    uint32_t* ulen, char** password, uint32_t* plen);
typedef uint32_t (*NPN_ScheduleTimerProcPtr)(NPP, uint32_t interval, NPBool repeat,
                                             void (*timerFunc)(NPP npp, uint32_t timerID));
typedef void (*NPN_UnscheduleTimerProcPtr)(NPP, uint32_t timerID);
typedef NPError (*NPN_PopUpContextMenuProcPtr)(NPP, NPMenu* menu);
typedef NPBool (*NPN_ConvertPointProcPtr)(NPP, double sourceX, double sourceY, NPCoordinateSpace sourceSpace,
                                          double* destX, double* destY, NPCoordinateSpace destSpace);
typedef NPBool (*NPN_HandleEventPtr)(NPP, void* event, NPBool handled);
typedef NPBool (*NPN_UnfocusInstancePtr)(NPP, NPFocusDirection direction);
typedef void (*NPN_URLRedirectResponsePtr)(NPP, void* notifyData, NPBool allow);

struct NPNetscapeFuncs {
  uint16_t size;
  uint16_t version;
  NPN_GetURLProcPtr geturl;
  NPN_PostURLProcPtr posturl;
  NPN_RequestReadProcPtr requestread;
  NPN_NewStreamProcPtr newstream;
  NPN_WriteProcPtr write;
  NPN_DestroyStreamProcPtr destroystream;
  NPN_StatusProcPtr status;
  NPN_UserAgentProcPtr uagent;
  NPN_MemAllocProcPtr memalloc;
  NPN_MemFreeProcPtr memfree;
  NPN_MemFlushProcPtr memflush;
  NPN_ReloadPluginsProcPtr reloadplugins;
  NPN_GetJavaEnvProcPtr getJavaEnv;
  NPN_GetJavaPeerProcPtr getJavaPeer;
  NPN_GetURLNotifyProcPtr geturlnotify;
  NPN_PostURLNotifyProcPtr posturlnotify;
  NPN_GetValueProcPtr getvalue;
  NPN_SetValueProcPtr setvalue;
  NPN_InvalidateRectProcPtr invalidaterect;
  NPN_InvalidateRegionProcPtr invalidateregion;
  NPN_ForceRedrawProcPtr forceredraw;
  NPN_GetStringIdentifierProcPtr getstringidentifier;
  NPN_GetStringIdentifiersProcPtr getstringidentifiers;
  NPN_GetIntIdentifierProcPtr getintidentifier;
  NPN_IdentifierIsStringProcPtr identifierisstring;
  NPN_UTF8FromIdentifierProcPtr utf8fromidentifier;
  NPN_IntFromIdentifierProcPtr intfromidentifier;
  NPN_CreateObjectProcPtr createobject;
  NPN_RetainObjectProcPtr retainobject;
  NPN_ReleaseObjectProcPtr releaseobject;
  NPN_InvokeProcPtr invoke;
  NPN_InvokeDefaultProcPtr invokeDefault;
  NPN_EvaluateProcPtr evaluate;
  NPN_GetPropertyProcPtr getproperty;
  NPN_SetPropertyProcPtr setproperty;
  NPN_RemovePropertyProcPtr removeproperty;
  NPN_HasPropertyProcPtr hasproperty;
  NPN_HasMethodProcPtr hasmethod;
  NPN_ReleaseVariantValueProcPtr releasevariantvalue;
  NPN_SetExceptionProcPtr setexception;
  NPN_PushPopupsEnabledStateProcPtr pushpopupsenabledstate;
  NPN_PopPopupsEnabledStateProcPtr poppopupsenabledstate;
  NPN_EnumerateProcPtr enumerate;
  NPN_PluginThreadAsyncCallProcPtr pluginthreadasynccall;
  NPN_ConstructProcPtr construct;
  NPN_GetValueForURLProcPtr getvalueforurl;
  NPN_SetValueForURLProcPtr setvalueforurl;
  NPN_GetAuthenticationInfoProcPtr getauthenticationinfo;
  NPN_ScheduleTimerProcPtr scheduletimer;
  NPN_UnscheduleTimerProcPtr unscheduletimer;
  NPN_PopUpContextMenuProcPtr popupcontextmenu;
  NPN_ConvertPointProcPtr convertpoint;
  NPN_HandleEventPtr handleevent;
  NPN_UnfocusInstancePtr unfocusinstance;
  NPN_URLRedirectResponsePtr urlredirectresponse;
};

// Plug-in callbacks, in table order.

typedef NPError (*NPP_NewProcPtr)(NPMIMEType pluginType, NPP instance, uint16_t mode, int16_t argc,
                                  char* argn[], char* argv[], NPSavedData* saved);
typedef NPError (*NPP_DestroyProcPtr)(NPP instance, NPSavedData** save);
typedef NPError (*NPP_SetWindowProcPtr)(NPP instance, NPWindow* window);
typedef NPError (*NPP_NewStreamProcPtr)(NPP instance, NPMIMEType type, NPStream* stream, NPBool seekable,
                                        uint16_t* stype);
typedef NPError (*NPP_DestroyStreamProcPtr)(NPP instance, NPStream* stream, NPReason reason);
typedef void (*NPP_StreamAsFileProcPtr)(NPP instance, NPStream* stream, const char* fname);
typedef int32_t (*NPP_WriteReadyProcPtr)(NPP instance, NPStream* stream);
typedef int32_t (*NPP_WriteProcPtr)(NPP instance, NPStream* stream, int32_t offset, int32_t len,
                                    void* buffer);
typedef void (*NPP_PrintProcPtr)(NPP instance, NPPrint* platformPrint);
typedef int16_t (*NPP_HandleEventProcPtr)(NPP instance, void* event);
typedef void (*NPP_URLNotifyProcPtr)(NPP instance, const char* url, NPReason reason, void* notifyData);
typedef NPError (*NPP_GetValueProcPtr)(NPP instance, NPPVariable variable, void* ret_value);
typedef NPError (*NPP_SetValueProcPtr)(NPP instance, NPNVariable variable, void* value);
typedef NPBool (*NPP_GotFocusPtr)(NPP instance, NPFocusDirection direction);
typedef void (*NPP_LostFocusPtr)(NPP instance);
typedef void (*NPP_URLRedirectNotifyPtr)(NPP instance, const char* url, int32_t status, void* notifyData);
typedef NPError (*NPP_ClearSiteDataPtr)(const char* site, uint64_t flags, uint64_t maxAge);
typedef char** (*NPP_GetSitesWithDataPtr)();

struct NPPluginFuncs {
  uint16_t size;
  uint16_t version;
  NPP_NewProcPtr newp;
  NPP_DestroyProcPtr destroy;
  NPP_SetWindowProcPtr setwindow;
  NPP_NewStreamProcPtr newstream;
  NPP_DestroyStreamProcPtr destroystream;
  NPP_StreamAsFileProcPtr asfile;
  NPP_WriteReadyProcPtr writeready;
  NPP_WriteProcPtr write;
  NPP_PrintProcPtr print;
  NPP_HandleEventProcPtr event;
  NPP_URLNotifyProcPtr urlnotify;
  void* javaClass;
  NPP_GetValueProcPtr getvalue;
  NPP_SetValueProcPtr setvalue;
  NPP_GotFocusPtr gotfocus;
  NPP_LostFocusPtr lostfocus;
  NPP_URLRedirectNotifyPtr urlredirectnotify;
  NPP_ClearSiteDataPtr clearsitedata;
  NPP_GetSitesWithDataPtr getsiteswithdata;
};

typedef NPError(NP_EXPORT_CALL* NP_GetEntryPointsFunc)(NPPluginFuncs* pluginFuncs);
typedef NPError(NP_EXPORT_CALL* NP_InitializeFunc)(NPNetscapeFuncs* browserFuncs);
typedef NPError(NP_EXPORT_CALL* NP_ShutdownFunc)();
