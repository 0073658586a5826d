#include "viewer/page_view.h"

#include "document/bitmap_ops.h"
#include "document/page_loader.h"
#include "viewer/download_intake.h"
#include "viewer/library.h"
#include "viewer/settings.h"
#include "viewer/status_line.h"
#include "viewer/window_calls.h"

namespace {

void ReleasePage(ViewerInstance* viewer) {
  ReleaseViewBitmap(&viewer->mainView);
  ReleaseViewBitmap(&viewer->magnifierView);
  ReleasePageBitmap(&viewer->pageBitmap);
  viewer->scroll = {0, 0};
  viewer->relativeScroll = {0, 0};
  ReleasePageInfo(&viewer->pageInfo);
  viewer->currentDirectory = 0;
}

// The layout works on the page as it is turned, so the size follows every turn.
void StoreCorrectedSize(ViewerInstance* viewer) {
  const AspectResult size = AspectSize(&viewer->pageBitmap, 1.0, viewer->prefs.fixRatio);
  viewer->correctedWidth = size.width;
  viewer->correctedHeight = size.height;
}

int LoadDirectory(ViewerInstance* viewer, int32_t page) {
  const int index = PageToIfd(&viewer->document, page);
  viewer->currentDirectory = index < 0 ? 0 : index;
  PageLoadOptions options;
  options.memoryLimitMb = viewer->raster.memoryLimitMb;
  options.readPrintTags = viewer->printRouting;
  const int loaded =
      LoadPage(&viewer->document, index, &options, &viewer->pageInfo, &viewer->pageBitmap, &viewer->pageLog);
  if (!loaded && viewer->pageLog.errorCount == 0 && viewer->pageLog.warningCount == 0) {
    LogError(&viewer->pageLog, "Unable to display image; unknown reason");
  }
  return loaded;
}

// The decoded page as the viewer is set to show it.
int PrepareBitmap(ViewerInstance* viewer) {
  if (viewer->negative) Negative(&viewer->pageBitmap);
  if (!TurnBitmap(&viewer->pageBitmap, viewer->orientation, &viewer->pageLog)) return 0;
  StoreCorrectedSize(viewer);
  return 1;
}

void ShowNoPage(ViewerInstance* viewer) {
  ReleasePageBitmap(&viewer->pageBitmap);
  viewer->pageInfo.valid = 0;
  SetStatusText(viewer, u"  Unable to display image");
  RefreshToolbar(viewer, 0);
  Invalidate(viewer, 1);
  LayoutMainView(viewer, 1);
}

void Tell(void (*event)(ViewerInstance*, int32_t), ViewerInstance* viewer, int32_t value) {
  if (event) event(viewer, value);
}

}  // namespace

int HasValidPage(const ViewerInstance* viewer) {
  return viewer->pageInfo.valid && viewer->pageBitmap.block != nullptr;
}

// Each turn is ordered so that the step that may fail for want of memory
// comes first, or can be undone by a step that cannot fail.
int TurnBitmap(PageBitmap* bitmap, int32_t quarters, MessageLog* log) {
  switch (((quarters % 4) + 4) % 4) {
    case 1:  // a mirrored picture transposed is the picture turned clockwise
      MirrorRows(bitmap);
      if (Transpose(bitmap, log)) return 1;
      MirrorRows(bitmap);
      return 0;
    case 2:
      if (!ReverseRowOrder(bitmap, log)) return 0;
      MirrorRows(bitmap);
      return 1;
    case 3:
      if (!Transpose(bitmap, log)) return 0;
      MirrorRows(bitmap);
      return 1;
    default:
      return 1;
  }
}

int ShowPage(ViewerInstance* viewer, int32_t page) {
  BusyCursor busy(viewer);
  ResetLog(&viewer->pageLog);
  ReleasePage(viewer);
  const int loaded = page >= 0 && viewer->hasPages && LoadDirectory(viewer, page) && PrepareBitmap(viewer);
  if (!loaded) {
    ShowNoPage(viewer);
    return 0;
  }
  viewer->pageInfo.valid = 1;
  RefreshToolbar(viewer, 0);
  SetStatusText(viewer, u"");
  LayoutMainView(viewer, 1);
  return 1;
}

int SetCurrentPage(ViewerInstance* viewer, int32_t page) {
  if (page == viewer->currentPage) return 1;
  if (page < 0 || page >= viewer->document.pageCount) return 0;
  viewer->currentPage = page;
  ShowPage(viewer, page);
  Tell(viewer->events.pageChange, viewer, page + 1);
  return 1;
}

int StepPage(ViewerInstance* viewer, int32_t kind) {
  switch (kind) {
    case kStepFirst:
      return SetCurrentPage(viewer, 0);
    case kStepLast:
      return SetCurrentPage(viewer, viewer->document.pageCount - 1);
    case kStepPrevious:
      return SetCurrentPage(viewer, viewer->currentPage - 1);
    case kStepNext:
      return SetCurrentPage(viewer, viewer->currentPage + 1);
    default:
      return 0;
  }
}

void SetOrientation(ViewerInstance* viewer, int32_t code) {
  if (code < 0) code = kOrientLeft;
  if (code > kOrientLeft) code = kOrientTop;
  const int32_t old = viewer->orientation;
  viewer->orientation = code;
  if (code == old) {
    RefreshToolbar(viewer, 0);
    return;
  }
  BusyCursor busy(viewer);
  viewer->relativeScroll = {0, 0};
  if (HasValidPage(viewer)) {
    const int32_t quarters = (code - old + 4) % 4;
    if (!TurnBitmap(&viewer->pageBitmap, quarters, &viewer->pageLog)) {
      // The picture stays as it was, and so does the setting that describes it.
      viewer->orientation = old;
      RefreshToolbar(viewer, 0);
      Invalidate(viewer, 1);
      return;
    }
    ReleaseViewBitmap(&viewer->mainView);
    ReleaseViewBitmap(&viewer->magnifierView);
    StoreCorrectedSize(viewer);
    if (quarters % 2) {
      LayoutMainView(viewer, 1);
    } else {
      RebuildMainView(viewer);
      Invalidate(viewer, 0);
    }
  }
  RefreshToolbar(viewer, 0);
  Tell(viewer->events.orientationChange, viewer, viewer->orientation + 1);
}

void ToggleNegative(ViewerInstance* viewer) {
  viewer->negative = !viewer->negative;
  RefreshToolbar(viewer, 0);
  BusyCursor busy(viewer);
  if (HasValidPage(viewer)) {
    Negative(&viewer->pageBitmap);
    RebuildMainView(viewer);
    ReleaseViewBitmap(&viewer->magnifierView);
    Invalidate(viewer, 0);
  }
  Tell(viewer->events.negativeChange, viewer, viewer->negative);
}

void ToggleSmooth(ViewerInstance* viewer) {
  viewer->raster.resample = !viewer->raster.resample;
  RefreshToolbar(viewer, 0);
  if (HasValidPage(viewer)) {
    RebuildMainView(viewer);
    Invalidate(viewer, 0);
  }
}

int SetSizeMode(ViewerInstance* viewer, int32_t mode) {
  if (mode < kSizeFixed || mode > kSizeBestFit) return 0;
  viewer->sizeMode = mode;
  RefreshToolbar(viewer, 0);
  LayoutMainView(viewer, 1);
  if (viewer->events.sizeModeChange) viewer->events.sizeModeChange(viewer, mode, ScalePercent(viewer->scaleIndex));
  return 1;
}

void SetScalePercent(ViewerInstance* viewer, int32_t percent) {
  const int32_t index = ScaleIndex(percent);
  if (index == viewer->scaleIndex && viewer->sizeMode == kSizeFixed) return;
  viewer->scaleIndex = index;
  SetSizeMode(viewer, kSizeFixed);
}

void SetZoomPercent(ViewerInstance* viewer, int32_t percent) {
  const int32_t index = ZoomIndex(percent);
  if (index == viewer->zoomIndex) return;
  ReleaseViewBitmap(&viewer->magnifierView);
  viewer->zoomIndex = index;
  SettingsStore* store = Library().store.get();
  if (store && !IsRestricted(viewer, kRestrictSaveSettings)) {
    WriteUserDword(store, u"zscalepct", static_cast<uint32_t>(percent));
  }
}

int SetMouseMode(ViewerInstance* viewer, int32_t mode) {
  if (mode < kMouseZoom || mode > kMouseErase) return 0;
  if (mode == viewer->mouseMode) return 1;
  viewer->mouseMode = mode;
  if (mode == kMouseCrop) viewer->cropFeature = 1;
  // The outline of the eraser is drawn with the page, so a repaint shows or removes it.
  if (mode == kMouseErase) {
    viewer->eraserOutline = 1;
    Invalidate(viewer, 0);
  } else if (viewer->eraserOutline) {
    viewer->eraserOutline = 0;
    Invalidate(viewer, 0);
  }
  RefreshToolbar(viewer, 0);
  Tell(viewer->events.mouseModeChange, viewer, mode);
  return 1;
}
