// Pen strokes onto a device context: the whole page's strokes when a view is
// painted, or the one segment the pen just added.
#pragma once

#include <windows.h>

#include <cstdint>

#include "analysis/page_markup.h"

struct PageInfo;

// View pixels are mapped with `page`, the size of the page the strokes belong
// to, and moved by the origin (minus the scroll position for the main view).
void DrawStrokes(HDC dc, const PageMarkup* markup, const ViewState* view, const PageInfo* page,
                 int64_t originX, int64_t originY);
// One segment with its end pixel, as the pen draws it while the button is down.
void DrawSegment(HDC dc, const StrokeSegment* segment, const ViewState* view, const PageInfo* page,
                 int64_t originX, int64_t originY);
