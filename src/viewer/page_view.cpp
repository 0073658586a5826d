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
  ReleaseBitmaps(&viewer->view);
  viewer->view.scroll = {0, 0};
  viewer->view.relativeScroll = {0, 0};
  ReleasePageInfo(&viewer->view.pageInfo);
  viewer->download.currentDirectory = 0;
}

// The layout works on the page as it is turned, so the size follows every turn.
void StoreCorrectedSize(ViewerInstance* viewer) {
  const AspectResult size = AspectSize(&viewer->view.pageBitmap, 1.0, viewer->prefs.fixRatio);
  viewer->view.correctedWidth = size.width;
  viewer->view.correctedHeight = size.height;
}

int LoadDirectory(ViewerInstance* viewer, int32_t page) {
  const int index = PageToIfd(&viewer->download.document, page);
  viewer->download.currentDirectory = index < 0 ? 0 : index;
  PageLoadOptions options;
  options.memoryLimitMb = viewer->settings.raster.memoryLimitMb;
  options.readPrintTags = viewer->print.printRouting;
  const int loaded = LoadPage(&viewer->download.document, index, &options, &viewer->view.pageInfo,
                              &viewer->view.pageBitmap, &viewer->logs.pageLog);
  if (!loaded && viewer->logs.pageLog.errorCount == 0 && viewer->logs.pageLog.warningCount == 0) {
    LogError(&viewer->logs.pageLog, "%s", kUnknownLoadFailure);
  }
  return loaded;
}

// The decoded page as the viewer is set to show it.
int PrepareBitmap(ViewerInstance* viewer) {
  if (viewer->settings.negative) Negative(&viewer->view.pageBitmap);
  if (!TurnBitmap(&viewer->view.pageBitmap, viewer->settings.orientation, &viewer->logs.pageLog)) return 0;
  StoreCorrectedSize(viewer);
  return 1;
}

void ShowNoPage(ViewerInstance* viewer) {
  ReleasePageBitmap(&viewer->view.pageBitmap);
  viewer->view.pageInfo.valid = 0;
  SetStatusText(viewer, u"  Unable to display image");
  RefreshToolbar(viewer, kRefreshLater);
  Invalidate(viewer, kEraseBackground);
  LayoutMainView(viewer, kKeepRelativeScroll);
}

void Tell(void (*event)(ViewerInstance*, int32_t), ViewerInstance* viewer, int32_t value) {
  if (event) event(viewer, value);
}

}  // namespace

int HasValidPage(const ViewerInstance* viewer) {
  return viewer->view.pageInfo.valid && viewer->view.pageBitmap.block != nullptr;
}

int ShowPage(ViewerInstance* viewer, int32_t page) {
  BusyCursor busy(viewer);
  ResetLog(&viewer->logs.pageLog);
  ReleasePage(viewer);
  // A blank-page score belongs to the page it was measured on.
  ForgetInkFraction(&viewer->analysis.barcodes);
  const int loaded =
      page >= 0 && viewer->download.hasPages && LoadDirectory(viewer, page) && PrepareBitmap(viewer);
  if (!loaded) {
    ShowNoPage(viewer);
    return 0;
  }
  viewer->view.pageInfo.valid = 1;
  RefreshToolbar(viewer, kRefreshLater);
  SetStatusText(viewer, u"");
  LayoutMainView(viewer, kKeepRelativeScroll);
  return 1;
}

int SetCurrentPage(ViewerInstance* viewer, int32_t page) {
  if (page == viewer->download.currentPage) return 1;
  if (page < 0 || page >= viewer->download.document.pageCount) return 0;
  viewer->download.currentPage = page;
  ShowPage(viewer, page);
  Tell(viewer->events.pageChange, viewer, page + 1);
  return 1;
}

int StepPage(ViewerInstance* viewer, int32_t kind) {
  switch (kind) {
    case kStepFirst:
      return SetCurrentPage(viewer, 0);
    case kStepLast:
      return SetCurrentPage(viewer, viewer->download.document.pageCount - 1);
    case kStepPrevious:
      return SetCurrentPage(viewer, viewer->download.currentPage - 1);
    case kStepNext:
      return SetCurrentPage(viewer, viewer->download.currentPage + 1);
    default:
      return 0;
  }
}

void SetOrientation(ViewerInstance* viewer, int32_t code) {
  if (code < 0) code = kOrientLeft;
  if (code > kOrientLeft) code = kOrientTop;
  const int32_t old = viewer->settings.orientation;
  viewer->settings.orientation = code;
  if (code == old) {
    RefreshToolbar(viewer, kRefreshLater);
    return;
  }
  BusyCursor busy(viewer);
  viewer->view.relativeScroll = {0, 0};
  if (HasValidPage(viewer)) {
    const int32_t quarters = (code - old + 4) % 4;
    if (!TurnBitmap(&viewer->view.pageBitmap, quarters, &viewer->logs.pageLog)) {
      // The picture stays as it was, and so does the setting that describes it.
      viewer->settings.orientation = old;
      RefreshToolbar(viewer, kRefreshLater);
      Invalidate(viewer, kEraseBackground);
      return;
    }
    ReleaseViewBitmap(&viewer->view.mainView);
    ReleaseViewBitmap(&viewer->view.magnifierView);
    StoreCorrectedSize(viewer);
    if (quarters % 2) {
      LayoutMainView(viewer, kKeepRelativeScroll);
    } else {
      RebuildMainView(viewer);
      Invalidate(viewer, kKeepBackground);
    }
  }
  RefreshToolbar(viewer, kRefreshLater);
  Tell(viewer->events.orientationChange, viewer, viewer->settings.orientation + 1);
}

void ToggleNegative(ViewerInstance* viewer) {
  viewer->settings.negative = !viewer->settings.negative;
  RefreshToolbar(viewer, kRefreshLater);
  BusyCursor busy(viewer);
  if (HasValidPage(viewer)) {
    Negative(&viewer->view.pageBitmap);
    RebuildMainView(viewer);
    ReleaseViewBitmap(&viewer->view.magnifierView);
    Invalidate(viewer, kKeepBackground);
  }
  Tell(viewer->events.negativeChange, viewer, viewer->settings.negative);
}

void ToggleSmooth(ViewerInstance* viewer) {
  viewer->settings.raster.resample = !viewer->settings.raster.resample;
  RefreshToolbar(viewer, kRefreshLater);
  if (HasValidPage(viewer)) {
    RebuildMainView(viewer);
    Invalidate(viewer, kKeepBackground);
  }
}

int SetSizeMode(ViewerInstance* viewer, int32_t mode) {
  if (mode < kSizeFixed || mode > kSizeBestFit) return 0;
  viewer->settings.sizeMode = mode;
  RefreshToolbar(viewer, kRefreshLater);
  LayoutMainView(viewer, kKeepRelativeScroll);
  if (viewer->events.sizeModeChange)
    viewer->events.sizeModeChange(viewer, mode, ScalePercent(viewer->settings.scaleIndex));
  return 1;
}

void SetScalePercent(ViewerInstance* viewer, int32_t percent) {
  const int32_t index = ScaleIndex(percent);
  if (index == viewer->settings.scaleIndex && viewer->settings.sizeMode == kSizeFixed) return;
  viewer->settings.scaleIndex = index;
  SetSizeMode(viewer, kSizeFixed);
}

int SetScaleKeepingMode(ViewerInstance* viewer, int32_t percent) {
  const int32_t index = ScaleIndex(percent);
  if (index == viewer->settings.scaleIndex) return 0;
  viewer->settings.scaleIndex = index;
  RefreshToolbar(viewer, kRefreshLater);
  LayoutMainView(viewer, kKeepRelativeScroll);
  if (viewer->events.sizeModeChange)
    viewer->events.sizeModeChange(viewer, viewer->settings.sizeMode, ScalePercent(index));
  return 1;
}

void SetZoomPercent(ViewerInstance* viewer, int32_t percent) {
  const int32_t index = ZoomIndex(percent);
  if (index == viewer->settings.zoomIndex) return;
  ReleaseViewBitmap(&viewer->view.magnifierView);
  viewer->settings.zoomIndex = index;
  SettingsStore* store = Library().store.get();
  if (store && !IsRestricted(viewer, kRestrictSaveSettings)) {
    WriteUserDword(store, u"zscalepct", static_cast<uint32_t>(percent));
  }
}

int SetMouseMode(ViewerInstance* viewer, int32_t mode) {
  if (mode < kMouseZoom || mode > kMouseErase) return 0;
  if (mode == viewer->settings.mouseMode) return 1;
  viewer->settings.mouseMode = mode;
  if (mode == kMouseCrop) viewer->input.cropFeature = 1;
  // The outline of the eraser is drawn with the page, so a repaint shows or removes it.
  if (mode == kMouseErase) {
    viewer->analysis.eraserOutline = 1;
    Invalidate(viewer, kKeepBackground);
  } else if (viewer->analysis.eraserOutline) {
    viewer->analysis.eraserOutline = 0;
    Invalidate(viewer, kKeepBackground);
  }
  RefreshToolbar(viewer, kRefreshLater);
  Tell(viewer->events.mouseModeChange, viewer, mode);
  return 1;
}
