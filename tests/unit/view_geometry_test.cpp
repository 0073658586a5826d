#include "view/view_geometry.h"

#include <gtest/gtest.h>

namespace {

struct Page : PageInfo {
  Page(uint32_t pageWidth, uint32_t pageHeight) {
    width = pageWidth;
    height = pageHeight;
    valid = 1;
  }
};

ViewState View(int32_t width, int32_t height, int32_t orientation) {
  ViewState view;
  view.width = width;
  view.height = height;
  view.orientation = orientation;
  return view;
}

// A turned view has the page's sides swapped.
ViewState TurnedView(const PageInfo& page, int32_t orientation, int32_t scale) {
  bool odd = orientation % 2 == 1;
  return View(static_cast<int32_t>(odd ? page.height : page.width) * scale,
              static_cast<int32_t>(odd ? page.width : page.height) * scale, orientation);
}

TEST(ScaleTables, PercentOfEachIndexAndClampedIndexes) {
  const int32_t scale[] = {1600, 800, 400, 300, 200, 100, 70, 50, 33, 25, 17, 10, 5};
  for (int32_t i = 0; i < kScaleCount; ++i) EXPECT_EQ(ScalePercent(i), scale[i]) << i;
  const int32_t zoom[] = {1600, 800, 400, 300, 200, 100, 90, 80, 70, 60, 50, 40, 30, 20, 10};
  for (int32_t i = 0; i < kZoomCount; ++i) EXPECT_EQ(ZoomPercent(i), zoom[i]) << i;
  EXPECT_EQ(ScalePercent(-1), 1600);
  EXPECT_EQ(ScalePercent(13), 5);
  EXPECT_EQ(ZoomPercent(99), 10);
}

TEST(ScaleTables, NearestIndexWithTiesGoingToTheSmallerFactor) {
  EXPECT_EQ(ScaleIndex(100), 5);
  EXPECT_EQ(ZoomIndex(100), 5);
  EXPECT_EQ(ScaleIndex(60), 7);    // 70 and 50 both 10 away
  EXPECT_EQ(ScaleIndex(75), 6);    // 70
  EXPECT_EQ(ScaleIndex(5000), 0);  // 1600
  EXPECT_EQ(ScaleIndex(150), 5);   // 200 and 100 both 50 away
  EXPECT_EQ(ScaleIndex(0), 12);
  EXPECT_EQ(ScaleIndex(-40), 12);
  EXPECT_EQ(ZoomIndex(95), 6);  // 100 and 90 tie
  EXPECT_EQ(ZoomIndex(64), 9);  // 60
  EXPECT_EQ(TableIndex(kScaleFactors, 1, 500), 0);
}

TEST(ImageToView, EachOrientationPlacesThePageTopEdgeWhereItSays) {
  Page page(100, 50);
  struct Case {
    int32_t orientation;
    IntPoint expected;
  } cases[] = {
      {kOrientTop, {20, 10}}, {kOrientRight, {90, 20}}, {kOrientBottom, {180, 90}}, {kOrientLeft, {10, 180}}};
  for (const Case& c : cases) {
    ViewState view = TurnedView(page, c.orientation, 2);
    IntPoint p = ImageToView(&view, &page, {10, 5});
    EXPECT_EQ(p.x, c.expected.x) << c.orientation;
    EXPECT_EQ(p.y, c.expected.y) << c.orientation;
  }
  ViewState unknown = View(200, 100, 7);  // treated as upright
  IntPoint p = ImageToView(&unknown, &page, {10, 5});
  EXPECT_EQ(p.x, 20);
  EXPECT_EQ(p.y, 10);
}

TEST(ImageToView, PointsOutsideAreClampedIntoTheView) {
  Page page(100, 50);
  for (int32_t o = 0; o < 4; ++o) {
    ViewState view = TurnedView(page, o, 1);
    for (RealPoint outside : {RealPoint{-50, -50}, RealPoint{100, 50}, RealPoint{1e12, -1e12}}) {
      IntPoint p = ImageToView(&view, &page, outside);
      EXPECT_GE(p.x, 0);
      EXPECT_GE(p.y, 0);
      EXPECT_LE(p.x, view.width - 1);
      EXPECT_LE(p.y, view.height - 1);
    }
  }
  ViewState view = View(100, 50, kOrientTop);
  IntPoint corner = ImageToView(&view, &page, {100, 50});
  EXPECT_EQ(corner.x, 99);
  EXPECT_EQ(corner.y, 49);
}

TEST(ViewToImage, PixelCentresComeBackToTheirImagePixelInEveryOrientation) {
  Page page(7, 4);
  for (int32_t o = 0; o < 4; ++o) {
    for (int32_t scale : {1, 3}) {
      ViewState view = TurnedView(page, o, scale);
      for (int32_t y = 0; y < 4; ++y) {
        for (int32_t x = 0; x < 7; ++x) {
          IntPoint v = ImageToView(&view, &page, {x + 0.5, y + 0.5});
          IntPoint back = ViewToImagePixel(&view, &page, v, 1);
          EXPECT_EQ(back.x, x) << "orientation " << o << " scale " << scale;
          EXPECT_EQ(back.y, y) << "orientation " << o << " scale " << scale;
        }
      }
    }
  }
}

TEST(ViewToImage, ClampKeepsPointsInsideThePageAndWithoutItTheyLeave) {
  Page page(100, 50);
  ViewState view = View(200, 100, kOrientTop);
  RealPoint low = ViewToImage(&view, &page, {-20, -20}, 1);
  EXPECT_EQ(low.x, 0);
  EXPECT_EQ(low.y, 0);
  RealPoint high = ViewToImage(&view, &page, {500, 500}, 1);
  EXPECT_DOUBLE_EQ(high.x, 100 - 0.000001);
  EXPECT_DOUBLE_EQ(high.y, 50 - 0.000001);
  IntPoint pixel = ViewToImagePixel(&view, &page, {500, 500}, 1);
  EXPECT_EQ(pixel.x, 99);
  EXPECT_EQ(pixel.y, 49);
  IntPoint outside = ViewToImagePixel(&view, &page, {-20, 500}, 0);
  EXPECT_EQ(outside.x, -10);
  EXPECT_EQ(outside.y, 250);
}

TEST(ViewToImage, OnePixelPageMapsEveryViewPointToItsOnlyPixel) {
  Page page(1, 1);
  for (int32_t o = 0; o < 4; ++o) {
    ViewState view = View(10, 10, o);
    for (int32_t y = -3; y < 13; ++y) {
      for (int32_t x = -3; x < 13; ++x) {
        IntPoint p = ViewToImagePixel(&view, &page, {x, y}, 1);
        ASSERT_EQ(p.x, 0) << o << " " << x << "," << y;
        ASSERT_EQ(p.y, 0) << o << " " << x << "," << y;
      }
    }
  }
}

TEST(ImageRectToView, CoversExactlyTheRectanglesPixelsInATurnedView) {
  Page page(4, 2);
  ViewState right = TurnedView(page, kOrientRight, 1);  // 2 x 4
  IntRect topLeft = ImageRectToView(&right, &page, {0, 0, 0, 0});
  EXPECT_EQ(topLeft.left, 1);
  EXPECT_EQ(topLeft.right, 1);
  EXPECT_EQ(topLeft.top, 0);
  EXPECT_EQ(topLeft.bottom, 0);
  ViewState upside = TurnedView(page, kOrientBottom, 10);  // 40 x 20
  IntRect r = ImageRectToView(&upside, &page, {1, 0, 2, 0});
  EXPECT_EQ(r.left, 10);
  EXPECT_EQ(r.right, 29);
  EXPECT_EQ(r.top, 10);
  EXPECT_EQ(r.bottom, 19);
  IntRect band = ImagePointsToViewRect(&upside, &page, {2, 0}, {1, 0});
  EXPECT_EQ(band.left, r.left);
  EXPECT_EQ(band.bottom, r.bottom);
}

class AspectSizeTest : public ::testing::Test {
 protected:
  void SetUp() override { ASSERT_TRUE(CreatePageBitmap(nullptr, &log_, &bitmap_, 100, 80, 1, 1)); }
  void TearDown() override { ReleasePageBitmap(&bitmap_); }
  void Densities(int32_t x, int32_t y) {
    HeaderOf(&bitmap_)->xPixelsPerMetre = x;
    HeaderOf(&bitmap_)->yPixelsPerMetre = y;
  }
  MessageLog log_;
  PageBitmap bitmap_;
};

TEST_F(AspectSizeTest, DensityRatioUpToTenIsCorrectedBeyondItNot) {
  Densities(72, 720);
  AspectResult tenfold = AspectSize(&bitmap_, 1, 1);
  EXPECT_EQ(tenfold.width, 1000);
  EXPECT_EQ(tenfold.height, 80);
  EXPECT_EQ(tenfold.corrected, 1);
  Densities(721, 72);
  AspectResult beyond = AspectSize(&bitmap_, 1, 1);
  EXPECT_EQ(beyond.width, 100);
  EXPECT_EQ(beyond.height, 80);
  EXPECT_EQ(beyond.corrected, 0);
  Densities(200, 100);
  AspectResult taller = AspectSize(&bitmap_, 0.5, 1);
  EXPECT_EQ(taller.width, 50);
  EXPECT_EQ(taller.height, 80);
  EXPECT_EQ(taller.corrected, 1);
  AspectResult off = AspectSize(&bitmap_, 1, 0);
  EXPECT_EQ(off.height, 80);
  EXPECT_EQ(off.corrected, 0);
}

TEST_F(AspectSizeTest, SizesRoundAndNeverFallBelowOnePixel) {
  Densities(0, 300);
  AspectResult third = AspectSize(&bitmap_, 0.33, 1);
  EXPECT_EQ(third.width, 33);   // 33.0 rounds down
  EXPECT_EQ(third.height, 26);  // 26.4
  EXPECT_EQ(third.corrected, 0);
  AspectResult tiny = AspectSize(&bitmap_, 0.0001, 1);
  EXPECT_EQ(tiny.width, 1);
  EXPECT_EQ(tiny.height, 1);
  AspectResult none = AspectSize(nullptr, 2, 1);
  EXPECT_EQ(none.width, 1);
}

TEST(FitSize, TheTighterSideLimitsAndTheResultStaysInside) {
  IntSize wideInTall = FitSize(300, 600, 800, 400);
  EXPECT_EQ(wideInTall.width, 300);
  EXPECT_EQ(wideInTall.height, 150);
  IntSize tallInWide = FitSize(400, 300, 300, 1200);
  EXPECT_EQ(tallInWide.width, 75);
  EXPECT_EQ(tallInWide.height, 300);
  IntSize same = FitSize(400, 300, 800, 600);  // equal ratios: the height limits
  EXPECT_EQ(same.width, 400);
  EXPECT_EQ(same.height, 300);
  IntSize sliver = FitSize(400, 300, 1, 100000);
  EXPECT_EQ(sliver.width, 1);
  IntSize unknown = FitSize(50, 40, 0, -3);  // a missing picture counts as 1 x 1
  EXPECT_EQ(unknown.width, 40);
  EXPECT_EQ(unknown.height, 40);
}

}  // namespace
