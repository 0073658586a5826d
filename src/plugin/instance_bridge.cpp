// The smallest viewer instance the browser boundary can run on: the mode, the
// browser's instance, the page's attributes with the event mask and
// restriction bits they set, the window handle and the state of the one
// document stream. The image window and the download intake build on the
// full viewer record instead.
#include "plugin/instance_bridge.h"

#include <new>
#include <string>
#include <string_view>
#include <vector>

#include "common/diagnostics.h"
#include "common/text_format.h"

namespace {

constexpr uint32_t kDefaultEventMask = 0x2003;
constexpr uint32_t kRestrictFullPageAll = 0x1;
constexpr uint32_t kRestrictScript = 0x100;
constexpr uint32_t kRestrictEverything = 0x7FFFFFFF;

struct LibraryState {
  int32_t started = 0;
  int32_t hostKind = 0;
  int32_t majorVersion = 0;
  int32_t minorVersion = 0;
};
LibraryState g_library;

// Decimal as the page writes it: leading blanks and a sign, digits up to the
// first other character, no digits read as 0.
int32_t ReadDecimal(std::u16string_view text) {
  size_t i = 0;
  while (i < text.size() && (text[i] == u' ' || text[i] == u'\t')) ++i;
  bool negative = false;
  if (i < text.size() && (text[i] == u'+' || text[i] == u'-')) negative = text[i++] == u'-';
  int64_t value = 0;
  for (; i < text.size() && text[i] >= u'0' && text[i] <= u'9'; ++i) {
    value = value * 10 + (text[i] - u'0');
    if (value > 0x80000000LL) value = 0x80000000LL;
  }
  if (negative) value = -value;
  if (value > 0x7FFFFFFF) value = 0x7FFFFFFF;
  return static_cast<int32_t>(value);
}

bool SameName(std::u16string_view name, std::u16string_view expected) {
  return name.size() == expected.size() && StartsWithNoCase(name, expected);
}

}  // namespace

struct ViewerInstance {
  int32_t mode = NP_EMBED;
  NPP browserInstance = nullptr;
  std::vector<std::u16string> names;
  std::vector<std::u16string> values;
  uint32_t eventMask = kDefaultEventMask;
  uint32_t restrictions = 0;
  int32_t allowScript = 1;
  void* window = nullptr;
  int32_t loadState = 0;
  NPStream* acceptedStream = nullptr;
  int64_t bytesReceived = 0;
  PluginLink plugin;
};

namespace {

void ApplyAttributes(ViewerInstance* viewer) {
  for (size_t i = 0; i < viewer->names.size(); ++i) {
    const std::u16string& name = viewer->names[i];
    if (SameName(name, u"enableevents")) {
      viewer->eventMask = static_cast<uint32_t>(ReadDecimal(viewer->values[i]));
    } else if (SameName(name, u"access")) {
      viewer->restrictions |= static_cast<uint32_t>(ReadDecimal(viewer->values[i]));
    }
  }
  if ((viewer->restrictions & kRestrictFullPageAll) && viewer->mode != NP_EMBED) {
    viewer->restrictions = kRestrictEverything;
  }
}

}  // namespace

int32_t StartViewerLibrary(int32_t hostKind, int32_t majorVersion, int32_t minorVersion) {
  g_library.hostKind = hostKind;
  g_library.majorVersion = majorVersion;
  g_library.minorVersion = minorVersion;
  g_library.started = 1;
  return NPERR_NO_ERROR;
}

void StopViewerLibrary() { g_library = LibraryState(); }

int32_t CreateInstance(ViewerInstance** slot, int32_t mode, void* browserInstance, int32_t count,
                       const char16_t* const* names, const char16_t* const* values) {
  if (!slot) return NPERR_INVALID_INSTANCE_ERROR;
  if (!g_library.started) {
    ShowMessage(nullptr, kIconError, "Browser failed to properly initialize the Mervane %s",
                g_library.hostKind == 2 ? "ActiveX control" : "plug-in");
    return NPERR_GENERIC_ERROR;
  }
  ViewerInstance* viewer = new (std::nothrow) ViewerInstance;
  if (!viewer) return NPERR_OUT_OF_MEMORY_ERROR;
  viewer->mode = mode;
  viewer->browserInstance = static_cast<NPP>(browserInstance);
  for (int32_t i = 0; i < count; ++i) {
    // A name that could not be converted is an absent attribute.
    if (!names || !names[i]) continue;
    viewer->names.emplace_back(names[i]);
    viewer->values.emplace_back(values && values[i] ? values[i] : u"");
  }
  ApplyAttributes(viewer);
  *slot = viewer;
  return NPERR_NO_ERROR;
}

int32_t DestroyInstance(ViewerInstance** slot) {
  if (!slot || !*slot) return NPERR_INVALID_INSTANCE_ERROR;
  delete *slot;
  *slot = nullptr;
  return NPERR_NO_ERROR;
}

NPP BrowserInstanceOf(const ViewerInstance* viewer) { return viewer->browserInstance; }
PluginLink* PluginLinkOf(ViewerInstance* viewer) { return &viewer->plugin; }
uint32_t EventMaskOf(const ViewerInstance* viewer) { return viewer->eventMask; }
int ScriptingAllowed(const ViewerInstance* viewer) {
  return viewer->allowScript && !(viewer->restrictions & kRestrictScript);
}
int32_t LoadStateOf(const ViewerInstance* viewer) { return viewer->loadState; }

NPError SetWindow(ViewerInstance* viewer, void* window) {
  viewer->window = window;
  return NPERR_NO_ERROR;
}

NPError BeginStream(ViewerInstance* viewer, NPStream* stream, const char16_t*, const char16_t*, uint32_t) {
  // One document at a time: a stream is taken while idle, or when it is the
  // one a script asked for.
  const bool awaited = viewer->loadState == 1 && stream == viewer->plugin.awaitedStream;
  if (viewer->loadState != 0 && !awaited) return NPERR_GENERIC_ERROR;
  viewer->loadState = 2;
  viewer->acceptedStream = stream;
  viewer->bytesReceived = 0;
  return NPERR_NO_ERROR;
}

int32_t WriteData(ViewerInstance* viewer, NPStream* stream, int32_t, int32_t length, const void*) {
  if (viewer->loadState != 2 || stream != viewer->acceptedStream) return -1;
  viewer->bytesReceived += length;
  return length;
}

NPError EndStream(ViewerInstance* viewer, NPStream* stream, int32_t) {
  if (viewer->loadState != 2 || stream != viewer->acceptedStream) return NPERR_GENERIC_ERROR;
  viewer->loadState = 3;
  viewer->acceptedStream = nullptr;
  return NPERR_NO_ERROR;
}
