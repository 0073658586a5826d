#include <gtest/gtest.h>

#include <vector>

#include "controls/magnifier_geometry.h"
#include "controls/magnifier_level.h"
#include "tiff_fixture.h"
#include "viewer/download_intake.h"
#include "viewer/page_view.h"
#include "viewer/settings.h"
#include "viewer_fixture.h"

namespace {

bool SameRect(ScreenRect a, ScreenRect b) {
  return a.left == b.left && a.top == b.top && a.right == b.right && a.bottom == b.bottom;
}

TEST(MagnifierFrame, EachSizeChoice) {
  struct Row {
    int32_t zoomSize;
    int rectGiven;
    MagnifierFrame expected;  // size, full monitor, topmost, framed, margin, custom
  };
  const Row rows[] = {
      {0, 0, {0, 0, 0, 1, 5, 0}}, {1, 0, {1, 0, 0, 1, 0, 0}},   {2, 0, {2, 0, 0, 1, 5, 0}},
      {3, 0, {3, 0, 0, 1, 0, 0}}, {4, 0, {4, 1, 1, 1, 0, 0}},   {5, 0, {5, 1, 1, 0, 0, 0}},
      {6, 1, {6, 0, 0, 1, 0, 1}}, {6, 0, {2, 0, 0, 1, 5, 0}},  // no rectangle of the user's: as 2
      {7, 0, {7, 0, 0, 1, 5, 0}}, {-3, 1, {-3, 0, 0, 1, 5, 0}},
  };
  for (const Row& row : rows) {
    const MagnifierFrame f = ChooseMagnifierFrame(row.zoomSize, row.rectGiven);
    const MagnifierFrame& e = row.expected;
    EXPECT_EQ(f.size, e.size) << row.zoomSize;
    EXPECT_EQ(f.fullMonitor, e.fullMonitor) << row.zoomSize;
    EXPECT_EQ(f.topmost, e.topmost) << row.zoomSize;
    EXPECT_EQ(f.framed, e.framed) << row.zoomSize;
    EXPECT_EQ(f.margin, e.margin) << row.zoomSize;
    EXPECT_EQ(f.custom, e.custom) << row.zoomSize;
  }
}

TEST(MagnifierFrame, MonitorChoice) {
  const IntPoint pointer{-900, 20}, location{2500, -300};
  struct Row {
    int32_t zoomMonitor;
    int centred;
    MonitorQuery query;
    IntPoint point;
  };
  const Row rows[] = {
      {0, 0, kAreaNearPoint, pointer},  {0, 1, kAreaNearWindow, pointer}, {1, 0, kAreaDesktop, {}},
      {2, 0, kAreaNearPoint, location}, {2, 1, kAreaNearPoint, location}, {9, 0, kAreaDesktop, {}},
  };
  for (const Row& row : rows) {
    const MonitorChoice c = ChooseMonitor(row.zoomMonitor, row.centred, pointer, location);
    EXPECT_EQ(c.query, row.query) << row.zoomMonitor << "," << row.centred;
    if (row.query != kAreaDesktop) {
      EXPECT_EQ(c.point.x, row.point.x);
      EXPECT_EQ(c.point.y, row.point.y);
    }
  }
}

TEST(MagnifierFrame, WindowRectangles) {
  const ScreenRect work{0, 0, 1280, 990}, left{-1024, -200, 0, 568}, desktop{-1024, -200, 1280, 1024};
  const ScreenRect custom{100, 50, 500, 350};
  struct Row {
    int32_t zoomSize;
    int rectGiven;
    ScreenRect area;
    ScreenRect custom;
    ScreenRect expected;
  };
  const Row rows[] = {
      {2, 0, work, custom, {5, 5, 1275, 985}},
      {3, 0, work, custom, {0, 0, 1280, 990}},
      {1, 0, work, custom, {30, 5, 1250, 665}},  // height two thirds of the bottom
      {2, 0, left, custom, {-1019, -195, -5, 563}},
      {6, 1, work, custom, custom},
      {6, 0, work, custom, {5, 5, 1275, 985}},
      // Huge and reversed user rectangles stay on the desktop.
      {6, 1, work, {-2000000000, 10, 2000000000, 2000000000}, {-1024, 10, 1280, 1024}},
      {6, 1, work, {5000, 5000, 6000, 6000}, {1279, 1023, 1280, 1024}},
      {6, 1, work, {300, 300, 200, 400}, {10, 10, 410, 410}},
  };
  for (const Row& row : rows) {
    const ScreenRect r =
        MagnifierWindowRect(ChooseMagnifierFrame(row.zoomSize, row.rectGiven), row.area, row.custom, desktop);
    EXPECT_TRUE(SameRect(r, row.expected))
        << row.zoomSize << ": " << r.left << "," << r.top << "," << r.right << "," << r.bottom;
  }
}

TEST(MagnifierPointer, OpeningPlacesTheClickedPointUnderThePointer) {
  struct Row {
    double magnified;
    int32_t client, page, expected;
  };
  const Row rows[] = {
      {0, 1000, 600, 200},     // centred page: its left edge
      {599, 1000, 600, 799},   // and its right edge
      {0, 500, 2000, 24},      // the page's first pixel, within the near border
      {2000, 500, 2000, 475},  // and its last, within the far border
      {1000, 500, 2000, 250},  // the middle in the middle
      {35, 60, 70, 30},        // a short page counts as 74 long
      {10, 40, 50, 39},
      {5, 10, 1000, 9},  // a window narrower than its borders keeps the pointer inside
  };
  for (const Row& row : rows) {
    EXPECT_EQ(OpeningPointer(row.magnified, row.client, row.page), row.expected)
        << row.magnified << " " << row.client << " " << row.page;
  }
  EXPECT_DOUBLE_EQ(MagnifiedPosition(100, 50, 300, 1200), 600.0);
  EXPECT_DOUBLE_EQ(MagnifiedPosition(5, 0, 0, 10), 50.0) << "an empty view divides by one";
}

TEST(MagnifierPointer, OffsetsFollowThePointerWithinTheBorders) {
  struct Row {
    int32_t pointer, client, page, expected;
  };
  const Row rows[] = {
      {500, 1000, 600, 0},  // smaller page: no scrolling
      {0, 1064, 2064, 0},
      {32, 1064, 2064, 0},
      {33, 1064, 2064, 1},
      {532, 1064, 2064, 500},
      {1031, 1064, 2064, 999},
      {1032, 1064, 2064, 1000},
      {1063, 1064, 2064, 1000},  // inside the far border: the page's end
      {-50, 1064, 2064, 0},
      {9000, 1064, 2064, 1000},
      {30, 64, 1000, 0},
      {33, 64, 1000, 936},  // no room between the borders: no division by zero
      {100, 1000, 2000000000, 145299072},
  };
  for (const Row& row : rows) {
    EXPECT_EQ(MagnifierOffset(row.pointer, row.client, row.page), row.expected)
        << row.pointer << " " << row.client << " " << row.page;
  }
  EXPECT_EQ(MagnifierOrigin(300, 1000, 4000), -300);
  EXPECT_EQ(MagnifierOrigin(0, 1000, 601), 199);
  EXPECT_EQ(MagnifierOrigin(0, 1000, 1000), 0);
}

TEST(MagnifierInput, Keys) {
  struct Row {
    int32_t key;
    MagnifierKey expected;
  };
  const Row rows[] = {
      {0x1B, {1, 1, 0, 0}},         {0x21, {1, 0, kStepPrevious, 0}},
      {0x22, {1, 0, kStepNext, 0}}, {0x24, {1, 0, kStepFirst, 0}},
      {0x23, {1, 0, kStepLast, 0}}, {0x6B, {1, 0, 0, -1}},
      {0xBB, {1, 0, 0, -1}},        {0x6D, {1, 0, 0, 1}},
      {0xBD, {1, 0, 0, 1}},         {0x25, {0, 0, 0, 0}},
      {'A', {0, 0, 0, 0}},
  };
  for (const Row& row : rows) {
    const MagnifierKey k = DecideMagnifierKey(row.key);
    EXPECT_EQ(k.handled, row.expected.handled) << row.key;
    EXPECT_EQ(k.close, row.expected.close) << row.key;
    EXPECT_EQ(k.step, row.expected.step) << row.key;
    EXPECT_EQ(k.levelStep, row.expected.levelStep) << row.key;
  }
}

TEST(MagnifierInput, WheelStepsLevelsByHalfNotches) {
  struct Row {
    std::vector<int32_t> deltas;
    int32_t direction, level, expected, accumulator;
  };
  const Row rows[] = {
      {{120}, 1, 5, 4, 0},                                // away from the user enlarges
      {{120}, 0, 5, 6, 0},                                // reversed
      {{-120, -120}, 1, 5, 7, 0}, {{40}, 1, 5, 5, -40},   // less than half a notch waits
      {{40, 40}, 1, 5, 4, 40},    {{-60}, 1, 5, 6, -60},  // exactly half a notch towards the user counts
      {{60}, 1, 5, 5, -60},                               // but not away from it
      {{480}, 1, 1, 0, 0},                                // clamped at 1600 percent
      {{-480}, 1, 13, 14, 0},                             // and at 10 percent
  };
  for (const Row& row : rows) {
    int32_t accumulator = 0, level = row.level;
    for (int32_t delta : row.deltas) level = MagnifierWheelLevel(&accumulator, delta, row.direction, level);
    EXPECT_EQ(level, row.expected) << row.deltas[0];
    EXPECT_EQ(accumulator, row.accumulator) << row.deltas[0];
  }
}

class MagnifierLevel : public ViewerTest {
 protected:
  void LoadPage() {
    TestPage page;
    page.width = 40;
    page.height = 30;
    page.rows.assign(1, std::vector<std::vector<uint8_t>>(30, std::vector<uint8_t>(40, 200)));
    bytes_ = WriteTestTiffPages({page});
    int stream = 0;
    ASSERT_EQ(BeginDownload(viewer_, &stream, u"http://127.0.0.1/p.tif", nullptr,
                            static_cast<uint32_t>(bytes_.size())),
              kBeginAccepted);
    ASSERT_EQ(ReceiveData(viewer_, 0, static_cast<int32_t>(bytes_.size()), bytes_.data()),
              static_cast<int32_t>(bytes_.size()));
    EndDownload(viewer_, kReasonDone);
    ASSERT_TRUE(HasValidPage(viewer_));
  }
  const StoredValue* Stored() const { return store_->Find(StoreRoot::kUser, kMainKeyPath, u"zscalepct"); }
  std::vector<uint8_t> bytes_;
};

TEST_F(MagnifierLevel, SteppingBuildsThePictureAtTheNewLevel) {
  LoadPage();
  viewer_->settings.zoomIndex = ZoomIndex(100);
  EXPECT_EQ(SetMagnifierLevel(viewer_, ZoomIndex(100)), 0) << "unchanged";
  EXPECT_EQ(SetMagnifierLevel(viewer_, ZoomIndex(50)), 1);
  EXPECT_EQ(viewer_->view.magnifierView.width, 20);
  EXPECT_EQ(viewer_->view.magnifierView.height, 15);
  EXPECT_EQ(SetMagnifierLevel(viewer_, -4), 1);
  EXPECT_EQ(ZoomPercent(viewer_->settings.zoomIndex), 1600);
  EXPECT_EQ(viewer_->view.magnifierView.width, 640);
  EXPECT_EQ(SetMagnifierLevel(viewer_, 0), 0) << "plus at 1600 percent changes nothing";
  EXPECT_EQ(SetMagnifierLevel(viewer_, 99), 1);
  EXPECT_EQ(ZoomPercent(viewer_->settings.zoomIndex), 10);
}

TEST_F(MagnifierLevel, StoredAtClosingOnlyWhenChangedAndAllowed) {
  LoadPage();
  const int32_t opening = ZoomIndex(100);
  viewer_->settings.zoomIndex = opening;
  EXPECT_EQ(StoreMagnifierLevel(viewer_, opening), 0);
  EXPECT_EQ(Stored(), nullptr);
  SetMagnifierLevel(viewer_, ZoomIndex(200));
  viewer_->access.restrictions |= kRestrictSaveSettings;
  EXPECT_EQ(StoreMagnifierLevel(viewer_, opening), 0);
  EXPECT_EQ(Stored(), nullptr);
  viewer_->access.restrictions &= ~kRestrictSaveSettings;
  EXPECT_EQ(StoreMagnifierLevel(viewer_, opening), 1);
  uint32_t percent = 0;
  ASSERT_TRUE(ReadUserDword(store_, u"zscalepct", &percent));
  EXPECT_EQ(percent, 200u);
}

}  // namespace
