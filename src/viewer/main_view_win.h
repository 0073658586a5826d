// The main view inside the image window: its layout for the window's size,
// with real scroll bars, and scrolling.
#pragma once

#include <windows.h>

#include "viewer/viewer_instance.h"

// Recomputes the main view's size and the scroll bars and rebuilds the view
// when its size or way of drawing changed. The scroll bar changes raise the
// feedback guard so that the size messages they cause start no second layout.
void LayoutMainViewInWindow(ViewerInstance* viewer, int keepRelative);

// Scrolls the main view along SB_HORZ or SB_VERT by a scroll code; the thumb
// codes take `position` when `absolute` is set, else the bar's tracking
// position. Moves what is on screen and repaints only the uncovered strip.
int ScrollBar(ViewerInstance* viewer, int bar, int32_t code, int absolute, int32_t position);
