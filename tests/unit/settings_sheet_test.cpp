#include "dialogs/settings_sheet.h"

#include <vector>

#include "viewer_fixture.h"

namespace {

TEST(SheetLists, ChoicesAndTheSettingsTheyStandFor) {
  for (int32_t toolbar : {kToolbarTop, kToolbarBottom, kToolbarNone})
    EXPECT_EQ(ToolbarFromChoice(ToolbarChoice(toolbar)), toolbar);
  EXPECT_EQ(ToolbarChoice(kToolbarNone), 2);
  EXPECT_EQ(WheelFromChoice(WheelChoice(0)), 0);
  EXPECT_EQ(WheelChoice(1), 0);
  // Typed button sizes: below the range the smallest, above it the largest.
  const int32_t heights[][2] = {{10, 26}, {21, 26}, {22, 26}, {50, 54}, {100, 104}, {500, 104}, {-5, 26}};
  for (const auto& h : heights) EXPECT_EQ(ToolbarHeightFor(h[0]), h[1]) << h[0];
}

TEST(SheetLists, ZoomSizeListGrowsForLargeSizesAndCustomRectangles) {
  struct Case {
    int32_t size;
    int32_t custom;
    int32_t entries;
    int32_t choice;
  };
  const Case cases[] = {{2, 0, 4, 1}, {4, 0, 4, 3}, {5, 0, 5, 4}, {6, 0, 6, 5},
                        {2, 1, 6, 1}, {9, 0, 6, 5}, {0, 0, 4, 0}};
  for (const Case& c : cases) {
    Preferences prefs;
    prefs.zoomSize = c.size;
    prefs.zoomRectGiven = c.custom;
    EXPECT_EQ(ZoomSizeEntries(prefs), c.entries) << c.size << " " << c.custom;
    EXPECT_EQ(CountedChoice(c.size, c.entries), c.choice) << c.size << " " << c.custom;
  }
}

TEST(SheetLists, MonitorChoiceFollowsTheStoredCorner) {
  const std::vector<IntPoint> monitors = {{-1280, 0}, {1280, -200}};
  Preferences prefs;
  prefs.zoomMonitor = 2;
  prefs.zoomLocation = {1280, -200};
  EXPECT_EQ(ZoomMonitorChoice(prefs, monitors), 3);
  prefs.zoomLocation = {5, 5};  // no longer there
  EXPECT_EQ(ZoomMonitorChoice(prefs, monitors), 0);
  SetZoomMonitorChoice(&prefs, 2, monitors);
  EXPECT_EQ(prefs.zoomMonitor, 2);
  EXPECT_EQ(prefs.zoomLocation.x, -1280);
  SetZoomMonitorChoice(&prefs, 1, monitors);
  EXPECT_EQ(prefs.zoomMonitor, 1);
  EXPECT_EQ(ZoomMonitorChoice(prefs, monitors), 1);
}

TEST(SheetDefaults, EachPageRestoresOnlyItsOwnSettings) {
  Preferences prefs;
  prefs.toolbarHeight = 60;
  prefs.backgroundColour = 0x00FF00;
  prefs.fixRatio = 0;
  prefs.localAccess = 2;
  RestorePageDefaults(&prefs, kSheetGeneral);
  EXPECT_EQ(prefs.toolbarHeight, 26);
  EXPECT_EQ(prefs.backgroundColour, 0x404040);
  EXPECT_EQ(prefs.fixRatio, 0);
  RestorePageDefaults(&prefs, kSheetAdvanced);
  EXPECT_EQ(prefs.fixRatio, 1);
  EXPECT_EQ(prefs.localAccess, 1);
}

class SheetApply : public ViewerTest {};

TEST_F(SheetApply, ConsequencesFollowWhatChangedAndWhatThePageFixed) {
  const Preferences before = viewer_->prefs;
  struct Case {
    void (*change)(Preferences*);
    SheetConsequences expected;
  };
  const Case cases[] = {
      {[](Preferences* p) { p->toolbar = kToolbarBottom; }, {1, 0, 1, 0, 0, 0, 0, 0}},
      {[](Preferences* p) { p->toolbarHeight = 40; }, {0, 1, 1, 0, 0, 0, 0, 0}},
      {[](Preferences* p) { p->backgroundColour = 1; }, {0, 0, 0, 1, 0, 0, 0, 1}},
      {[](Preferences* p) { p->toolTips = 0; }, {0, 0, 0, 0, 1, 0, 0, 0}},
      {[](Preferences* p) { p->fixRatio = 0; }, {0, 0, 0, 0, 0, 0, 1, 0}},
      {[](Preferences* p) {
         p->ignoreSpecialImages = 2;
         p->fixRatio = 0;
       },
       {0, 0, 0, 0, 0, 1, 0, 0}},
  };
  for (const Case& c : cases) {
    Preferences after = before;
    c.change(&after);
    const SheetConsequences got = ConsequencesOf(viewer_, before, after);
    const SheetConsequences& e = c.expected;
    EXPECT_EQ((std::vector<int>{got.adoptPosition, got.rebuildToolbar, got.relayout, got.replaceBrush,
                                got.tooltips, got.renumber, got.reloadPage, got.repaint}),
              (std::vector<int>{e.adoptPosition, e.rebuildToolbar, e.relayout, e.replaceBrush, e.tooltips,
                                e.renumber, e.reloadPage, e.repaint}));
  }
  // A toolbar position or background the page chose stays.
  viewer_->toolbar.toolbarFollowsSetting = 0;
  viewer_->params.backgroundFollowsSetting = 0;
  Preferences after = before;
  after.toolbar = kToolbarNone;
  after.backgroundColour = 1;
  const SheetConsequences got = ConsequencesOf(viewer_, before, after);
  EXPECT_EQ(got.adoptPosition + got.relayout + got.replaceBrush + got.repaint, 0);
}

}  // namespace
