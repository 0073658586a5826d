// Building a view: which picture each view draws and the display bitmap it
// keeps for itself.
#include "viewer/build_view.h"

#include <gtest/gtest.h>

#include "document/scale_for_display.h"
#include "tiff_fixture.h"
#include "viewer/library.h"

namespace {

class BuildViewTest : public ::testing::Test {
 protected:
  void SetUp() override {
    StartLibrary(kLibraryPlugin, nullptr);
    TestPage page;
    page.width = 60;
    page.height = 40;
    page.rows.assign(1, {});
    for (uint32_t y = 0; y < page.height; ++y) {
      std::vector<uint8_t> row(page.width);
      for (uint32_t x = 0; x < page.width; ++x) row[x] = static_cast<uint8_t>(x * 5 + y * 3);
      page.rows[0].push_back(row);
    }
    ASSERT_TRUE(LoadFirstPage(WriteTestTiff(page), &viewer.pageInfo, &viewer.pageBitmap, &viewer.pageLog));
    viewer.pageInfo.valid = 1;
    viewer.raster.resample = 1;
    InitView(&viewer.mainView, kViewMain);
    InitView(&viewer.magnifierView, kViewMagnifier);
  }
  void TearDown() override {
    ReleaseViewBitmap(&viewer.mainView);
    ReleaseViewBitmap(&viewer.magnifierView);
    ReleasePageBitmap(&viewer.pageBitmap);
    StopLibrary();
  }
  ViewerInstance viewer;
};

TEST_F(BuildViewTest, SameSizeDrawsThePageItself) {
  viewer.sizeMode = kSizeFixed;
  viewer.targetWidth = 60;
  viewer.targetHeight = 40;
  ASSERT_TRUE(BuildView(&viewer, &viewer.mainView));
  EXPECT_EQ(viewer.mainView.renderMethod, kRenderPage);
  EXPECT_EQ(viewer.mainView.displayBitmap.block, nullptr);
  EXPECT_EQ(viewer.mainView.width, 60);
}

TEST_F(BuildViewTest, SmallerViewKeepsTheScaledDisplayBitmap) {
  viewer.sizeMode = kSizeBestFit;
  viewer.targetWidth = 30;
  viewer.targetHeight = 20;
  ASSERT_TRUE(BuildView(&viewer, &viewer.mainView));
  ASSERT_EQ(viewer.mainView.renderMethod, kRenderOwnBitmap);
  PageBitmap expected;
  MessageLog log;
  ASSERT_TRUE(ScaleForDisplay(&viewer.raster, &log, &viewer.pageBitmap, &expected, 30, 20, 0));
  // Pixels through the colour table: row padding is not part of the picture.
  Picture built = PictureOf(viewer.mainView.displayBitmap), wanted = PictureOf(expected);
  ReleasePageBitmap(&expected);
  EXPECT_EQ(built.width, wanted.width);
  EXPECT_EQ(built.rgb, wanted.rgb);
  EXPECT_EQ(viewer.mainView.width, 30);
  EXPECT_EQ(viewer.mainView.height, 20);
}

TEST_F(BuildViewTest, EnlargementsAreLeftToTheDeviceAndRebuildingReleasesTheOldBitmap) {
  viewer.sizeMode = kSizeFixed;
  viewer.targetWidth = 30;
  viewer.targetHeight = 20;
  ASSERT_TRUE(BuildView(&viewer, &viewer.mainView));
  ASSERT_NE(viewer.mainView.displayBitmap.block, nullptr);
  viewer.scaleIndex = ScaleIndex(200);
  viewer.targetWidth = 120;
  viewer.targetHeight = 80;
  ASSERT_TRUE(BuildView(&viewer, &viewer.mainView));
  EXPECT_EQ(viewer.mainView.renderMethod, kRenderStretched);
  EXPECT_EQ(viewer.mainView.displayBitmap.block, nullptr);
  EXPECT_EQ(viewer.mainView.width, 120);
}

TEST_F(BuildViewTest, MagnifierTakesItsZoomSizeAndNothingIsBuiltWithoutAPage) {
  viewer.zoomIndex = ZoomIndex(50);
  ASSERT_TRUE(BuildView(&viewer, &viewer.magnifierView));
  EXPECT_EQ(viewer.magnifierView.renderMethod, kRenderOwnBitmap);
  EXPECT_EQ(viewer.magnifierView.width, 30);
  EXPECT_EQ(viewer.magnifierView.height, 20);
  viewer.pageInfo.valid = 0;
  EXPECT_FALSE(BuildView(&viewer, &viewer.magnifierView));
  EXPECT_EQ(viewer.magnifierView.renderMethod, kRenderPage);
}

}  // namespace
