#include "plugin/plugin_callbacks.h"

#include <algorithm>
#include <cstring>
#include <new>
#include <string>
#include <vector>

#include "plugin/browser_services.h"
#include "plugin/instance_bridge.h"
#include "plugin/script_events.h"
#include "plugin/script_object.h"
#include "viewer/page_view.h"
#include "viewer/window_calls.h"

namespace {

ViewerInstance* ViewerOf(NPP instance) {
  return instance ? static_cast<ViewerInstance*>(instance->pdata) : nullptr;
}

ViewerInstance** SlotOf(NPP instance) { return reinterpret_cast<ViewerInstance**>(&instance->pdata); }

// The element's attributes as UTF-16, at most kMaximumAttributes of them; a
// text that cannot be converted stays null.
struct Attributes {
  std::vector<std::u16string> text;
  std::vector<const char16_t*> names;
  std::vector<const char16_t*> values;
};

void ConvertAttributes(int16_t argc, char* argn[], char* argv[], Attributes* out) {
  const int count = argc < 0 ? 0 : (argc > kMaximumAttributes ? kMaximumAttributes : argc);
  out->text.resize(2 * static_cast<size_t>(count));
  out->names.assign(count, nullptr);
  out->values.assign(count, nullptr);
  for (int i = 0; i < count; ++i) {
    if (argn && BrowserTextToUtf16(argn[i], &out->text[2 * i])) out->names[i] = out->text[2 * i].c_str();
    if (argv && BrowserTextToUtf16(argv[i], &out->text[2 * i + 1])) {
      out->values[i] = out->text[2 * i + 1].c_str();
    }
  }
}

}  // namespace

NPError NPP_New(NPMIMEType, NPP instance, uint16_t mode, int16_t argc, char* argn[], char* argv[],
                NPSavedData*) noexcept {
  if (!instance) return NPERR_INVALID_INSTANCE_ERROR;
  int32_t status = NPERR_GENERIC_ERROR;
  try {
    Attributes attributes;
    ConvertAttributes(argc, argn, argv, &attributes);
    status = CreateInstance(SlotOf(instance), mode, instance, static_cast<int32_t>(attributes.names.size()),
                            attributes.names.data(), attributes.values.data());
  } catch (const std::bad_alloc&) {
    return NPERR_GENERIC_ERROR;
  }
  if (status == NPERR_NO_ERROR) {
    InstanceCall call(ViewerOf(instance));
    FireReady(ViewerOf(instance));
  }
  return static_cast<NPError>(status);
}

// The browser may call this from inside a call of the same instance (a page
// handler removed the element, or a message box of ours let the browser run);
// the slot is cleared at once and the instance goes when that call returns.
NPError NPP_Destroy(NPP instance, NPSavedData**) noexcept {
  if (!ViewerOf(instance)) return NPERR_INVALID_INSTANCE_ERROR;
  // The page may keep the script object; its later calls must find no instance.
  DetachScriptObject(ViewerOf(instance));
  return static_cast<NPError>(DestroyInstance(SlotOf(instance)));
}

NPError NPP_SetWindow(NPP instance, NPWindow* window) noexcept {
  ViewerInstance* viewer = ViewerOf(instance);
  if (!viewer) return NPERR_INVALID_INSTANCE_ERROR;
  InstanceCall call(viewer);
  return SetWindow(viewer, window ? window->window : nullptr);
}

NPError NPP_NewStream(NPP instance, NPMIMEType type, NPStream* stream, NPBool, uint16_t* stype) noexcept {
  ViewerInstance* viewer = ViewerOf(instance);
  if (!viewer) return NPERR_INVALID_INSTANCE_ERROR;
  if (!stream) return NPERR_INVALID_PARAM;
  if (stype) *stype = NP_NORMAL;
  InstanceCall call(viewer);
  PluginLink* link = PluginLinkOf(viewer);
  if (LoadStateOf(viewer) == 1 && !link->awaitedStream) link->awaitedStream = stream;
  FireReady(viewer);
  // The page's handler may have removed the element.
  if (!ViewerOf(instance)) return NPERR_INVALID_INSTANCE_ERROR;
  try {
    std::u16string url;
    std::u16string mimeType;
    const char16_t* urlText = BrowserTextToUtf16(stream->url, &url) ? url.c_str() : nullptr;
    const char16_t* mimeText = BrowserTextToUtf16(type, &mimeType) ? mimeType.c_str() : nullptr;
    return BeginStream(viewer, stream, urlText, mimeText, stream->end);
  } catch (const std::bad_alloc&) {
    return NPERR_OUT_OF_MEMORY_ERROR;
  }
}

NPError NPP_DestroyStream(NPP instance, NPStream* stream, NPReason reason) noexcept {
  ViewerInstance* viewer = ViewerOf(instance);
  if (!viewer) return NPERR_INVALID_INSTANCE_ERROR;
  InstanceCall call(viewer);
  const NPError result = EndStream(viewer, stream, reason);
  // The page hears of the end whatever it was, a failed download included.
  FireFileReady(viewer);
  return result;
}

void NPP_StreamAsFile(NPP, NPStream*, const char*) noexcept {}

int32_t NPP_WriteReady(NPP, NPStream*) noexcept { return kWriteReadyAmount; }

int32_t NPP_Write(NPP instance, NPStream* stream, int32_t offset, int32_t len, void* buffer) noexcept {
  ViewerInstance* viewer = ViewerOf(instance);
  if (!viewer || offset < 0 || len < 0) return -1;
  InstanceCall call(viewer);
  return WriteData(viewer, stream, offset, len, buffer);
}

void* EmbeddedPrintContext(const NPPrint* print, int32_t majorVersion, int32_t minorVersion) {
  if (majorVersion != 0 || minorVersion >= 11) return print->print.embedPrint.platformPrint;
  // Browsers before 0.11 pass a 32-bit context handle where that record held one.
  uint32_t handle = 0;
  memcpy(&handle, reinterpret_cast<const uint8_t*>(print) + kOldEmbedPrintContextOffset, sizeof handle);
  return reinterpret_cast<void*>(static_cast<uintptr_t>(handle));
}

void NPP_Print(NPP instance, NPPrint* platformPrint) noexcept {
  ViewerInstance* viewer = ViewerOf(instance);
  if (!viewer) return;
  InstanceCall call(viewer);
  if (!platformPrint || platformPrint->mode == NP_FULL) {
    if (!IsRestricted(viewer, kRestrictPrint)) PrintDocument(viewer, kPrintRequestDialog);
    // A full-page print is answered as done whatever its outcome, so that the
    // browser never prints the page a second time.
    if (platformPrint) platformPrint->print.fullPrint.pluginPrinted = true;
    return;
  }
  if (IsRestricted(viewer, kRestrictPrint) || !HasValidPage(viewer) || !viewer->download.hasPages) return;
  const NPWindow& window = platformPrint->print.embedPrint.window;
  DrawEmbeddedPrint(viewer, EmbeddedPrintContext(platformPrint, BrowserMajorVersion(), BrowserMinorVersion()),
                    window.x, window.y, static_cast<int32_t>(std::min<uint32_t>(window.width, INT32_MAX)),
                    static_cast<int32_t>(std::min<uint32_t>(window.height, INT32_MAX)));
}

int16_t NPP_HandleEvent(NPP, void*) noexcept { return 0; }

void NPP_URLNotify(NPP, const char*, NPReason, void*) noexcept {}

NPError NPP_GetValue(NPP instance, NPPVariable variable, void* value) noexcept {
  ViewerInstance* viewer = ViewerOf(instance);
  if (!viewer) return NPERR_INVALID_INSTANCE_ERROR;
  if (variable != NPPVpluginScriptableNPObject || !value) return NPERR_GENERIC_ERROR;
  PluginLink* link = PluginLinkOf(viewer);
  NPObject** out = static_cast<NPObject**>(value);
  if (link->scriptObject) {
    *out = RetainObject(link->scriptObject);
    return NPERR_NO_ERROR;
  }
  // The new object's own reference is the browser's; the cache holds none.
  NPObject* object = CreateScriptObject(instance);
  if (!object) return NPERR_GENERIC_ERROR;
  link->scriptObject = object;
  *out = object;
  return NPERR_NO_ERROR;
}

NPError NPP_SetValue(NPP instance, NPNVariable, void*) noexcept {
  return ViewerOf(instance) ? NPERR_NO_ERROR : NPERR_INVALID_INSTANCE_ERROR;
}
