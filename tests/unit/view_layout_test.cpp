#include "view/view_layout.h"

#include <gtest/gtest.h>

namespace {

constexpr int32_t kBar = 17;

MainLayoutInput Layout(int32_t sizeMode, int32_t pageWidth, int32_t pageHeight, int32_t scaleIndex = 5) {
  MainLayoutInput in;
  in.clientWidth = 400;
  in.clientHeight = 300;
  in.verticalBarWidth = kBar;
  in.horizontalBarHeight = kBar;
  in.sizeMode = sizeMode;
  in.scaleIndex = scaleIndex;
  in.defaultScaleIndex = 5;
  in.pageWidth = pageWidth;
  in.pageHeight = pageHeight;
  return in;
}

struct Expected {
  int32_t width, height, vertical, horizontal;
};

void ExpectLayout(const MainLayout& got, Expected want, const char* what) {
  EXPECT_EQ(got.targetWidth, want.width) << what;
  EXPECT_EQ(got.targetHeight, want.height) << what;
  EXPECT_EQ(got.verticalBar, want.vertical) << what;
  EXPECT_EQ(got.horizontalBar, want.horizontal) << what;
  EXPECT_EQ(got.clientWidth, want.vertical ? 400 - kBar : 400) << what;
  EXPECT_EQ(got.clientHeight, want.horizontal ? 300 - kBar : 300) << what;
}

TEST(MainLayout, FixedScaleBarsAtTheClientBoundaries) {
  ExpectLayout(DecideMainLayout(Layout(kSizeFixed, 400, 300)), {400, 300, 0, 0}, "exactly the client");
  ExpectLayout(DecideMainLayout(Layout(kSizeFixed, 400, 301)), {400, 301, 1, 1}, "one taller, full width");
  ExpectLayout(DecideMainLayout(Layout(kSizeFixed, 383, 301)), {383, 301, 1, 0},
               "one taller, room for the bar");
  ExpectLayout(DecideMainLayout(Layout(kSizeFixed, 401, 283)), {401, 283, 0, 1},
               "one wider, room for the bar");
  ExpectLayout(DecideMainLayout(Layout(kSizeFixed, 401, 284)), {401, 284, 1, 1}, "one wider, no room");
}

TEST(MainLayout, FixedScaleAppliesTheFactorOfTheIndex) {
  ExpectLayout(DecideMainLayout(Layout(kSizeFixed, 150, 101, 4)), {300, 202, 0, 0}, "200 percent");
  ExpectLayout(DecideMainLayout(Layout(kSizeFixed, 1000, 1000, 8)), {330, 330, 1, 0}, "33 percent");
  ExpectLayout(DecideMainLayout(Layout(kSizeFixed, 10, 10, 99)), {1, 1, 0, 0}, "index clamped to 5 percent");
}

TEST(MainLayout, FitWidthNeedsAVerticalBarOnlyWhenThePageIsTall) {
  MainLayoutInput wideInTall = Layout(kSizeFitWidth, 800, 400);
  wideInTall.clientWidth = 300;
  wideInTall.clientHeight = 600;
  MainLayout got = DecideMainLayout(wideInTall);
  EXPECT_EQ(got.targetWidth, 300);
  EXPECT_EQ(got.targetHeight, 150);
  EXPECT_EQ(got.verticalBar, 0);
  // The fitted width equals the width left beside a bar: still no bar.
  ExpectLayout(DecideMainLayout(Layout(kSizeFitWidth, 383, 300)), {383, 300, 0, 0}, "cw - vbar == fw");
  ExpectLayout(DecideMainLayout(Layout(kSizeFitWidth, 382, 300)), {383, 301, 1, 0}, "cw - vbar > fw");
  ExpectLayout(DecideMainLayout(Layout(kSizeFitWidth, 300, 1200)), {383, 1532, 1, 0}, "tall page");
}

TEST(MainLayout, FitHeightNeedsAHorizontalBarOnlyWhenThePageIsWide) {
  ExpectLayout(DecideMainLayout(Layout(kSizeFitHeight, 400, 283)), {400, 283, 0, 0}, "ch - hbar == fh");
  ExpectLayout(DecideMainLayout(Layout(kSizeFitHeight, 400, 282)), {401, 283, 0, 1}, "ch - hbar > fh");
}

TEST(MainLayout, BestFitNeverScrollsAndUnknownModesGetAPixel) {
  ExpectLayout(DecideMainLayout(Layout(kSizeBestFit, 300, 1200)), {75, 300, 0, 0}, "best fit");
  ExpectLayout(DecideMainLayout(Layout(9, 300, 1200)), {1, 1, 0, 0}, "unknown mode");
  MainLayoutInput empty = Layout(kSizeBestFit, 0, 0);
  empty.clientWidth = 0;
  empty.clientHeight = -5;
  MainLayout got = DecideMainLayout(empty);
  EXPECT_EQ(got.targetWidth, 1);
  EXPECT_EQ(got.clientHeight, 1);
}

TEST(PlaceScroll, KeepsTheRelativePlaceAndStaysInsideTheView) {
  MainLayout layout;
  layout.clientWidth = 100;
  layout.clientHeight = 50;
  IntPoint kept = PlaceScroll(1000, 500, layout, {0, 0}, 1, {0.25, 0.5});
  EXPECT_EQ(kept.x, 250);
  EXPECT_EQ(kept.y, 250);
  IntPoint limited = PlaceScroll(1000, 500, layout, {990, 470}, 0, {});
  EXPECT_EQ(limited.x, 900);
  EXPECT_EQ(limited.y, 450);
  IntPoint small = PlaceScroll(80, 40, layout, {30, 30}, 0, {});
  EXPECT_EQ(small.x, 0);
  EXPECT_EQ(small.y, 0);
}

RenderInput Render(int32_t kind, int32_t targetWidth, int32_t targetHeight, int32_t bitmapWidth,
                   int32_t bitmapHeight) {
  RenderInput in;
  in.kind = kind;
  in.targetWidth = targetWidth;
  in.targetHeight = targetHeight;
  in.bitmapWidth = bitmapWidth;
  in.bitmapHeight = bitmapHeight;
  return in;
}

TEST(RenderMethod, EqualSizeDrawsThePageEnlargementsStretchOthersScale) {
  RenderInput same = Render(kViewMain, 200, 100, 200, 100);
  same.sizeMode = kSizeFixed;
  same.scaleIndex = 2;
  EXPECT_EQ(ChooseRenderMethod(same).method, kRenderPage);

  RenderInput enlarged = Render(kViewMain, 400, 200, 200, 100);
  enlarged.sizeMode = kSizeFixed;
  enlarged.scaleIndex = 4;
  RenderChoice stretched = ChooseRenderMethod(enlarged);
  EXPECT_EQ(stretched.method, kRenderStretched);
  EXPECT_EQ(stretched.stretch, 0);
  enlarged.scaleIndex = 7;
  EXPECT_EQ(ChooseRenderMethod(enlarged).method, kRenderOwnBitmap);

  RenderInput smallFit = Render(kViewMain, 383, 300, 100, 80);
  smallFit.sizeMode = kSizeFitWidth;
  RenderChoice fit = ChooseRenderMethod(smallFit);
  EXPECT_EQ(fit.method, kRenderStretched);
  EXPECT_EQ(fit.stretch, 1);
  smallFit.bitmapWidth = 500;  // wider than the target: scaled down
  EXPECT_EQ(ChooseRenderMethod(smallFit).method, kRenderOwnBitmap);
  smallFit.sizeMode = kSizeBestFit;
  smallFit.bitmapWidth = 100;
  EXPECT_EQ(ChooseRenderMethod(smallFit).method, kRenderOwnBitmap);
}

TEST(RenderMethod, MagnifierStretchesOnlyAboveOneToOne) {
  RenderInput zoom = Render(kViewMagnifier, 400, 200, 200, 100);
  zoom.zoomIndex = 4;
  EXPECT_EQ(ChooseRenderMethod(zoom).method, kRenderStretched);
  zoom.zoomIndex = 6;
  EXPECT_EQ(ChooseRenderMethod(zoom).method, kRenderOwnBitmap);
  zoom.zoomIndex = 5;  // 100 percent with a density correction: a bitmap of its own
  EXPECT_EQ(ChooseRenderMethod(zoom).method, kRenderOwnBitmap);
}

}  // namespace
