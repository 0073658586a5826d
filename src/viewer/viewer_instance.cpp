#include "viewer/viewer_instance.h"

#include <cstdlib>
#include <new>

#include "common/diagnostics.h"
#include "controls/toolbar_items.h"
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
  viewer->tempFile = nullptr;
  viewer->loadState = 0;
  SetText(&viewer->target, u"_self");
  InitLog(&viewer->documentLog);
  InitLog(&viewer->pageLog);
  // The directory walk keeps unknown-tag chatter out of the document's log.
  viewer->documentLog.hideUnknownTagWarnings = 1;
  ResetPageInfo(&viewer->pageInfo);
  InitView(&viewer->mainView, kViewMain);
  InitView(&viewer->magnifierView, kViewMagnifier);
  viewer->scroll = {0, 0};
  viewer->scaleIndex = library.defaultScaleIndex;
  viewer->zoomIndex = library.defaultZoomIndex;
  viewer->prefs.zoomRect = {10, 10, 410, 410};
  viewer->eventMask = kDefaultEventMask;
}

void ChooseToolbar(ViewerInstance* viewer) {
  viewer->toolbarItems = ChooseItemList(TextOf(&viewer->itemsParameter), TextOf(&viewer->itemsSetting));
  ReleaseText(&viewer->itemsParameter);
  ReleaseText(&viewer->itemsSetting);
  if (ItemListHasWhiteout(viewer->toolbarItems)) viewer->whiteoutAllowed = 1;
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
  if (viewer->miscFlags & kMiscWhiteoutAllowed) viewer->whiteoutAllowed = 1;
  viewer->toolbarPosition = viewer->prefs.toolbar;
  viewer->toolbarFollowsSetting = 1;
  viewer->background = static_cast<uint32_t>(viewer->prefs.backgroundColour);
  viewer->backgroundFollowsSetting = 1;
  ApplyParameters(viewer, count, names, values);
  // A document opened as a page of its own, where the owner asked for it, gets no features at all.
  if ((viewer->restrictions & kRestrictFullPageAll) && viewer->mode != kModeEmbedded) {
    viewer->restrictions = kRestrictEverything;
    viewer->registryAccess = kRestrictEverything;
  }
  ChooseToolbar(viewer);
  if (viewer->mouseMode == kMouseCrop) viewer->cropFeature = 1;
  if (viewer->mouseMode == kMouseErase) viewer->eraserOutline = 1;
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
  viewer->loadState = 0;
  DetachViewerWindow(viewer);
  if (viewer->tempFile) CloseFile(viewer->tempFile);
  viewer->tempFile = nullptr;
  DeleteNamedFile(&viewer->tempFileName);
  free(viewer->memoryBuffer);
  viewer->memoryBuffer = nullptr;
  CloseMagnifier(viewer);
  ReleaseViewBitmap(&viewer->mainView);
  ReleaseViewBitmap(&viewer->magnifierView);
  ReleasePageBitmap(&viewer->pageBitmap);
  DeleteNamedFile(&viewer->outputTempFile);
  RemoveNamedFolder(&viewer->outputTempFolder);
  ReleaseAllMarkup(viewer);
  FreeWindowResources(viewer);
  ReleasePageInfo(&viewer->pageInfo);
  ReleaseLog(&viewer->documentLog);
  ReleaseLog(&viewer->pageLog);
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
