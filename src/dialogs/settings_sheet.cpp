#include "dialogs/settings_sheet.h"

#include <algorithm>
#include <iterator>

#include "common/message_log.h"
#include "document/page_directory.h"
#include "viewer/page_view.h"
#include "viewer/window_calls.h"

namespace {

// clang-format off
// What each page's Defaults button restores besides localAccess and zoomLocation.
constexpr int32_t Preferences::*kGeneralSettings[] = {
    &Preferences::toolbar,     &Preferences::zoomSize,         &Preferences::panSensitivity,
    &Preferences::toolbarHeight, &Preferences::backgroundColour, &Preferences::printFull,
    &Preferences::printCenter, &Preferences::printAutoRotate,  &Preferences::mouseWheelDirection,
    &Preferences::autoUpdate};
constexpr int32_t Preferences::*kAdvancedSettings[] = {
    &Preferences::toolTips,       &Preferences::fixRatio,    &Preferences::ignoreSpecialImages,
    &Preferences::printStretched, &Preferences::allowScript, &Preferences::allowAutoPrint,
    &Preferences::supportMultipleCopies, &Preferences::zoomMonitor};
constexpr int32_t kToolbarByChoice[] = {kToolbarTop, kToolbarBottom, kToolbarNone};
// clang-format on

}  // namespace

void RestorePageDefaults(Preferences* prefs, int32_t page) {
  const Preferences defaults;
  if (page == kSheetGeneral) {
    for (int32_t Preferences::*setting : kGeneralSettings) prefs->*setting = defaults.*setting;
  } else {
    for (int32_t Preferences::*setting : kAdvancedSettings) prefs->*setting = defaults.*setting;
    prefs->localAccess = 1;  // the stored default, not the "not yet known" of a new record
    prefs->zoomLocation = defaults.zoomLocation;
  }
}

int32_t ToolbarChoice(int32_t toolbar) {
  const auto* found = std::find(std::begin(kToolbarByChoice), std::end(kToolbarByChoice), toolbar);
  return found == std::end(kToolbarByChoice) ? 0 : static_cast<int32_t>(found - std::begin(kToolbarByChoice));
}

int32_t ToolbarFromChoice(int32_t choice) {
  return kToolbarByChoice[std::clamp<int32_t>(choice, 0, std::size(kToolbarByChoice) - 1)];
}

int32_t WheelChoice(int32_t direction) { return direction == 1 ? 0 : 1; }
int32_t WheelFromChoice(int32_t choice) { return choice == 0 ? 1 : 0; }

int32_t ZoomSizeEntries(const Preferences& prefs) {
  const bool custom = prefs.zoomRectGiven != 0;
  return 4 + (prefs.zoomSize > 4 || custom) + (prefs.zoomSize > 5 || custom);
}

int32_t CountedChoice(int32_t value, int32_t entries) {
  return std::clamp(value, 1, std::max(entries, 1)) - 1;
}

int32_t ZoomMonitorChoice(const Preferences& prefs, const std::vector<IntPoint>& monitors) {
  if (prefs.zoomMonitor == 1) return 1;
  if (prefs.zoomMonitor == 2) {
    for (size_t i = 0; i < monitors.size(); ++i) {
      if (monitors[i].x == prefs.zoomLocation.x && monitors[i].y == prefs.zoomLocation.y)
        return static_cast<int32_t>(i) + 2;
    }
  }
  return 0;
}

void SetZoomMonitorChoice(Preferences* prefs, int32_t choice, const std::vector<IntPoint>& monitors) {
  if (choice >= 2 && static_cast<size_t>(choice - 2) < monitors.size()) {
    prefs->zoomMonitor = 2;
    prefs->zoomLocation = monitors[static_cast<size_t>(choice - 2)];
  } else {
    prefs->zoomMonitor = choice == 1 ? 1 : 0;
  }
}

int32_t ToolbarHeightFor(int32_t buttonSize) {
  return std::clamp(buttonSize, kButtonSizeLeast, kButtonSizeMost) + 4;
}

SheetConsequences ConsequencesOf(const ViewerInstance* viewer, const Preferences& before,
                                 const Preferences& after) {
  SheetConsequences c;
  c.adoptPosition = after.toolbar != before.toolbar && viewer->toolbar.toolbarFollowsSetting;
  c.rebuildToolbar = after.toolbarHeight != before.toolbarHeight;
  c.relayout = c.rebuildToolbar || c.adoptPosition;
  c.replaceBrush =
      after.backgroundColour != before.backgroundColour && viewer->params.backgroundFollowsSetting;
  c.tooltips = after.toolTips != before.toolTips;
  c.renumber = after.ignoreSpecialImages != before.ignoreSpecialImages;
  c.reloadPage = !c.renumber && after.fixRatio != before.fixRatio;
  c.repaint = !c.renumber && !c.reloadPage && c.replaceBrush;
  return c;
}

void RenumberPages(ViewerInstance* viewer) {
  ResetLog(&viewer->logs.documentLog);
  DownloadState& download = viewer->download;
  if (download.loadState != kLoadDone) return;
  download.document.ignoreSpecialImages = viewer->prefs.ignoreSpecialImages;
  NumberPages(&download.document, &viewer->logs.documentLog);
  download.currentPage = 0;
  download.hasPages = download.document.pageCount > 0;
  RefreshToolbar(viewer, kRefreshNow);
  if (download.hasPages) ShowPage(viewer, 0);
}
