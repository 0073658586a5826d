// The rules behind the image window's keys, wheel, scroll bars, mouse
// buttons and cursors.
#include "viewer/window_input.h"

#include <gtest/gtest.h>

#include "viewer/page_view.h"
#include "viewer/viewer_instance.h"

namespace {

TEST(ScrollPosition, StepsAndEdgesStayInsideTheView) {
  struct Case {
    int32_t position, client, view, code, thumb, expected;
  } cases[] = {
      {100, 200, 1000, kScrollLineForward, 0, 130},
      {100, 200, 1000, kScrollLineBack, 0, 70},
      {10, 200, 1000, kScrollLineBack, 0, 0},
      {100, 200, 1000, kScrollPageForward, 0, 290},
      {100, 200, 1000, kScrollPageBack, 0, 0},
      {100, 8, 1000, kScrollPageForward, 0, 110},  // a tiny window still moves
      {100, 200, 1000, kScrollToEnd, 0, 800},
      {800, 200, 1000, kScrollPageForward, 0, 800},  // at the bottom nothing changes
      {500, 200, 1000, kScrollToStart, 0, 0},
      {0, 200, 1000, kScrollThumbTrack, 456, 456},
      {0, 200, 1000, kScrollThumbPosition, 5000, 800},
      {300, 200, 1000, 8, 0, 300},
      {300, 200, 150, kScrollLineForward, 0, 0},  // the view fits: always 0
  };
  for (const Case& c : cases) {
    EXPECT_EQ(NextScrollPosition(c.position, c.client, c.view, c.code, c.thumb), c.expected)
        << "from " << c.position << " code " << c.code;
  }
}

TEST(WheelLines, NotchesBecomeThreeLinesAndHalfNotchesCarryOver) {
  int32_t accumulator = 0;
  EXPECT_EQ(WheelLines(&accumulator, 60), -2);
  EXPECT_EQ(accumulator, -20);
  EXPECT_EQ(WheelLines(&accumulator, 60), -1);
  EXPECT_EQ(accumulator, 0);
  EXPECT_EQ(WheelLines(&accumulator, 120), -3);
  accumulator = 0;
  EXPECT_EQ(WheelLines(&accumulator, -120), 3);
  EXPECT_EQ(WheelLines(&accumulator, -10), 0);
}

TEST(WheelScaleIndex, DirectionSettingAndTableEnds) {
  int32_t accumulator = 0;
  EXPECT_EQ(WheelScaleIndex(&accumulator, 120, 1, 5), 4);  // up enlarges
  accumulator = 0;
  EXPECT_EQ(WheelScaleIndex(&accumulator, 120, 0, 5), 6);  // reversed by the setting
  accumulator = 0;
  EXPECT_EQ(WheelScaleIndex(&accumulator, 120, 1, 0), 0);
  accumulator = 0;
  EXPECT_EQ(WheelScaleIndex(&accumulator, -360, 1, 11), 12);
  accumulator = 0;
  EXPECT_EQ(WheelScaleIndex(&accumulator, 30, 1, 5), 5);  // less than half a notch
  EXPECT_EQ(accumulator, -30);
}

TEST(DecideKey, CtrlTurnsPageKeysIntoPageStepsButNotArrows) {
  KeyAction down = DecideKey(kKeyPageDown, 0);
  EXPECT_TRUE(down.handled);
  EXPECT_EQ(down.step, 0);
  EXPECT_EQ(down.vertical, 1);
  EXPECT_EQ(down.code, kScrollPageForward);
  EXPECT_EQ(DecideKey(kKeyPageDown, 1).step, kStepNext);
  EXPECT_EQ(DecideKey(kKeyPageUp, 1).step, kStepPrevious);
  EXPECT_EQ(DecideKey(kKeyHome, 1).step, kStepFirst);
  EXPECT_EQ(DecideKey(kKeyEnd, 1).step, kStepLast);
  EXPECT_EQ(DecideKey(kKeyEnd, 0).code, kScrollToEnd);
  KeyAction left = DecideKey(kKeyLeft, 1);
  EXPECT_EQ(left.step, 0);
  EXPECT_EQ(left.vertical, 0);
  EXPECT_EQ(left.code, kScrollLineBack);
  EXPECT_FALSE(DecideKey('A', 0).handled);
}

class MouseRules : public ::testing::Test {
 protected:
  void ShowPage() {
    viewer.download.loadState = kLoadDone;
    viewer.view.pageInfo.valid = 1;
  }
  ViewerInstance viewer;
};

TEST_F(MouseRules, ActionsFollowModeKeysAndWhatIsShown) {
  viewer.settings.mouseMode = kMouseNone;
  EXPECT_EQ(DecideMouseAction(&viewer, 0, 1), kActionNothing);  // Shift on an empty window
  ShowPage();
  EXPECT_EQ(DecideMouseAction(&viewer, 0, 1), kActionMagnifier);
  EXPECT_EQ(DecideMouseAction(&viewer, 0, 0), kActionNothing);
  EXPECT_EQ(DecideMouseAction(&viewer, 1, 1), kActionPan);  // Ctrl before Shift
  viewer.settings.mouseMode = kMousePan;
  viewer.settings.sizeMode = kSizeBestFit;
  EXPECT_EQ(DecideMouseAction(&viewer, 0, 0), kActionMagnifier);
  viewer.settings.sizeMode = kSizeFixed;
  EXPECT_EQ(DecideMouseAction(&viewer, 0, 0), kActionPan);
  viewer.settings.mouseMode = kMouseWhiteout;
  EXPECT_EQ(DecideMouseAction(&viewer, 0, 0), kActionNothing);
  viewer.input.whiteoutAllowed = 1;
  EXPECT_EQ(DecideMouseAction(&viewer, 0, 0), kActionRectangle);
  viewer.params.hasLink = 1;
  EXPECT_EQ(DecideMouseAction(&viewer, 0, 0), kActionLink);
}

TEST_F(MouseRules, CursorsFollowModeAndRestrictions) {
  viewer.settings.mouseMode = kMouseZoom;
  EXPECT_EQ(ChooseCursor(&viewer), kCursorArrow);  // nothing shown yet
  ShowPage();
  EXPECT_EQ(ChooseCursor(&viewer), kCursorMagnify);
  viewer.settings.mouseMode = kMousePan;
  EXPECT_EQ(ChooseCursor(&viewer), kCursorPanOpen);
  viewer.input.panning = 1;
  EXPECT_EQ(ChooseCursor(&viewer), kCursorPanHeld);
  viewer.input.panning = 0;
  viewer.settings.mouseMode = kMouseCrop;
  EXPECT_EQ(ChooseCursor(&viewer), kCursorCross);
  viewer.settings.mouseMode = kMouseDraw;
  EXPECT_EQ(ChooseCursor(&viewer), kCursorPencil);
  viewer.access.restrictions |= kRestrictMarks;
  EXPECT_EQ(ChooseCursor(&viewer), kCursorArrow);
  viewer.params.hasLink = 1;
  EXPECT_EQ(ChooseCursor(&viewer), kCursorLink);
}

}  // namespace
