// The pen and the eraser under the pointer: a drag that adds segments to the
// shown page's strokes, or removes the segments the eraser passes near. The
// window draws what each step returns at once and repaints what was erased.
#pragma once

#include <cstdint>

#include "analysis/page_markup.h"

// Starts a drag at a point of the image window's client area in the draw or
// erase mouse mode; 0 when nothing starts (marks taken away, no page shown,
// no memory for the page's record).
int BeginPenDrag(ViewerInstance* viewer, IntPoint client);
// The pointer moved: the segment the pen added (for the window to draw now),
// or null (erasing, or no movement). An eraser that removed something repaints.
const StrokeSegment* MovePenDrag(ViewerInstance* viewer, IntPoint client);
// The button went up: a pen that never moved leaves a dot, returned to be
// drawn; the page is told its strokes changed.
const StrokeSegment* EndPenDrag(ViewerInstance* viewer);
