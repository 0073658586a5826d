#include "output/print_page.h"

#include <gtest/gtest.h>

#include <cstring>
#include <vector>

#include "analysis/page_markup.h"
#include "tiff_fixture.h"
#include "viewer/viewer_instance.h"

namespace {

// Page n is 8 bits, 4 x 2 pixels, every pixel 10 * n except the top-left one, which is 255.
TestPage NumberedGreyPage(int n) {
  TestPage page;
  page.width = 4;
  page.height = 2;
  page.rows.assign(1,
                   {std::vector<uint8_t>(4, static_cast<uint8_t>(10 * n)), std::vector<uint8_t>(4, 10 * n)});
  page.rows[0][0][0] = 255;
  return page;
}

class PrintPageTest : public ::testing::Test {
 protected:
  void SetUp() override {
    bytes_ = WriteTestTiffPages({NumberedGreyPage(1), NumberedGreyPage(2)});
    viewer_.download.document = DocumentOver(bytes_);
    viewer_.download.hasPages = 1;
    ASSERT_TRUE(LoadPage(&viewer_.download.document, 0, nullptr, &viewer_.view.pageInfo,
                         &viewer_.view.pageBitmap, &viewer_.logs.pageLog));
    viewer_.view.pageInfo.valid = 1;
  }
  void TearDown() override { ReleaseBitmaps(&viewer_.view); }

  std::vector<uint8_t> bytes_;
  ViewerInstance viewer_;
  MessageLog log_;
};

TEST_F(PrintPageTest, TheCurrentPageIsBorrowedAndOthersAreDecodedAsTheViewerShowsThem) {
  viewer_.settings.orientation = kOrientRight;
  viewer_.settings.negative = 1;
  PrintedPage current, other;
  ASSERT_TRUE(LoadPrintedPage(&viewer_, 0, &log_, &current));
  EXPECT_EQ(current.bitmap, &viewer_.view.pageBitmap);
  ASSERT_TRUE(LoadPrintedPage(&viewer_, 1, &log_, &other));
  EXPECT_EQ(other.bitmap, &other.own);
  EXPECT_EQ(other.directory, 1);
  // Turned a quarter clockwise: 2 x 4, the bright corner now at the top right;
  // and inverted, so it is dark on a light page.
  const Picture picture = PictureOf(*other.bitmap);
  ASSERT_EQ(picture.width, 2u);
  ASSERT_EQ(picture.height, 4u);
  EXPECT_EQ(picture.rgb[1], 0x000000u);
  EXPECT_EQ(picture.rgb[0], 0xEBEBEBu);
}

TEST_F(PrintPageTest, PagesThatCannotBeHadAreNotPrinted) {
  PrintedPage beyond, undecoded;
  EXPECT_FALSE(LoadPrintedPage(&viewer_, 2, &log_, &beyond));
  viewer_.view.pageInfo.valid = 0;
  EXPECT_FALSE(LoadPrintedPage(&viewer_, 0, &log_, &undecoded)) << "the current page is not decoded";
}

TEST_F(PrintPageTest, ASidewaysPrintTurnsACopyNotTheViewersPage) {
  const std::vector<uint8_t> before(viewer_.view.pageBitmap.block,
                                    viewer_.view.pageBitmap.block + viewer_.view.pageBitmap.blockSize);
  PrintedPage page;
  ASSERT_TRUE(LoadPrintedPage(&viewer_, 0, &log_, &page));
  ASSERT_TRUE(TurnPrintedPage(&page, &log_));
  EXPECT_EQ(page.bitmap, &page.own);
  EXPECT_EQ(HeaderOf(page.bitmap)->width, 2);
  EXPECT_EQ(PictureOf(*page.bitmap).rgb[1], 0xFFFFFFu) << "the bright corner turned to the top right";
  ASSERT_EQ(viewer_.view.pageBitmap.blockSize, before.size());
  EXPECT_EQ(memcmp(viewer_.view.pageBitmap.block, before.data(), before.size()), 0);
}

// A white-out over the page's top-left pixel of page 2 (not the current one),
// printed at 100, 50 in 40 x 20 device pixels, then sideways at 20 x 40.
TEST_F(PrintPageTest, TheOverlayOfAnyPageFollowsThePrintedOrientation) {
  viewer_.analysis.marksPresent = 1;
  MarkupOf(&viewer_, 1, 1)->whiteouts.push_back({kMarkWhiteout, {0, 0, 0, 0}});
  PrintedPage page;
  ASSERT_TRUE(LoadPrintedPage(&viewer_, 1, &log_, &page));
  std::vector<MarkFill> upright = PrintOverlay(&viewer_, page, 100, 50, 40, 20, 0);
  ASSERT_EQ(upright.size(), 1u);
  EXPECT_EQ(upright[0].left, 100);
  EXPECT_EQ(upright[0].top, 50);
  EXPECT_EQ(upright[0].right, 110);
  EXPECT_EQ(upright[0].bottom, 60);
  EXPECT_EQ(upright[0].colour, kWhiteColour);
  std::vector<MarkFill> turned = PrintOverlay(&viewer_, page, 100, 50, 20, 40, 1);
  ASSERT_EQ(turned.size(), 1u);
  EXPECT_EQ(turned[0].left, 110) << "the top-left corner turned to the top right";
  EXPECT_EQ(turned[0].right, 120);
  EXPECT_EQ(turned[0].top, 50);
  EXPECT_TRUE(PrintOverlay(&viewer_, page, 0, 0, 40, 20, 0).size() == 1);
  PrintedPage first;
  ASSERT_TRUE(LoadPrintedPage(&viewer_, 0, &log_, &first));
  EXPECT_TRUE(PrintOverlay(&viewer_, first, 0, 0, 40, 20, 0).empty()) << "page 1 has no marks";
}

}  // namespace
