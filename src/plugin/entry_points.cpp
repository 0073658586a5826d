#include "plugin/entry_points.h"

#include "plugin/browser_services.h"
#include "plugin/instance_bridge.h"
#include "plugin/plugin_callbacks.h"
#include "plugin/script_object.h"
#include "viewer/library.h"

NPError FillEntryPoints(NPPluginFuncs* table) noexcept {
  if (!table) return NPERR_INVALID_FUNCTABLE_ERROR;
  // The browser's size says how much room it made; ours is not written back.
  table->version = kPluginApiVersion;
  table->newp = NPP_New;
  table->destroy = NPP_Destroy;
  table->setwindow = NPP_SetWindow;
  table->newstream = NPP_NewStream;
  table->destroystream = NPP_DestroyStream;
  table->asfile = NPP_StreamAsFile;
  table->writeready = NPP_WriteReady;
  table->write = NPP_Write;
  table->print = NPP_Print;
  table->event = NPP_HandleEvent;
  if (table->size >= kFullPluginTableSize) {
    table->urlnotify = NPP_URLNotify;
    table->javaClass = nullptr;
    table->getvalue = NPP_GetValue;
    table->setvalue = NPP_SetValue;
  }
  return NPERR_NO_ERROR;
}

NPError InitializePlugin(const NPNetscapeFuncs* browser) noexcept {
  const NPError copied = CopyBrowserTable(browser);
  if (copied != NPERR_NO_ERROR) return copied;
  // A browser that initialises twice may still hold objects of the class it
  // was given first, so that class stays. Without memory for it, instances
  // simply offer no script object.
  if (!ScriptClass()) SetScriptClass(MakeScriptClass());
  return static_cast<NPError>(
      StartViewerLibrary(kLibraryPlugin, BrowserMajorVersion(), BrowserMinorVersion()));
}

NPError ShutdownPlugin() noexcept {
  StopViewerLibrary();
  SetScriptClass(nullptr);
  ForgetMethodIdentifiers();
  ClearBrowserTable();
  return NPERR_NO_ERROR;
}
