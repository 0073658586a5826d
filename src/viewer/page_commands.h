// The page operations that the window's keys and wheel call. They are shared
// with the toolbar, the context menu and the script object, so the window only
// asks for them here and never reimplements them.
#pragma once

#include <cstdint>

struct ViewerInstance;

enum PageStep : int32_t { kStepFirst = 1, kStepLast = 2, kStepPrevious = 3, kStepNext = 4 };

int ShowPage(ViewerInstance* viewer, int32_t page);
int SetCurrentPage(ViewerInstance* viewer, int32_t page);
int StepPage(ViewerInstance* viewer, int32_t kind);
int SetOrientation(ViewerInstance* viewer, int32_t code);
int ToggleNegative(ViewerInstance* viewer);
int SetSizeMode(ViewerInstance* viewer, int32_t mode);
int SetScalePercent(ViewerInstance* viewer, int32_t percent);
int SetZoomPercent(ViewerInstance* viewer, int32_t percent);
int SetMouseMode(ViewerInstance* viewer, int32_t mode);
