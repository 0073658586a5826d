// What the toolbar shows and does, apart from its window: which items are
// enabled and checked, the tooltip texts made on request, the size-mode
// buttons, zoom stepping and the click action of every item.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "viewer/viewer_instance.h"

// The items of the instance's chosen list, with its conditions.
std::vector<int32_t> ToolbarItemsOf(const ViewerInstance* viewer);

// 1 enabled, 0 disabled, -1 when the item's state never changes.
int ItemEnabled(const ViewerInstance* viewer, int32_t item);
// 1 checked, 0 not, -1 for items that are never checked.
int ItemChecked(const ViewerInstance* viewer, int32_t item);

// The texts of `FS`, `PP`, `NP` and `UP`, made when the tooltip shows; the
// texts of the other items are their fixed strings.
std::u16string ToolbarTipText(const ViewerInstance* viewer, int32_t item);

// A size-mode button: a new mode is laid out and told to the page; the same
// mode only shows its button pressed again.
void PressSizeMode(ViewerInstance* viewer, int32_t mode);

enum ZoomDirection : int32_t { kZoomUnknown = 0, kZoomIn = 1, kZoomOut = 2 };
// One step of the main view's scale toward a larger (in) or smaller (out)
// size in fixed-size mode; the page always hears of the size mode.
void StepScale(ViewerInstance* viewer, int32_t direction);

// Runs the item's click action; 0 for items without one.
int RunToolbarItem(ViewerInstance* viewer, int32_t item);
