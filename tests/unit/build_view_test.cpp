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
    ASSERT_TRUE(LoadFirstPage(WriteTestTiff(page), &viewer.view.pageInfo, &viewer.view.pageBitmap,
                              &viewer.logs.pageLog));
    viewer.view.pageInfo.valid = 1;
    viewer.settings.raster.resample = 1;
    InitView(&viewer.view.mainView, kViewMain);
    InitView(&viewer.view.magnifierView, kViewMagnifier);
  }
  void TearDown() override {
    ReleaseViewBitmap(&viewer.view.mainView);
    ReleaseViewBitmap(&viewer.view.magnifierView);
    ReleasePageBitmap(&viewer.view.pageBitmap);
    StopLibrary();
  }
  ViewerInstance viewer;
};

TEST_F(BuildViewTest, SameSizeDrawsThePageItself) {
  viewer.settings.sizeMode = kSizeFixed;
  viewer.view.targetWidth = 60;
  viewer.view.targetHeight = 40;
  ASSERT_TRUE(BuildView(&viewer, &viewer.view.mainView));
  EXPECT_EQ(viewer.view.mainView.renderMethod, kRenderPage);
  EXPECT_EQ(viewer.view.mainView.displayBitmap.block, nullptr);
  EXPECT_EQ(viewer.view.mainView.width, 60);
}

TEST_F(BuildViewTest, SmallerViewKeepsTheScaledDisplayBitmap) {
  viewer.settings.sizeMode = kSizeBestFit;
  viewer.view.targetWidth = 30;
  viewer.view.targetHeight = 20;
  ASSERT_TRUE(BuildView(&viewer, &viewer.view.mainView));
  ASSERT_EQ(viewer.view.mainView.renderMethod, kRenderOwnBitmap);
  PageBitmap expected;
  MessageLog log;
  ASSERT_TRUE(ScaleForDisplay(&viewer.settings.raster, &log, &viewer.view.pageBitmap, &expected, 30, 20, 0));
  // Pixels through the colour table: row padding is not part of the picture.
  Picture built = PictureOf(viewer.view.mainView.displayBitmap), wanted = PictureOf(expected);
  ReleasePageBitmap(&expected);
  EXPECT_EQ(built.width, wanted.width);
  EXPECT_EQ(built.rgb, wanted.rgb);
  EXPECT_EQ(viewer.view.mainView.width, 30);
  EXPECT_EQ(viewer.view.mainView.height, 20);
}

TEST_F(BuildViewTest, EnlargementsAreLeftToTheDeviceAndRebuildingReleasesTheOldBitmap) {
  viewer.settings.sizeMode = kSizeFixed;
  viewer.view.targetWidth = 30;
  viewer.view.targetHeight = 20;
  ASSERT_TRUE(BuildView(&viewer, &viewer.view.mainView));
  ASSERT_NE(viewer.view.mainView.displayBitmap.block, nullptr);
  viewer.settings.scaleIndex = ScaleIndex(200);
  viewer.view.targetWidth = 120;
  viewer.view.targetHeight = 80;
  ASSERT_TRUE(BuildView(&viewer, &viewer.view.mainView));
  EXPECT_EQ(viewer.view.mainView.renderMethod, kRenderStretched);
  EXPECT_EQ(viewer.view.mainView.displayBitmap.block, nullptr);
  EXPECT_EQ(viewer.view.mainView.width, 120);
}

TEST_F(BuildViewTest, MagnifierTakesItsZoomSizeAndNothingIsBuiltWithoutAPage) {
  viewer.settings.zoomIndex = ZoomIndex(50);
  ASSERT_TRUE(BuildView(&viewer, &viewer.view.magnifierView));
  EXPECT_EQ(viewer.view.magnifierView.renderMethod, kRenderOwnBitmap);
  EXPECT_EQ(viewer.view.magnifierView.width, 30);
  EXPECT_EQ(viewer.view.magnifierView.height, 20);
  viewer.view.pageInfo.valid = 0;
  EXPECT_FALSE(BuildView(&viewer, &viewer.view.magnifierView));
  EXPECT_EQ(viewer.view.magnifierView.renderMethod, kRenderPage);
}

}  // namespace
