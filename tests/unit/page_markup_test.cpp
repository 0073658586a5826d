#include "analysis/page_markup.h"

#include <gtest/gtest.h>

#include <vector>

#include "analysis/paint_marks.h"
#include "analysis/rubber_band.h"
#include "viewer/viewer_instance.h"

namespace {

struct Event {
  int32_t state, page, left, top, width, height;
};

// What the window side was asked to do.
struct Recorder {
  std::vector<int> invalidations;  // the erase flag of each
  std::vector<Event> crops;
  std::vector<IntRect> bandDrawings;
  std::vector<int> captures;
  std::vector<std::pair<int, int>> scrolls;  // vertical, forward
  int magnifierClosed = 0;
};
Recorder* g_recorder = nullptr;

// A viewer showing page 1 of a two-page document at 1:1, 200 x 100 pixels.
class MarksTest : public ::testing::Test {
 protected:
  void SetUp() override {
    g_recorder = &record_;
    viewer_.download.document.ifds = {{8, 0, 0}, {100, 1, -1}, {200, 0, 1}};
    viewer_.download.document.pageCount = 2;
    viewer_.view.pageInfo.width = 200;
    viewer_.view.pageInfo.height = 100;
    viewer_.view.pageInfo.valid = 1;
    viewer_.view.mainView.width = 200;
    viewer_.view.mainView.height = 100;
    viewer_.hooks.invalidate = [](ViewerInstance*, int erase) { g_recorder->invalidations.push_back(erase); };
    viewer_.events.cropSelect = [](ViewerInstance*, int32_t state, int32_t page, int32_t left, int32_t top,
                                   int32_t width, int32_t height) {
      g_recorder->crops.push_back({state, page, left, top, width, height});
    };
    viewer_.hooks.drawBand = [](ViewerInstance*, IntRect band) { g_recorder->bandDrawings.push_back(band); };
    viewer_.hooks.captureMouse = [](ViewerInstance*, int capture) {
      g_recorder->captures.push_back(capture);
    };
    viewer_.hooks.scrollLine = [](ViewerInstance*, int vertical, int forward) {
      g_recorder->scrolls.push_back({vertical, forward});
    };
    viewer_.hooks.closeMagnifier = [](ViewerInstance* v) {
      ++g_recorder->magnifierClosed;
      v->input.magnifierOpen = 0;
    };
  }
  void TearDown() override { g_recorder = nullptr; }

  // Presses at `from`, drags through `via` and releases at `to`, in client points.
  void Drag(IntPoint from, IntPoint via, IntPoint to, int cancel = 0) {
    BeginBand(&viewer_, from);
    TrackBand(&viewer_, via, 150, 80);
    TrackBand(&viewer_, to, 150, 80);
    EndBand(&viewer_, cancel);
  }

  Recorder record_;
  ViewerInstance viewer_;
};

TEST_F(MarksTest, WhiteoutsKeepTheirOrderAndComeOffFromTheEnd) {
  EXPECT_FALSE(HasWhiteouts(&viewer_, 0));
  EXPECT_TRUE(AddWhiteout(&viewer_, {1, 1, 5, 5}));
  EXPECT_TRUE(AddWhiteout(&viewer_, {9, 9, 3, 3}));  // stored normalised
  EXPECT_TRUE(viewer_.analysis.marksPresent);
  const PageMarkup* markup = FindMarkup(&viewer_, 0);
  ASSERT_NE(markup, nullptr);
  ASSERT_EQ(markup->whiteouts.size(), 2u);
  EXPECT_EQ(markup->whiteouts[1].rect.left, 3);
  EXPECT_EQ(markup->whiteouts[1].rect.right, 9);
  EXPECT_EQ(markup->whiteouts[1].kind, kMarkWhiteout);
  EXPECT_FALSE(HasWhiteouts(&viewer_, 2));

  EXPECT_TRUE(RemoveLastWhiteout(&viewer_, 0));
  ASSERT_EQ(markup->whiteouts.size(), 1u);
  EXPECT_EQ(markup->whiteouts[0].rect.left, 1);
  EXPECT_TRUE(RemoveLastWhiteout(&viewer_, 0));
  EXPECT_FALSE(HasWhiteouts(&viewer_, 0));
  EXPECT_FALSE(RemoveLastWhiteout(&viewer_, 0));
  EXPECT_EQ(record_.invalidations, (std::vector<int>{1, 1}));

  AddWhiteout(&viewer_, {1, 1, 2, 2});
  AddWhiteout(&viewer_, {3, 3, 4, 4});
  EXPECT_TRUE(RemoveAllWhiteouts(&viewer_, 0));
  EXPECT_FALSE(HasWhiteouts(&viewer_, 0));
  EXPECT_FALSE(RemoveAllWhiteouts(&viewer_, 0));
}

TEST_F(MarksTest, MarkOperationsRefuseInvalidDirectoriesAndTheMarksRestriction) {
  viewer_.download.currentDirectory = 3;
  EXPECT_FALSE(AddWhiteout(&viewer_, {1, 1, 2, 2}));
  EXPECT_FALSE(SetCrop(&viewer_, -1, {1, 1, 2, 2}, 1));
  EXPECT_FALSE(ClearCrop(&viewer_, 3, 1));
  EXPECT_FALSE(HasWhiteouts(&viewer_, 99));
  viewer_.download.currentDirectory = 0;
  viewer_.access.restrictions = kRestrictMarks;
  EXPECT_FALSE(AddWhiteout(&viewer_, {1, 1, 2, 2}));
  EXPECT_FALSE(SetCrop(&viewer_, 0, {1, 1, 2, 2}, 1));
  EXPECT_FALSE(SetCropByPage(&viewer_, 1, 0, 1, 1, 5, 5));
  EXPECT_FALSE(BeginBand(&viewer_, {5, 5}));
  EXPECT_EQ(FindMarkup(&viewer_, 0), nullptr);
  EXPECT_TRUE(record_.crops.empty());
}

TEST_F(MarksTest, CropEventsCarryPageNumberAndSizes) {
  EXPECT_TRUE(SetCrop(&viewer_, 2, {10, 20, 49, 29}, 1));
  ASSERT_EQ(record_.crops.size(), 1u);
  const Event& set = record_.crops[0];
  EXPECT_EQ(set.state, 1);
  EXPECT_EQ(set.page, 2);  // directory 2 shows page 2
  EXPECT_EQ(set.left, 10);
  EXPECT_EQ(set.top, 20);
  EXPECT_EQ(set.width, 40);
  EXPECT_EQ(set.height, 10);
  EXPECT_TRUE(record_.invalidations.empty());  // not the current directory

  EXPECT_TRUE(ClearCrop(&viewer_, 2, 1));
  ASSERT_EQ(record_.crops.size(), 2u);
  const Event& cleared = record_.crops[1];
  EXPECT_EQ(cleared.state, 0);
  EXPECT_EQ(cleared.page, 2);
  EXPECT_EQ(cleared.left, 0);
  EXPECT_EQ(cleared.width, 200);
  EXPECT_EQ(cleared.height, 100);
  EXPECT_TRUE(ClearCrop(&viewer_, 2, 1));  // nothing active: no second event
  EXPECT_EQ(record_.crops.size(), 2u);

  SetCrop(&viewer_, 0, {1, 1, 5, 5}, 0);
  EXPECT_EQ(record_.invalidations, (std::vector<int>{0}));
  EXPECT_EQ(record_.crops.size(), 2u);
}

TEST_F(MarksTest, ScriptCropTargetsTheCurrentOrANumberedPageWithoutEvents) {
  viewer_.download.document.pageCount = 1;
  viewer_.download.document.ifds = {{8, 0, 0}};
  viewer_.input.magnifierOpen = 1;
  EXPECT_TRUE(SetCropByPage(&viewer_, 1, 0, 5, 6, 10, 20));
  EXPECT_EQ(record_.magnifierClosed, 1);
  EXPECT_TRUE(viewer_.input.cropFeature);
  const PageMarkup* markup = FindMarkup(&viewer_, 0);
  ASSERT_NE(markup, nullptr);
  EXPECT_TRUE(markup->cropActive);
  EXPECT_EQ(markup->crop.right, 14);
  EXPECT_EQ(markup->crop.bottom, 25);
  EXPECT_FALSE(SetCropByPage(&viewer_, 1, 2, 0, 0, 10, 10));  // no page 2
  EXPECT_FALSE(SetCropByPage(&viewer_, 1, 1, 0, 0, 0, 10));   // empty rectangle
  EXPECT_EQ(viewer_.logs.documentLog.warningCount, 1);
  EXPECT_FALSE(SetCropByPage(&viewer_, 7, 1, 0, 0, 10, 10));
  EXPECT_TRUE(SetCropByPage(&viewer_, 1, 1, 2147483640, 0, 100, 10));  // right edge held at the limit
  EXPECT_EQ(markup->crop.right, INT32_MAX);
  EXPECT_TRUE(SetCropByPage(&viewer_, 0, 1, 0, 0, 0, 0));
  EXPECT_FALSE(markup->cropActive);
  EXPECT_TRUE(record_.crops.empty());
}

TEST_F(MarksTest, ReleasingTheDocumentsMarksClearsTheFlag) {
  AddWhiteout(&viewer_, {1, 1, 2, 2});
  ReleaseAllMarkup(&viewer_);
  EXPECT_FALSE(viewer_.analysis.marksPresent);
  EXPECT_FALSE(HasWhiteouts(&viewer_, 0));
}

TEST_F(MarksTest, BandOfThreePixelsIsDiscardedFourBecomesAWhiteout) {
  viewer_.settings.mouseMode = kMouseWhiteout;
  Drag({10, 10}, {30, 30}, {12, 12});  // past the threshold, back to 3 x 3
  EXPECT_FALSE(HasWhiteouts(&viewer_, 0));
  Drag({10, 10}, {30, 30}, {13, 13});
  ASSERT_TRUE(HasWhiteouts(&viewer_, 0));
  IntRect mark = FindMarkup(&viewer_, 0)->whiteouts[0].rect;
  EXPECT_EQ(mark.left, 10);
  EXPECT_EQ(mark.top, 10);
  EXPECT_EQ(mark.right, 13);
  EXPECT_EQ(mark.bottom, 13);
  EXPECT_EQ(record_.invalidations.back(), 1);
  // The band was drawn and removed as often: nothing is left on screen.
  EXPECT_EQ(record_.bandDrawings.size() % 2, 0u);
  EXPECT_EQ(record_.captures, (std::vector<int>{1, 0, 1, 0}));
  EXPECT_EQ(viewer_.input.band.state, kBandIdle);
}

TEST_F(MarksTest, BandTracksImageSpaceSoScrollingKeepsItsAnchor) {
  viewer_.settings.mouseMode = kMouseWhiteout;
  viewer_.view.mainView.width = 400;  // 200 percent
  viewer_.view.mainView.height = 200;
  viewer_.view.scroll = {100, 50};
  BeginBand(&viewer_, {10, 10});  // view (110, 60): image (55, 30)
  viewer_.view.scroll = {140, 50};
  TrackBand(&viewer_, {10, 30}, 150, 80);  // view (150, 80): image (75, 40)
  ASSERT_EQ(viewer_.input.band.state, kBandDragging);
  EndBand(&viewer_, 0);
  ASSERT_TRUE(HasWhiteouts(&viewer_, 0));
  IntRect mark = FindMarkup(&viewer_, 0)->whiteouts[0].rect;
  EXPECT_EQ(mark.left, 55);
  EXPECT_EQ(mark.top, 30);
  EXPECT_EQ(mark.right, 75);
  EXPECT_EQ(mark.bottom, 40);
}

TEST_F(MarksTest, SmallMovesStayAClickAndAClickInCropModeClearsTheCrop) {
  viewer_.settings.mouseMode = kMouseCrop;
  SetCrop(&viewer_, 0, {1, 1, 50, 50}, 0);
  BeginBand(&viewer_, {20, 20});
  TrackBand(&viewer_, {23, 17}, 150, 80);
  EXPECT_EQ(viewer_.input.band.state, kBandPressed);
  EXPECT_TRUE(record_.bandDrawings.empty());
  EndBand(&viewer_, 0);
  EXPECT_FALSE(FindMarkup(&viewer_, 0)->cropActive);
  ASSERT_EQ(record_.crops.size(), 1u);
  EXPECT_EQ(record_.crops[0].state, 0);
}

TEST_F(MarksTest, CropDragSetsTheCropWithAnEventAndCancelLeavesNothing) {
  viewer_.settings.mouseMode = kMouseCrop;
  Drag({10, 10}, {40, 40}, {60, 30}, 1);
  EXPECT_EQ(FindMarkup(&viewer_, 0), nullptr);
  EXPECT_TRUE(record_.crops.empty());
  Drag({60, 30}, {40, 40}, {10, 10});
  ASSERT_EQ(record_.crops.size(), 1u);
  EXPECT_EQ(record_.crops[0].state, 1);
  EXPECT_EQ(record_.crops[0].left, 10);
  EXPECT_EQ(record_.crops[0].width, 51);
  EXPECT_EQ(record_.crops[0].height, 21);
}

TEST_F(MarksTest, DraggingPastTheWindowEdgeScrollsOneLineThatWay) {
  viewer_.settings.mouseMode = kMouseWhiteout;
  BeginBand(&viewer_, {50, 40});
  TrackBand(&viewer_, {160, 90}, 150, 80);
  TrackBand(&viewer_, {-5, -1}, 150, 80);
  TrackBand(&viewer_, {149, 79}, 150, 80);
  EndBand(&viewer_, 1);
  std::vector<std::pair<int, int>> expected = {{1, 1}, {0, 1}, {1, 0}, {0, 0}};
  EXPECT_EQ(record_.scrolls, expected);
}

TEST_F(MarksTest, MainViewPaintsOffWhiteMarksAndABlackMaskAtTheScrollPosition) {
  EXPECT_TRUE(MarksToPaint(&viewer_, &viewer_.view.mainView, 0, &viewer_.view.pageInfo).empty());
  AddWhiteout(&viewer_, {10, 20, 19, 29});
  SetCrop(&viewer_, 0, {50, 20, 149, 79}, 0);
  viewer_.view.scroll = {5, 7};
  std::vector<MarkFill> fills = MarksToPaint(&viewer_, &viewer_.view.mainView, 0, &viewer_.view.pageInfo);
  ASSERT_EQ(fills.size(), 5u);
  EXPECT_EQ(fills[0].left, 5);
  EXPECT_EQ(fills[0].top, 13);
  EXPECT_EQ(fills[0].right, 15);
  EXPECT_EQ(fills[0].bottom, 23);
  EXPECT_EQ(fills[0].colour, kMainWhiteoutColour);
  int64_t masked = 0;
  for (size_t i = 1; i < fills.size(); ++i) {
    EXPECT_EQ(fills[i].colour, kBlackColour);
    masked += int64_t{fills[i].right - fills[i].left} * (fills[i].bottom - fills[i].top);
  }
  EXPECT_EQ(masked, 200 * 100 - 100 * 60);  // everything outside the crop, once
  EXPECT_TRUE(MarksToPaint(&viewer_, &viewer_.view.mainView, 7, &viewer_.view.pageInfo).empty());
}

TEST_F(MarksTest, PrintedPagesMaskInWhiteAndBurnedCopiesGetOnlyWhiteouts) {
  AddWhiteout(&viewer_, {0, 0, 99, 49});
  SetCrop(&viewer_, 0, {0, 0, 99, 99}, 0);  // the left half
  ViewState printed;
  printed.kind = kViewPrinted;
  printed.width = 400;
  printed.height = 200;
  printed.originX = 1000;
  printed.originY = 2000;
  std::vector<MarkFill> fills = MarksToPaint(&viewer_, &printed, 0, &viewer_.view.pageInfo);
  ASSERT_EQ(fills.size(), 2u);  // the white-out and the band right of the crop
  EXPECT_EQ(fills[0].left, 1000);
  EXPECT_EQ(fills[0].right, 1200);
  EXPECT_EQ(fills[0].bottom, 2100);
  EXPECT_EQ(fills[0].colour, kWhiteColour);
  EXPECT_EQ(fills[1].left, 1200);
  EXPECT_EQ(fills[1].right, 1400);
  EXPECT_EQ(fills[1].colour, kWhiteColour);

  ViewState copy;
  copy.kind = kViewBurnedCopy;
  copy.width = 200;
  copy.height = 100;
  copy.originX = 50;
  std::vector<MarkFill> burned = MarksToPaint(&viewer_, &copy, 0, &viewer_.view.pageInfo);
  ASSERT_EQ(burned.size(), 1u);
  EXPECT_EQ(burned[0].left, 0);
  EXPECT_EQ(burned[0].right, 100);
  EXPECT_EQ(burned[0].colour, kWhiteColour);
}

// Printing, the merged page image and upload paint pages that are not on
// screen: their marks are mapped with that page's size, not the shown page's.
TEST_F(MarksTest, MarksOfAnotherPageAreMappedWithItsOwnSize) {
  PageMarkup* other = MarkupOf(&viewer_, 2, 1);
  ASSERT_NE(other, nullptr);
  viewer_.analysis.marksPresent = 1;
  other->whiteouts.push_back({kMarkWhiteout, {0, 0, 199, 399}});
  ASSERT_TRUE(SetCropByPage(&viewer_, 1, 2, 200, 400, 200, 400));  // the bottom right quarter
  PageInfo info;
  info.width = 400;
  info.height = 800;
  info.valid = 1;
  ViewState printed;
  printed.kind = kViewPrinted;
  printed.width = 400;
  printed.height = 800;
  std::vector<MarkFill> fills = MarksToPaint(&viewer_, &printed, 2, &info);
  ASSERT_FALSE(fills.empty());
  EXPECT_EQ(fills[0].left, 0);
  EXPECT_EQ(fills[0].top, 0);
  EXPECT_EQ(fills[0].right, 200);
  EXPECT_EQ(fills[0].bottom, 400);
  int64_t masked = 0;
  for (size_t i = 1; i < fills.size(); ++i) {
    masked += int64_t{fills[i].right - fills[i].left} * (fills[i].bottom - fills[i].top);
  }
  EXPECT_EQ(masked, 400 * 800 - 200 * 400);
}

}  // namespace
