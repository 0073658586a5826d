// The pen strokes of each page: a doubly linked list of segments per page
// record, added to by the pen, taken away by the eraser, and asked about by
// the script and the output side.
#pragma once

#include <cstdint>

#include "analysis/page_markup.h"

struct ViewerInstance;

// Appends a segment in the given colour; 0 when memory ran out (the segment
// is then dropped, the stroke so far kept).
int AppendSegment(PageMarkup* markup, RealPoint start, RealPoint end, uint32_t colour);
// Frees every segment of the page record; the count freed.
int32_t FreeSegments(PageMarkup* markup);
// Removes every segment the eraser path from -> to reaches (a point when the
// two are equal); the count removed.
int32_t EraseSegmentsNear(PageMarkup* markup, RealPoint from, RealPoint to);
// The segment is the last of its stroke: nothing follows it, or what follows
// starts somewhere else. Such a segment gets its end pixel drawn.
int EndsStroke(const StrokeSegment* segment);
int MarkupHasStrokes(const PageMarkup* markup);
// Any stroke colour other than black or white, which a bilevel copy cannot hold.
int HasColouredStrokes(const PageMarkup* markup);

int PageHasStrokes(const ViewerInstance* viewer, int32_t directory);
int DocumentHasStrokes(const ViewerInstance* viewer);
// Clears the directory's strokes; when any were removed, repaints a shown page
// and tells the page script. The count removed.
int32_t ClearStrokes(ViewerInstance* viewer, int32_t directory);
