// The viewer instance as the browser boundary sees it: the calls the plug-in
// callbacks forward to, and the few fields they read. Everything else about
// the viewer stays behind these declarations.
#pragma once

#include <cstdint>
#include <memory>

#include "plugin/npapi.h"
#include "plugin/plugin_link.h"
#include "viewer/viewer_instance.h"

class SettingsStore;

// Where library start takes its settings from: the registry in the plug-in
// DLL, an empty in-memory store otherwise.
using SettingsStoreFactory = std::unique_ptr<SettingsStore> (*)();
void SetSettingsStoreFactory(SettingsStoreFactory factory);

// The window half of library start and stop (classes, cursors, fonts); the
// plug-in DLL sets it, other programs run without windows.
struct WindowSystem {
  void (*start)() = nullptr;
  void (*stop)() = nullptr;
};
void SetWindowSystem(WindowSystem system);

// Library start and stop, once per process. `hostKind` 1 is the browser
// plug-in; the browser's API version is kept for the information report.
int32_t StartViewerLibrary(int32_t hostKind, int32_t majorVersion, int32_t minorVersion);
void StopViewerLibrary();

// CreateInstance and DestroyInstance are the viewer's own (viewer_instance.h).
NPP BrowserInstanceOf(const ViewerInstance* viewer);
PluginLink* PluginLinkOf(ViewerInstance* viewer);
uint32_t EventMaskOf(const ViewerInstance* viewer);
// Page scripts may drive the viewer and hear its events.
int ScriptingAllowed(const ViewerInstance* viewer);
// 0 idle, 1 a script-requested download is awaited, 2 a stream is arriving,
// 3 the stream has ended.
int32_t LoadStateOf(const ViewerInstance* viewer);

// The browser's window for the instance: the same window again is laid out
// anew, another replaces the old one, null detaches.
NPError SetWindow(ViewerInstance* viewer, void* window);
// The document stream: start with the announced length (0 when unknown),
// blocks of data (answering the bytes consumed, or -1 to abort), and the end
// with the browser's reason.
NPError BeginStream(ViewerInstance* viewer, NPStream* stream, const char16_t* url, const char16_t* mimeType,
                    uint32_t expectedLength);
int32_t WriteData(ViewerInstance* viewer, NPStream* stream, int32_t offset, int32_t length,
                  const void* buffer);
NPError EndStream(ViewerInstance* viewer, NPStream* stream, int32_t reason);
