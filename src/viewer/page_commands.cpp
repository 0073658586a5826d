// Paging for the window's keys: showing one page of the loaded document.
#include "viewer/page_commands.h"

#include "document/bitmap_ops.h"
#include "document/page_loader.h"
#include "plugin/script_events.h"
#include "viewer/viewer_instance.h"

namespace {

void ReleaseShownPage(ViewerInstance* viewer) {
  ResetLog(&viewer->pageLog);
  ReleaseViewBitmap(&viewer->mainView);
  ReleaseViewBitmap(&viewer->magnifierView);
  ReleasePageBitmap(&viewer->pageBitmap);
  viewer->scroll = {0, 0};
  viewer->relativeScroll = {0, 0};
  ReleasePageInfo(&viewer->pageInfo);
  ResetPageInfo(&viewer->pageInfo);
  viewer->currentDirectory = 0;
}

// The page as the viewer shows it: inverted when asked, turned to the orientation.
void PrepareShownBitmap(ViewerInstance* viewer) {
  PageBitmap* bitmap = &viewer->pageBitmap;
  MessageLog* log = &viewer->pageLog;
  if (viewer->negative) Negative(bitmap);
  switch (viewer->orientation) {
    case kOrientRight:
      if (Transpose(bitmap, log)) ReverseRowOrder(bitmap, log);
      break;
    case kOrientBottom:
      MirrorRows(bitmap);
      ReverseRowOrder(bitmap, log);
      break;
    case kOrientLeft:
      if (Transpose(bitmap, log)) MirrorRows(bitmap);
      break;
    default:
      break;
  }
}

void Layout(ViewerInstance* viewer) {
  if (viewer->hooks.layoutMainView) viewer->hooks.layoutMainView(viewer, 1);
}

}  // namespace

int ShowPage(ViewerInstance* viewer, int32_t page) {
  ReleaseShownPage(viewer);
  if (page >= 0 && viewer->hasPages) {
    viewer->currentDirectory = PageToIfd(&viewer->document, page);
    PageLoadOptions options;
    options.memoryLimitMb = viewer->raster.memoryLimitMb;
    options.readPrintTags = viewer->printRouting;
    LoadPage(&viewer->document, viewer->currentDirectory, &options, &viewer->pageInfo, &viewer->pageBitmap,
             &viewer->pageLog);
    if (!viewer->pageBitmap.block && !viewer->pageLog.errorCount && !viewer->pageLog.warningCount)
      LogError(&viewer->pageLog, "Unable to display image; unknown reason");
  }
  viewer->pageInfo.valid = viewer->pageBitmap.block != nullptr;
  if (viewer->pageInfo.valid) {
    AspectResult size = AspectSize(&viewer->pageBitmap, 1.0, viewer->prefs.fixRatio);
    viewer->correctedWidth = size.width;
    viewer->correctedHeight = size.height;
    PrepareShownBitmap(viewer);
  }
  if (viewer->hooks.invalidate) viewer->hooks.invalidate(viewer, 1);
  Layout(viewer);
  return viewer->pageInfo.valid;
}

int SetCurrentPage(ViewerInstance* viewer, int32_t page) {
  if (page == viewer->currentPage) return 1;
  if (page < 0 || page >= viewer->document.pageCount) return 0;
  viewer->currentPage = page;
  ShowPage(viewer, page);
  FirePageChange(viewer, page + 1);
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
