#include "plugin/script_events.h"

#include <cstring>
#include <initializer_list>
#include <string>

#include "common/text_format.h"
#include "plugin/browser_services.h"
#include "plugin/instance_bridge.h"

namespace {

constexpr uint32_t kMaximumArguments = 7;

// The browser reads strings by their length, so an empty one needs no memory.
NPVariant EmptyString() {
  NPVariant v{};
  v.type = NPVariantType_String;
  v.value.stringValue.UTF8Characters = "";
  v.value.stringValue.UTF8Length = 0;
  return v;
}

NPVariant IntArgument(int32_t value) {
  NPVariant v{};
  v.type = NPVariantType_Int32;
  v.value.intValue = value;
  return v;
}

// A string argument in browser memory, released after the call; Null when the
// browser will not give the memory.
NPVariant StringArgument(const char16_t* text) {
  NPVariant v{};
  v.type = NPVariantType_Null;
  const std::string utf8 = text ? Utf16ToUtf8(text) : std::string();
  char* copy = static_cast<char*>(BrowserAllocate(static_cast<uint32_t>(utf8.size() + 1)));
  if (!copy) return v;
  std::memcpy(copy, utf8.c_str(), utf8.size() + 1);
  v.type = NPVariantType_String;
  v.value.stringValue.UTF8Characters = copy;
  v.value.stringValue.UTF8Length = static_cast<uint32_t>(utf8.size());
  return v;
}

bool HasEventServices(const NPNetscapeFuncs& b) {
  return b.getvalue && b.releaseobject && b.invoke && b.releasevariantvalue && b.getstringidentifier &&
         b.hasmethod && b.hasproperty && b.getproperty;
}

// Fills args[0] with the element's id; answers whether it came from the
// element (and must be released).
bool TakeElementId(NPP npp, NPObject* element, NPVariant* slot) {
  const NPNetscapeFuncs& b = Browser();
  *slot = EmptyString();
  if (!element) return false;
  NPIdentifier id = b.getstringidentifier("id");
  if (!b.hasproperty(npp, element, id)) return false;
  NPVariant value{};
  if (!b.getproperty(npp, element, id, &value)) {
    b.releasevariantvalue(&value);
    return false;
  }
  *slot = value;
  return true;
}

// Sets the in-event flag around one delivery; `args` after the id slot are
// released afterwards.
int32_t Fire(ViewerInstance* viewer, uint32_t bit, const char* name, std::initializer_list<NPVariant> rest) {
  NPVariant args[kMaximumArguments + 1];
  uint32_t count = 1;
  for (const NPVariant& v : rest) args[count++] = v;
  int32_t result = kNotDelivered;
  if (EventGateOpen(viewer, bit)) {
    PluginLink* link = PluginLinkOf(viewer);
    link->inEvent = 1;
    result = DeliverEvent(BrowserInstanceOf(viewer), name, args, count);
    link->inEvent = 0;
  }
  for (uint32_t i = 1; i < count; ++i) {
    if (args[i].type == NPVariantType_String) ReleaseVariant(&args[i]);
  }
  return result;
}

}  // namespace

int32_t DeliverEvent(NPP npp, const char* name, NPVariant* args, uint32_t count) {
  const NPNetscapeFuncs& b = Browser();
  if (!HasEventServices(b) || count < 1 || !args || !name) return kNotDelivered;
  NPIdentifier method = b.getstringidentifier(name);
  NPObject* window = nullptr;
  if (b.getvalue(npp, NPNVWindowNPObject, &window) != NPERR_NO_ERROR || !window) return kNotDelivered;
  if (!b.hasmethod(npp, window, method)) {
    b.releaseobject(window);
    return kNotDelivered;
  }
  NPObject* element = nullptr;
  if (b.getvalue(npp, NPNVPluginElementNPObject, &element) != NPERR_NO_ERROR) element = nullptr;
  const bool idFromElement = TakeElementId(npp, element, &args[0]);

  NPVariant answer{};
  int32_t result = kCallFailed;
  if (b.invoke(npp, window, method, args, count, &answer)) {
    b.releasevariantvalue(&answer);
    result = kDelivered;
  }
  if (idFromElement) b.releasevariantvalue(&args[0]);
  if (element) b.releaseobject(element);
  b.releaseobject(window);
  return result;
}

int EventGateOpen(ViewerInstance* viewer, uint32_t bit) {
  // A viewer the browser has let go of, still finishing a call, tells the page nothing.
  if (!viewer || !BrowserInstanceOf(viewer) || !ScriptingAllowed(viewer)) return 0;
  if (PluginLinkOf(viewer)->inEvent) return 0;
  return (EventMaskOf(viewer) & bit) == bit;
}

void FireReady(ViewerInstance* viewer) {
  if (!viewer) return;
  PluginLink* link = PluginLinkOf(viewer);
  if (link->readyAttempted) return;
  // A closed gate still counts as the attempt: the page is not asked later.
  link->readyAttempted = 1;
  if (Fire(viewer, kEventReady, "mvtf_OnReady", {}) == kCallFailed) link->readyAttempted = 0;
}

void FireFileReady(ViewerInstance* viewer) { Fire(viewer, kEventFileReady, "mvtf_OnFileReady", {}); }

void FirePageChange(ViewerInstance* viewer, int32_t page) {
  Fire(viewer, kEventPageChange, "mvtf_OnPageChange", {IntArgument(page)});
}

void FireMouseModeChange(ViewerInstance* viewer, int32_t mouseMode) {
  Fire(viewer, kEventMouseModeChange, "mvtf_OnMouseModeChange", {IntArgument(mouseMode)});
}

void FireSizeModeChange(ViewerInstance* viewer, int32_t sizeMode, int32_t zoomPercent) {
  Fire(viewer, kEventSizeModeChange, "mvtf_OnSizeModeChange",
       {IntArgument(sizeMode), IntArgument(zoomPercent)});
}

void FireOrientationChange(ViewerInstance* viewer, int32_t orientation) {
  Fire(viewer, kEventOrientationChange, "mvtf_OnOrientationChange", {IntArgument(orientation)});
}

void FireNegativeChange(ViewerInstance* viewer, int32_t negative) {
  Fire(viewer, kEventNegativeChange, "mvtf_OnNegativeChange", {IntArgument(negative)});
}

void FirePrintComplete(ViewerInstance* viewer, int32_t printed) {
  Fire(viewer, kEventPrintComplete, "mvtf_OnPrintComplete", {IntArgument(printed)});
}

void FireUploadStart(ViewerInstance* viewer, int32_t tag) {
  Fire(viewer, kEventUpload, "mvtf_OnUploadStart", {IntArgument(tag)});
}

// The strings are made only behind an open gate, so a dropped event costs no
// browser memory.
void FireUploadComplete(ViewerInstance* viewer, int32_t tag, int32_t errorCode, const char16_t* message) {
  if (!EventGateOpen(viewer, kEventUpload)) return;
  Fire(viewer, kEventUpload, "mvtf_OnUploadComplete",
       {IntArgument(tag), IntArgument(errorCode), StringArgument(message)});
}

void FireUploadHttpHeader(ViewerInstance* viewer, int32_t tag, const char16_t* name, const char16_t* value) {
  if (!EventGateOpen(viewer, kEventUploadHeader)) return;
  Fire(viewer, kEventUploadHeader, "mvtf_OnUploadHTTPHeader",
       {IntArgument(tag), StringArgument(name), StringArgument(value)});
}

void FireAnnotationChange(ViewerInstance* viewer, int32_t page) {
  Fire(viewer, kEventAnnotationChange, "mvtf_OnAnnotationChange", {IntArgument(page), IntArgument(1)});
}

void FireCropSelect(ViewerInstance* viewer, int32_t state, int32_t page, int32_t left, int32_t top,
                    int32_t width, int32_t height) {
  Fire(viewer, kEventCropSelect, "mvtf_OnCropSelect",
       {IntArgument(state), IntArgument(page), IntArgument(left), IntArgument(top), IntArgument(width),
        IntArgument(height)});
}
