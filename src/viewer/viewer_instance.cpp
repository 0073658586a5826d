#include "viewer/viewer_instance.h"

#include <new>

#include "common/diagnostics.h"
#include "controls/toolbar_items.h"
#include "viewer/download_intake.h"
#include "viewer/library.h"
#include "viewer/parameters.h"
#include "viewer/settings.h"
#include "viewer/window_calls.h"

namespace {

void PrepareInstance(ViewerInstance* viewer, int32_t mode, void* browserInstance) {
  const LibraryValues& library = Library();
  viewer->mode = mode;
  viewer->browserInstance = browserInstance;
  viewer->hooks = library.hooks;
  viewer->events = library.events;
  SetText(&viewer->params.target, u"_self");
  InitLog(&viewer->logs.documentLog);
  InitLog(&viewer->logs.pageLog);
  // The directory walk keeps unknown-tag chatter out of the document's log.
  viewer->logs.documentLog.hideUnknownTagWarnings = 1;
  ResetPageInfo(&viewer->view.pageInfo);
  InitView(&viewer->view.mainView, kViewMain);
  InitView(&viewer->view.magnifierView, kViewMagnifier);
  viewer->settings = DefaultViewSettings();
}

void ChooseToolbar(ViewerInstance* viewer) {
  viewer->toolbar.toolbarItems =
      ChooseItemList(TextOf(&viewer->toolbar.itemsParameter), TextOf(&viewer->toolbar.itemsSetting));
  ReleaseText(&viewer->toolbar.itemsParameter);
  ReleaseText(&viewer->toolbar.itemsSetting);
  if (ItemListHasWhiteout(viewer->toolbar.toolbarItems)) viewer->input.whiteoutAllowed = 1;
}

void DeleteNamedFile(TextBuffer* name) {
  if (name->length > 0) DeleteFileAt(TextOf(name));
  ReleaseText(name);
}

void RemoveNamedFolder(TextBuffer* name) {
  if (name->length > 0) RemoveFolderAt(TextOf(name));
  ReleaseText(name);
}

}  // namespace

void ReleaseBitmaps(ViewArea* view) {
  ReleaseViewBitmap(&view->mainView);
  ReleaseViewBitmap(&view->magnifierView);
  ReleasePageBitmap(&view->pageBitmap);
}

ViewSettings DefaultViewSettings() {
  const LibraryValues& library = Library();
  ViewSettings settings;
  settings.scaleIndex = library.defaultScaleIndex;
  settings.zoomIndex = library.defaultZoomIndex;
  return settings;
}

int32_t CreateInstance(ViewerInstance** slot, int32_t mode, void* browserInstance, int32_t count,
                       const char16_t* const* names, const char16_t* const* values) {
  LibraryValues& library = Library();
  if (!library.started) {
    ShowMessage(nullptr, kIconError, "Browser failed to properly initialize the Mervane %s", "plug-in");
    return kStatusFailed;
  }
  if (!slot) return kStatusNoInstance;
  auto* viewer = new (std::nothrow) ViewerInstance;
  if (!viewer) return kStatusOutOfMemory;
  PrepareInstance(viewer, mode, browserInstance);
  LoadSettings(viewer, library.store.get());
  if (viewer->access.miscFlags & kMiscWhiteoutAllowed) viewer->input.whiteoutAllowed = 1;
  // The stored toolbar and background hold until a parameter of the page says otherwise.
  viewer->toolbar.toolbarPosition = viewer->prefs.toolbar;
  viewer->params.background = static_cast<uint32_t>(viewer->prefs.backgroundColour);
  ApplyParameters(viewer, count, names, values);
  // A document opened as a page of its own, where the owner asked for it, gets no features at all.
  if ((viewer->access.restrictions & kRestrictFullPageAll) && viewer->mode != kModeEmbedded) {
    viewer->access.restrictions = kRestrictEverything;
    viewer->access.registryAccess = kRestrictEverything;
  }
  ChooseToolbar(viewer);
  if (viewer->settings.mouseMode == kMouseCrop) viewer->input.cropFeature = 1;
  if (viewer->settings.mouseMode == kMouseErase) viewer->analysis.eraserOutline = 1;
  MakeWindowResources(viewer);
  *slot = viewer;
  return kStatusDone;
}

int32_t DestroyInstance(ViewerInstance** slot) {
  if (!slot || !*slot) return kStatusNoInstance;
  ViewerInstance* viewer = *slot;
  *slot = nullptr;
  if (viewer->callDepth > 0) {
    // A call of this instance is still on the stack and will go on using the
    // record; the browser's handle may be gone once we return, so nothing
    // reaches the browser through it any more.
    viewer->destroyPending = 1;
    viewer->browserInstance = nullptr;
    return kStatusDone;
  }
  viewer->download.loadState = kLoadIdle;
  DetachViewerWindow(viewer);
  DiscardDownload(viewer);
  CloseMagnifier(viewer);
  ReleaseBitmaps(&viewer->view);
  DeleteNamedFile(&viewer->output.outputTempFile);
  RemoveNamedFolder(&viewer->output.outputTempFolder);
  ReleaseAllMarkup(viewer);
  FreeWindowResources(viewer);
  ReleasePageInfo(&viewer->view.pageInfo);
  ReleaseLog(&viewer->logs.documentLog);
  ReleaseLog(&viewer->logs.pageLog);
  delete viewer;  // the text buffers free themselves
  return kStatusDone;
}

InstanceCall::InstanceCall(ViewerInstance* viewer) : viewer_(viewer) {
  if (viewer_) ++viewer_->callDepth;
}

InstanceCall::~InstanceCall() {
  if (!viewer_ || --viewer_->callDepth > 0 || !viewer_->destroyPending) return;
  // Destruction sends window messages of its own; they must not start it again.
  viewer_->destroyPending = 0;
  DestroyInstance(&viewer_);
}
