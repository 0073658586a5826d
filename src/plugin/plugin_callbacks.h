// The callbacks the browser calls for each instance. They check the instance,
// convert the browser's strings and hand over to the viewer; a call that finds
// no instance answers NPERR_INVALID_INSTANCE_ERROR (or its callback's
// equivalent) without touching anything.
#pragma once

#include <cstddef>

#include "plugin/npapi.h"

// At most this many of the element's attributes reach the viewer.
constexpr int kMaximumAttributes = 100;
// NPP_WriteReady's answer: any amount is accepted.
constexpr int32_t kWriteReadyAmount = 0x0FFFFFFF;

NPError NPP_New(NPMIMEType pluginType, NPP instance, uint16_t mode, int16_t argc, char* argn[], char* argv[],
                NPSavedData* saved) noexcept;
NPError NPP_Destroy(NPP instance, NPSavedData** save) noexcept;
NPError NPP_SetWindow(NPP instance, NPWindow* window) noexcept;
NPError NPP_NewStream(NPP instance, NPMIMEType type, NPStream* stream, NPBool seekable,
                      uint16_t* stype) noexcept;
NPError NPP_DestroyStream(NPP instance, NPStream* stream, NPReason reason) noexcept;
void NPP_StreamAsFile(NPP instance, NPStream* stream, const char* fname) noexcept;
int32_t NPP_WriteReady(NPP instance, NPStream* stream) noexcept;
int32_t NPP_Write(NPP instance, NPStream* stream, int32_t offset, int32_t len, void* buffer) noexcept;
void NPP_Print(NPP instance, NPPrint* platformPrint) noexcept;
// The device context of an embedded print for a browser of the given API version.
constexpr size_t kOldEmbedPrintContextOffset = 32;
void* EmbeddedPrintContext(const NPPrint* print, int32_t majorVersion, int32_t minorVersion);
int16_t NPP_HandleEvent(NPP instance, void* event) noexcept;
void NPP_URLNotify(NPP instance, const char* url, NPReason reason, void* notifyData) noexcept;
NPError NPP_GetValue(NPP instance, NPPVariable variable, void* value) noexcept;
NPError NPP_SetValue(NPP instance, NPNVariable variable, void* value) noexcept;
