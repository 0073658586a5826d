// The browser boundary over the viewer record: library start with the
// system's settings store, and the few fields the callbacks read.
#include "plugin/instance_bridge.h"

#include "plugin/browser_services.h"
#include "plugin/script_events.h"
#include "viewer/download_intake.h"
#include "viewer/library.h"
#include "viewer/viewer_instance.h"
#include "viewer/window_calls.h"

namespace {

std::unique_ptr<SettingsStore> MemoryStoreFactory() { return std::make_unique<MemoryStore>(); }

SettingsStoreFactory g_storeFactory = MemoryStoreFactory;

void BrowserUserAgent(ViewerInstance* viewer, char16_t* buffer, size_t length) {
  UserAgent(static_cast<NPP>(viewer->browserInstance), buffer, length);
}
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
  Library().events = {FirePageChange,     FireMouseModeChange, FireSizeModeChange,   FireOrientationChange,
                      FireNegativeChange, FireCropSelect,      FireAnnotationChange, FirePrintComplete,
                      BrowserUserAgent,   FireUploadStart,     FireUploadHttpHeader, FireUploadComplete};
  return NPERR_NO_ERROR;
}

void StopViewerLibrary() {
  if (g_windowSystem.stop) g_windowSystem.stop();
  StopLibrary();
}

NPP BrowserInstanceOf(const ViewerInstance* viewer) { return static_cast<NPP>(viewer->browserInstance); }
PluginLink* PluginLinkOf(ViewerInstance* viewer) { return &viewer->plugin; }
uint32_t EventMaskOf(const ViewerInstance* viewer) { return static_cast<uint32_t>(viewer->params.eventMask); }
int ScriptingAllowed(const ViewerInstance* viewer) {
  return viewer->prefs.allowScript && !(viewer->access.restrictions & kRestrictScript);
}
int32_t LoadStateOf(const ViewerInstance* viewer) { return viewer->download.loadState; }

NPError SetWindow(ViewerInstance* viewer, void* window) {
  if (!HasWindowSide(viewer)) {
    viewer->pluginWindow = window;
    return NPERR_NO_ERROR;
  }
  if (window && window == viewer->pluginWindow) {
    RefreshViewerWindow(viewer);
    return NPERR_NO_ERROR;
  }
  if (viewer->pluginWindow) DetachViewerWindow(viewer);
  viewer->pluginWindow = nullptr;
  if (window) AttachViewerWindow(viewer, window);
  return NPERR_NO_ERROR;
}

// The stream calls check that the stream is the one being received, so a late
// call for an older or refused stream cannot disturb the current document.
NPError BeginStream(ViewerInstance* viewer, NPStream* stream, const char16_t* url, const char16_t* mimeType,
                    uint32_t expectedLength) {
  if (viewer->download.loadState == kLoadAwaiting && stream != viewer->plugin.awaitedStream)
    return NPERR_GENERIC_ERROR;
  return static_cast<NPError>(
      BeginDownload(viewer, static_cast<void*>(stream), url, mimeType, expectedLength));
}

int32_t WriteData(ViewerInstance* viewer, NPStream* stream, int32_t offset, int32_t length,
                  const void* buffer) {
  if (viewer->download.loadState != kLoadDownloading || stream != viewer->download.acceptedStream) return -1;
  return ReceiveData(viewer, offset, length, buffer);
}

NPError EndStream(ViewerInstance* viewer, NPStream* stream, int32_t reason) {
  if (stream != viewer->download.acceptedStream) return NPERR_NO_ERROR;
  viewer->download.acceptedStream = nullptr;
  return static_cast<NPError>(EndDownload(viewer, reason));
}
