// The library's exports. Browsers find them by their plain names (the .def
// file keeps them undecorated) and call NP_GetEntryPoints before NP_Initialize
// on Windows; neither depends on the other.
#include <windows.h>

#include "plugin/entry_points.h"
#include "plugin/instance_bridge.h"
#include "plugin/plugin_module_win.h"
#include "viewer/library_win.h"
#include "viewer/registry_store_win.h"

namespace {

HINSTANCE g_module = nullptr;

// Window classes and cursors belong to this module, not to the browser.
void StartPluginWindows() { StartWindowLibrary(g_module); }

}  // namespace

HINSTANCE PluginModule() { return g_module; }

extern "C" {

BOOL WINAPI DllMain(HINSTANCE module, DWORD reason, LPVOID) {
  if (reason == DLL_PROCESS_ATTACH) {
    g_module = module;
    // The plug-in reads and writes its settings in the registry.
    SetSettingsStoreFactory(CreateRegistryStore);
    SetWindowSystem({StartPluginWindows, StopWindowLibrary});
  }
  return TRUE;
}

NPError WINAPI NP_GetEntryPoints(NPPluginFuncs* pluginFuncs) { return FillEntryPoints(pluginFuncs); }

NPError WINAPI NP_Initialize(NPNetscapeFuncs* browserFuncs) { return InitializePlugin(browserFuncs); }

NPError WINAPI NP_Shutdown() { return ShutdownPlugin(); }

}  // extern "C"
