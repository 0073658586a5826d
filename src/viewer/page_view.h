// The operations that change what the viewer shows: the page, its
// orientation, negative and smoothing, the size mode and scale, the
// magnifier's zoom and the mouse mode. The toolbar, the context menu, the
// keyboard and the page's scripts all come through here.
#pragma once

#include <cstdint>

#include "viewer/viewer_instance.h"

enum StepKind : int32_t { kStepFirst = 1, kStepLast = 2, kStepPrevious = 3, kStepNext = 4 };

// Loads page `page` (0-based) into the page bitmap, negated and turned as the
// viewer is set, and lays out the main view. Non-zero with a bitmap.
int ShowPage(ViewerInstance* viewer, int32_t page);
// A page already shown succeeds without work; a page outside the document fails.
int SetCurrentPage(ViewerInstance* viewer, int32_t page);
int StepPage(ViewerInstance* viewer, int32_t kind);
// Codes below 0 wrap to 3 and above 3 to 0, so callers may pass the current
// orientation plus or minus one.
void SetOrientation(ViewerInstance* viewer, int32_t code);
void ToggleNegative(ViewerInstance* viewer);
void ToggleSmooth(ViewerInstance* viewer);
// Modes outside 0..3 are refused.
int SetSizeMode(ViewerInstance* viewer, int32_t mode);
void SetScalePercent(ViewerInstance* viewer, int32_t percent);
// The fixed-size level nearest to `percent`, whatever the size mode is; the
// view follows at once when that mode is in effect. Non-zero when it changed.
int SetScaleKeepingMode(ViewerInstance* viewer, int32_t percent);
void SetZoomPercent(ViewerInstance* viewer, int32_t percent);
// Modes outside 0..6 are refused.
int SetMouseMode(ViewerInstance* viewer, int32_t mode);

// A page is shown: its bitmap exists and its facts were read.
int HasValidPage(const ViewerInstance* viewer);
