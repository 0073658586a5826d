// One page of a print run as the printer gets it: the viewer's current page
// or another page decoded for the run alone, turned as the viewer shows pages,
// turned once more when the placement asks, and the marks to paint over it.
#pragma once

#include <cstdint>
#include <vector>

#include "analysis/paint_marks.h"
#include "common/message_log.h"
#include "document/page_bitmap.h"
#include "document/page_directory.h"

struct ViewerInstance;

struct PrintedPage {
  int32_t directory = -1;
  PageBitmap own;  // decoded or turned for the run; the viewer's bitmap is never changed
  PageInfo ownInfo;
  const PageBitmap* bitmap = nullptr;  // what is drawn: `own` or the viewer's current page
  const PageInfo* info = nullptr;

  PrintedPage() = default;
  ~PrintedPage();
  PrintedPage(const PrintedPage&) = delete;
  PrintedPage& operator=(const PrintedPage&) = delete;
};

// The page at `position` (0-based). The current page is borrowed from the
// viewer; any other is decoded with `log`, inverted and turned as the viewer
// shows pages. 0 when there is nothing to print (not decoded, no memory).
int LoadPrintedPage(ViewerInstance* viewer, int32_t position, MessageLog* log, PrintedPage* page);

// A quarter turn clockwise for a sideways placement; a borrowed page is copied first.
int TurnPrintedPage(PrintedPage* page, MessageLog* log);

// The marks of the page (white-outs, and the blank paper outside a crop) in
// device coordinates for a page drawn at `x`, `y`, `width`, `height` in the
// viewer's orientation plus `extraQuarters`. Every mark drawn over a printed
// page, however it was made, comes from here.
std::vector<MarkFill> PrintOverlay(const ViewerInstance* viewer, const PrintedPage& page, int32_t x,
                                   int32_t y, int32_t width, int32_t height, int32_t extraQuarters);
// The view of a printed page at that place, which the pen strokes are drawn with.
ViewState PrintedView(const ViewerInstance* viewer, int32_t x, int32_t y, int32_t width, int32_t height,
                      int32_t extraQuarters);
