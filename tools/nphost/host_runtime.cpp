#include "tools/nphost/host_runtime.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "tools/nphost/json_line.h"

namespace {

struct IdentifierRecord {
  bool isString = true;
  std::string name;
  int32_t value = 0;
};

// Identifiers live for the whole process, as in a browser.
std::map<std::string, std::unique_ptr<IdentifierRecord>>& StringIdentifiers() {
  static std::map<std::string, std::unique_ptr<IdentifierRecord>> table;
  return table;
}
std::map<int32_t, std::unique_ptr<IdentifierRecord>>& IntIdentifiers() {
  static std::map<int32_t, std::unique_ptr<IdentifierRecord>> table;
  return table;
}

IdentifierRecord* RecordOf(NPIdentifier identifier) { return static_cast<IdentifierRecord*>(identifier); }

void Note(const char* service) {
  if (Host().onService) Host().onService(service);
}

// --- NPRuntime services

NPIdentifier GetStringIdentifier(const NPUTF8* name) {
  Note("getstringidentifier");
  return name ? HostIdentifier(name) : nullptr;
}

void GetStringIdentifiers(const NPUTF8** names, int32_t count, NPIdentifier* out) {
  Note("getstringidentifiers");
  for (int32_t i = 0; i < count; ++i) out[i] = names[i] ? HostIdentifier(names[i]) : nullptr;
}

NPIdentifier GetIntIdentifier(int32_t value) {
  Note("getintidentifier");
  auto& table = IntIdentifiers();
  auto& slot = table[value];
  if (!slot) {
    slot = std::make_unique<IdentifierRecord>();
    slot->isString = false;
    slot->value = value;
  }
  return slot.get();
}

bool IdentifierIsString(NPIdentifier identifier) { return identifier && RecordOf(identifier)->isString; }

NPUTF8* Utf8FromIdentifier(NPIdentifier identifier) {
  if (!identifier || !RecordOf(identifier)->isString) return nullptr;
  const std::string& name = RecordOf(identifier)->name;
  char* copy = static_cast<char*>(HostAllocate(static_cast<uint32_t>(name.size() + 1)));
  if (copy) std::memcpy(copy, name.c_str(), name.size() + 1);
  return copy;
}

int32_t IntFromIdentifier(NPIdentifier identifier) {
  return identifier && !RecordOf(identifier)->isString ? RecordOf(identifier)->value : 0;
}

NPObject* CreateObject(NPP npp, NPClass* aClass) {
  Note("createobject");
  if (!npp || !aClass) return nullptr;
  NPObject* object = aClass->allocate ? aClass->allocate(npp, aClass)
                                      : static_cast<NPObject*>(std::malloc(sizeof(NPObject)));
  if (!object) return nullptr;
  object->_class = aClass;
  object->referenceCount = 1;
  Host().liveObjects.insert(object);
  return object;
}

NPObject* RetainObject(NPObject* object) {
  Note("retainobject");
  if (object) ++object->referenceCount;
  return object;
}

void ReleaseObject(NPObject* object) {
  Note("releaseobject");
  if (!object || object->referenceCount == 0) return;
  if (--object->referenceCount > 0) return;
  Host().liveObjects.erase(object);
  if (Host().windowObject == object) Host().windowObject = nullptr;
  if (Host().elementObject == object) Host().elementObject = nullptr;
  if (object->_class && object->_class->deallocate) {
    object->_class->deallocate(object);
  } else {
    std::free(object);
  }
}

bool Invoke(NPP npp, NPObject* object, NPIdentifier method, const NPVariant* args, uint32_t count,
            NPVariant* result) {
  Note("invoke");
  if (!npp || !object || !object->_class || !object->_class->invoke) return false;
  return object->_class->invoke(object, method, args, count, result);
}

bool InvokeDefault(NPP npp, NPObject* object, const NPVariant* args, uint32_t count, NPVariant* result) {
  Note("invokeDefault");
  if (!npp || !object || !object->_class || !object->_class->invokeDefault) return false;
  return object->_class->invokeDefault(object, args, count, result);
}

bool Evaluate(NPP, NPObject*, NPString*, NPVariant*) {
  Note("evaluate");
  return false;
}

bool GetProperty(NPP npp, NPObject* object, NPIdentifier name, NPVariant* result) {
  Note("getproperty");
  if (!npp || !object || !object->_class || !object->_class->getProperty) return false;
  return object->_class->getProperty(object, name, result);
}

bool SetProperty(NPP npp, NPObject* object, NPIdentifier name, const NPVariant* value) {
  Note("setproperty");
  if (!npp || !object || !object->_class || !object->_class->setProperty) return false;
  return object->_class->setProperty(object, name, value);
}

bool RemoveProperty(NPP npp, NPObject* object, NPIdentifier name) {
  Note("removeproperty");
  if (!npp || !object || !object->_class || !object->_class->removeProperty) return false;
  return object->_class->removeProperty(object, name);
}

bool HasProperty(NPP npp, NPObject* object, NPIdentifier name) {
  Note("hasproperty");
  if (!npp || !object || !object->_class || !object->_class->hasProperty) return false;
  return object->_class->hasProperty(object, name);
}

bool HasMethod(NPP npp, NPObject* object, NPIdentifier name) {
  Note("hasmethod");
  if (!npp || !object || !object->_class || !object->_class->hasMethod) return false;
  return object->_class->hasMethod(object, name);
}

void ReleaseVariantValue(NPVariant* variant) {
  Note("releasevariantvalue");
  HostReleaseVariant(variant);
}

void SetException(NPObject*, const NPUTF8*) { Note("setexception"); }
void PushPopupsEnabledState(NPP, NPBool) { Note("pushpopupsenabledstate"); }
void PopPopupsEnabledState(NPP) { Note("poppopupsenabledstate"); }

bool Enumerate(NPP npp, NPObject* object, NPIdentifier** identifiers, uint32_t* count) {
  Note("enumerate");
  if (!npp || !object || !object->_class) return false;
  if (object->_class->structVersion < NP_CLASS_STRUCT_VERSION_ENUM || !object->_class->enumerate) {
    *identifiers = nullptr;
    *count = 0;
    return true;
  }
  return object->_class->enumerate(object, identifiers, count);
}

// --- Browser services

NPError GetUrl(NPP npp, const char* url, const char* target) {
  Note("geturl");
  if (!npp) return NPERR_INVALID_INSTANCE_ERROR;
  if (!Host().getUrl) return NPERR_GENERIC_ERROR;
  return Host().getUrl(npp, url, target);
}

const char* UserAgent(NPP) {
  Note("uagent");
  return Host().userAgent.c_str();
}

void* MemAlloc(uint32_t size) {
  Note("memalloc");
  return HostAllocate(size);
}

void MemFree(void* memory) {
  Note("memfree");
  HostFree(memory);
}

uint32_t MemFlush(uint32_t) { return 0; }

NPError GetValue(NPP npp, NPNVariable variable, void* value) {
  Note("getvalue");
  if (!value) return NPERR_INVALID_PARAM;
  HostRuntime& host = Host();
  switch (variable) {
    case NPNVWindowNPObject:
    case NPNVPluginElementNPObject: {
      NPObject* object = variable == NPNVWindowNPObject ? host.windowObject : host.elementObject;
      *static_cast<NPObject**>(value) = object ? RetainObject(object) : nullptr;
      return object && npp ? NPERR_NO_ERROR : NPERR_GENERIC_ERROR;
    }
    case NPNVnetscapeWindow:
      *static_cast<void**>(value) = host.nativeWindow;
      return NPERR_NO_ERROR;
    case NPNVjavascriptEnabledBool:
      *static_cast<NPBool*>(value) = 1;
      return NPERR_NO_ERROR;
    case NPNVSupportsWindowless:
    case NPNVprivateModeBool:
      *static_cast<NPBool*>(value) = 0;
      return NPERR_NO_ERROR;
    default:
      return NPERR_GENERIC_ERROR;
  }
}

NPError SetValue(NPP, NPPVariable, void*) {
  Note("setvalue");
  return NPERR_NO_ERROR;
}

void InvalidateRect(NPP, NPRect*) { Note("invalidaterect"); }
void ForceRedraw(NPP) { Note("forceredraw"); }
void Status(NPP, const char*) { Note("status"); }

// --- The page's window object: its methods are the page's functions.

bool WindowHasMethod(NPObject*, NPIdentifier name) {
  return IdentifierIsString(name) && Host().functions.count(RecordOf(name)->name) != 0;
}

bool WindowInvoke(NPObject*, NPIdentifier name, const NPVariant* args, uint32_t count, NPVariant* result) {
  HostRuntime& host = Host();
  if (!IdentifierIsString(name)) return false;
  auto found = host.functions.find(RecordOf(name)->name);
  if (found == host.functions.end()) return false;
  PageCall call;
  call.function = found->first;
  for (uint32_t i = 0; i < count; ++i) call.args.push_back(ValueOf(args[i]));
  const PageFunction function = found->second;
  host.calls.push_back(call);
  if (host.onCall) host.onCall(call, function);
  result->type = NPVariantType_Void;
  return function.answer == FunctionAnswer::kSucceed;
}

NPClass g_windowClass = {NP_CLASS_STRUCT_VERSION,
                         nullptr,
                         nullptr,
                         nullptr,
                         WindowHasMethod,
                         WindowInvoke,
                         nullptr,
                         nullptr,
                         nullptr,
                         nullptr,
                         nullptr,
                         nullptr,
                         nullptr};

// --- The plug-in element: one property, "id", when the element has one.

bool IsIdProperty(NPIdentifier name) { return IdentifierIsString(name) && RecordOf(name)->name == "id"; }

bool ElementHasProperty(NPObject*, NPIdentifier name) { return IsIdProperty(name) && Host().hasElementId; }

bool ElementGetProperty(NPObject*, NPIdentifier name, NPVariant* result) {
  if (!IsIdProperty(name) || !Host().hasElementId) return false;
  *result = HostString(Host().elementId);
  return result->type == NPVariantType_String;
}

NPClass g_elementClass = {
    NP_CLASS_STRUCT_VERSION, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, ElementHasProperty,
    ElementGetProperty,      nullptr, nullptr, nullptr, nullptr};

}  // namespace

HostRuntime& Host() {
  static HostRuntime runtime;
  return runtime;
}

void ClosePage() {
  HostRuntime& host = Host();
  // The page drops its own references; the plug-in may still hold others.
  if (host.windowObject) ReleaseObject(host.windowObject);
  if (host.elementObject) ReleaseObject(host.elementObject);
  host.windowObject = nullptr;
  host.elementObject = nullptr;
}

void OpenPage() {
  ClosePage();
  static NPP_t pageInstance{};
  HostRuntime& host = Host();
  host.windowObject = CreateObject(&pageInstance, &g_windowClass);
  host.elementObject = CreateObject(&pageInstance, &g_elementClass);
}

void ResetHost() {
  ClosePage();
  HostRuntime& host = Host();
  host.functions.clear();
  host.hasElementId = false;
  host.elementId.clear();
  host.calls.clear();
}

void FillBrowserTable(NPNetscapeFuncs* table, uint16_t size, uint16_t version) {
  table->size = size;
  table->version = version;
  table->geturl = GetUrl;
  table->posturl = nullptr;
  table->requestread = nullptr;
  table->newstream = nullptr;
  table->write = nullptr;
  table->destroystream = nullptr;
  table->status = Status;
  table->uagent = UserAgent;
  table->memalloc = MemAlloc;
  table->memfree = MemFree;
  table->memflush = MemFlush;
  table->reloadplugins = nullptr;
  table->getJavaEnv = nullptr;
  table->getJavaPeer = nullptr;
  table->geturlnotify = nullptr;
  table->posturlnotify = nullptr;
  table->getvalue = GetValue;
  table->setvalue = SetValue;
  table->invalidaterect = InvalidateRect;
  table->invalidateregion = nullptr;
  table->forceredraw = ForceRedraw;
  table->getstringidentifier = GetStringIdentifier;
  table->getstringidentifiers = GetStringIdentifiers;
  table->getintidentifier = GetIntIdentifier;
  table->identifierisstring = IdentifierIsString;
  table->utf8fromidentifier = Utf8FromIdentifier;
  table->intfromidentifier = IntFromIdentifier;
  table->createobject = CreateObject;
  table->retainobject = RetainObject;
  table->releaseobject = ReleaseObject;
  table->invoke = Invoke;
  table->invokeDefault = InvokeDefault;
  table->evaluate = Evaluate;
  table->getproperty = GetProperty;
  table->setproperty = SetProperty;
  table->removeproperty = RemoveProperty;
  table->hasproperty = HasProperty;
  table->hasmethod = HasMethod;
  table->releasevariantvalue = ReleaseVariantValue;
  table->setexception = SetException;
  table->pushpopupsenabledstate = PushPopupsEnabledState;
  table->poppopupsenabledstate = PopPopupsEnabledState;
  table->enumerate = Enumerate;
}

NPIdentifier HostIdentifier(const char* name) {
  auto& slot = StringIdentifiers()[name];
  if (!slot) {
    slot = std::make_unique<IdentifierRecord>();
    slot->name = name;
  }
  return slot.get();
}

std::string IdentifierName(NPIdentifier identifier) {
  if (!identifier) return std::string();
  const IdentifierRecord* record = RecordOf(identifier);
  return record->isString ? record->name : std::to_string(record->value);
}

void* HostAllocate(uint32_t size) {
  void* memory = std::malloc(size ? size : 1);
  if (memory) ++Host().liveAllocations;
  return memory;
}

void HostFree(void* memory) {
  if (!memory) return;
  --Host().liveAllocations;
  std::free(memory);
}

NPVariant HostString(const std::string& text) {
  NPVariant variant{};
  char* copy = static_cast<char*>(HostAllocate(static_cast<uint32_t>(text.size() + 1)));
  if (!copy) {
    variant.type = NPVariantType_Null;
    return variant;
  }
  std::memcpy(copy, text.c_str(), text.size() + 1);
  variant.type = NPVariantType_String;
  variant.value.stringValue.UTF8Characters = copy;
  variant.value.stringValue.UTF8Length = static_cast<uint32_t>(text.size());
  return variant;
}

void HostReleaseVariant(NPVariant* variant) {
  if (!variant) return;
  if (variant->type == NPVariantType_String) {
    HostFree(const_cast<NPUTF8*>(variant->value.stringValue.UTF8Characters));
  } else if (variant->type == NPVariantType_Object) {
    ReleaseObject(variant->value.objectValue);
  }
  *variant = NPVariant{};
}

uint32_t ReferenceCount(NPObject* object) { return object ? object->referenceCount : 0; }

HostValue ValueOf(const NPVariant& variant) {
  HostValue value;
  value.type = variant.type;
  switch (variant.type) {
    case NPVariantType_Bool:
      value.boolValue = variant.value.boolValue;
      break;
    case NPVariantType_Int32:
      value.intValue = variant.value.intValue;
      break;
    case NPVariantType_Double:
      value.doubleValue = variant.value.doubleValue;
      break;
    case NPVariantType_String:
      if (variant.value.stringValue.UTF8Characters) {
        value.text.assign(variant.value.stringValue.UTF8Characters, variant.value.stringValue.UTF8Length);
      }
      break;
    case NPVariantType_Object:
      value.text = "object";
      break;
    default:
      break;
  }
  return value;
}

std::string ValueToJson(const HostValue& value) {
  switch (value.type) {
    case NPVariantType_Void:
      return "\"<void>\"";
    case NPVariantType_Null:
      return "null";
    case NPVariantType_Bool:
      return value.boolValue ? "true" : "false";
    case NPVariantType_Int32:
      return std::to_string(value.intValue);
    case NPVariantType_Double: {
      char text[40];
      std::snprintf(text, sizeof text, "%.17g", value.doubleValue);
      return text;
    }
    case NPVariantType_String:
      return JsonString(value.text);
    case NPVariantType_Object:
      return "\"<object>\"";
  }
  return "null";
}
