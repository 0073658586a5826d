// The settings sheet as the engine sees it: the pages' list mappings, their
// Defaults buttons, and what OK must do to the open viewer. The sheet edits
// a copy of the instance's preferences; only OK brings it back.
#pragma once

#include <cstdint>
#include <vector>

#include "viewer/viewer_instance.h"

enum SheetPage : int32_t { kSheetGeneral = 0, kSheetAdvanced = 1 };

constexpr int32_t kButtonSizeLeast = 22;
constexpr int32_t kButtonSizeMost = 100;
constexpr size_t kListedMonitorsMost = 10;

// The settings of one page back to their defaults.
void RestorePageDefaults(Preferences* prefs, int32_t page);

// The drop-down lists: a setting's position in its list, and the setting a position stands for.
int32_t ToolbarChoice(int32_t toolbar);  // Top, Bottom, No toolbar
int32_t ToolbarFromChoice(int32_t choice);
int32_t WheelChoice(int32_t direction);  // Up = Zoom in, Up = Zoom out
int32_t WheelFromChoice(int32_t choice);
// The zoom window list offers "5" and "Custom" only for a size above 4 (or
// above 5) or a custom rectangle: 4, 5 or 6 entries.
int32_t ZoomSizeEntries(const Preferences& prefs);
// Settings counted from 1 (zoom size, panning): value − 1 kept inside the list.
int32_t CountedChoice(int32_t value, int32_t entries);
// "Nearest monitor", "Primary monitor", then the listed monitors by their corner.
int32_t ZoomMonitorChoice(const Preferences& prefs, const std::vector<IntPoint>& monitors);
void SetZoomMonitorChoice(Preferences* prefs, int32_t choice, const std::vector<IntPoint>& monitors);
// The toolbar height stored for a typed button size.
int32_t ToolbarHeightFor(int32_t buttonSize);

// What OK asks of the open viewer, done in this order.
struct SheetConsequences {
  int adoptPosition = 0;  // the toolbar moves (unless the page placed it)
  int rebuildToolbar = 0;
  int relayout = 0;
  int replaceBrush = 0;  // unless the page or a script chose the background
  int tooltips = 0;
  int renumber = 0;    // which images count as pages changed
  int reloadPage = 0;  // the aspect correction changed
  int repaint = 0;
};
SheetConsequences ConsequencesOf(const ViewerInstance* viewer, const Preferences& before,
                                 const Preferences& after);

// The pages counted again under the stored rule for special images, the log
// cleared and the first page shown.
void RenumberPages(ViewerInstance* viewer);
