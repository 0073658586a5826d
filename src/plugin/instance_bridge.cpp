// The browser boundary over the viewer record: library start with the
// system's settings store, and the few fields the callbacks read.
#include "plugin/instance_bridge.h"

#include "viewer/library.h"
#include "viewer/viewer_instance.h"

namespace {

std::unique_ptr<SettingsStore> MemoryStoreFactory() { return std::make_unique<MemoryStore>(); }

SettingsStoreFactory g_storeFactory = MemoryStoreFactory;
WindowSystem g_windowSystem;

}  // namespace

void SetSettingsStoreFactory(SettingsStoreFactory factory) {
  g_storeFactory = factory ? factory : MemoryStoreFactory;
}

void SetWindowSystem(WindowSystem system) { g_windowSystem = system; }

int32_t StartViewerLibrary(int32_t hostKind, int32_t majorVersion, int32_t minorVersion) {
  if (!StartLibrary(hostKind, g_storeFactory())) return NPERR_GENERIC_ERROR;
  // Problems of the window half are shown to the user; the library still runs.
  if (g_windowSystem.start) g_windowSystem.start();
  Library().browserMajorVersion = majorVersion;
  Library().browserMinorVersion = minorVersion;
  return NPERR_NO_ERROR;
}

void StopViewerLibrary() {
  if (g_windowSystem.stop) g_windowSystem.stop();
  StopLibrary();
}

NPP BrowserInstanceOf(const ViewerInstance* viewer) { return static_cast<NPP>(viewer->browserInstance); }
PluginLink* PluginLinkOf(ViewerInstance* viewer) { return &viewer->plugin; }
uint32_t EventMaskOf(const ViewerInstance* viewer) { return static_cast<uint32_t>(viewer->eventMask); }
int ScriptingAllowed(const ViewerInstance* viewer) {
  return viewer->prefs.allowScript && !(viewer->restrictions & kRestrictScript);
}
int32_t LoadStateOf(const ViewerInstance* viewer) { return viewer->loadState; }

NPError SetWindow(ViewerInstance* viewer, void* window) {
  const ViewerHooks& hooks = viewer->hooks;
  if (!hooks.attachWindow) {
    viewer->pluginWindow = window;
    return NPERR_NO_ERROR;
  }
  if (window && window == viewer->pluginWindow) {
    if (hooks.refreshWindow) hooks.refreshWindow(viewer);
    return NPERR_NO_ERROR;
  }
  if (viewer->pluginWindow && hooks.detachWindow) hooks.detachWindow(viewer);
  viewer->pluginWindow = nullptr;
  if (window) hooks.attachWindow(viewer, window);
  return NPERR_NO_ERROR;
}

// One document at a time: a stream is taken while idle, or when it is the one
// a script asked for. The bytes are counted here; keeping them is the download
// intake's work.
NPError BeginStream(ViewerInstance* viewer, NPStream* stream, const char16_t*, const char16_t*,
                    uint32_t expectedLength) {
  const bool awaited = viewer->loadState == 1 && stream == viewer->plugin.awaitedStream;
  if (viewer->loadState != 0 && !awaited) return NPERR_GENERIC_ERROR;
  viewer->loadState = 2;
  viewer->acceptedStream = stream;
  viewer->expectedLength = expectedLength;
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
