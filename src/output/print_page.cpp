#include "output/print_page.h"

#include <cstdlib>
#include <cstring>

#include "common/diagnostics.h"
#include "document/bitmap_ops.h"
#include "document/page_loader.h"
#include "viewer/viewer_instance.h"

namespace {

int CopyBitmap(const PageBitmap* source, PageBitmap* copy, MessageLog* log) {
  auto* block = static_cast<uint8_t*>(AllocateOrReport(log, source->blockSize));
  if (!block) return 0;
  memcpy(block, source->block, source->blockSize);
  *copy = *source;
  copy->block = block;
  copy->pixels = block + (source->pixels - source->block);
  return 1;
}

int DecodeForPrint(ViewerInstance* viewer, PrintedPage* page, MessageLog* log) {
  PageLoadOptions options;
  options.memoryLimitMb = viewer->settings.raster.memoryLimitMb;
  options.readPrintTags = viewer->print.printRouting;
  if (!LoadPage(&viewer->download.document, page->directory, &options, &page->ownInfo, &page->own, log))
    return 0;
  if (viewer->settings.negative) Negative(&page->own);
  if (!TurnBitmap(&page->own, viewer->settings.orientation, log)) return 0;
  page->bitmap = &page->own;
  page->info = &page->ownInfo;
  return 1;
}

}  // namespace

PrintedPage::~PrintedPage() {
  ReleasePageBitmap(&own);
  ReleasePageInfo(&ownInfo);
}

int LoadPrintedPage(ViewerInstance* viewer, int32_t position, MessageLog* log, PrintedPage* page) {
  page->directory = PageToIfd(&viewer->download.document, position);
  if (page->directory < 0) return 0;
  if (position == viewer->download.currentPage) {
    if (!viewer->view.pageInfo.valid || !viewer->view.pageBitmap.block) return 0;
    page->bitmap = &viewer->view.pageBitmap;
    page->info = &viewer->view.pageInfo;
    return 1;
  }
  return DecodeForPrint(viewer, page, log);
}

int TurnPrintedPage(PrintedPage* page, MessageLog* log) {
  if (page->bitmap != &page->own) {
    if (!CopyBitmap(page->bitmap, &page->own, log)) return 0;
    page->bitmap = &page->own;
  }
  return TurnBitmap(&page->own, 1, log);
}

ViewState PrintedView(const ViewerInstance* viewer, int32_t x, int32_t y, int32_t width, int32_t height,
                      int32_t extraQuarters) {
  ViewState view;
  view.kind = kViewPrinted;
  view.originX = static_cast<uint32_t>(x);
  view.originY = static_cast<uint32_t>(y);
  view.width = width;
  view.height = height;
  view.orientation = (viewer->settings.orientation + extraQuarters) % 4;
  return view;
}

std::vector<MarkFill> PrintOverlay(const ViewerInstance* viewer, const PrintedPage& page, int32_t x,
                                   int32_t y, int32_t width, int32_t height, int32_t extraQuarters) {
  const ViewState view = PrintedView(viewer, x, y, width, height, extraQuarters);
  return MarksToPaint(viewer, &view, page.directory, page.info);
}
