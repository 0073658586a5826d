#include "analysis/ink_measure.h"

#include <gtest/gtest.h>

#include <cstring>
#include <vector>

#include "analysis/barcode_reader.h"
#include "analysis_pages.h"

namespace {

std::vector<uint32_t> Runs(const PageBitmap* page, int32_t y, int32_t x, int32_t count) {
  LightTest test;
  EXPECT_TRUE(PrepareLightTest(&test, page));
  std::vector<uint32_t> runs(static_cast<size_t>(count) + 1);
  runs.resize(static_cast<size_t>(RowRuns(&test, y, x, count, runs.data())));
  return runs;
}

TEST(RowRuns, AlternateFromLightOnEveryBitCount) {
  for (int32_t bits : {1, 4, 8, 24}) {
    SCOPED_TRACE(bits);
    OwnedPage page;
    ASSERT_TRUE(MakeWhitePage(&page.bitmap, 300, 4, bits));
    // Stored rows are bottom-up: row 1 from the top is stored row 2.
    FillRect(&page.bitmap, 0, 1, 3, 1, true);
    FillRect(&page.bitmap, 70, 1, 130, 1, true);
    FillRect(&page.bitmap, 201, 1, 1, 1, true);
    EXPECT_EQ(Runs(&page.bitmap, 1, 0, 300), (std::vector<uint32_t>{0, 3, 67, 130, 1, 1, 98}));
    // Runs crossing 64-pixel words and starting in the middle of a byte.
    EXPECT_EQ(Runs(&page.bitmap, 1, 5, 260), (std::vector<uint32_t>{65, 130, 1, 1, 63}));
    EXPECT_EQ(Runs(&page.bitmap, 1, 71, 3), (std::vector<uint32_t>{0, 3}));
    EXPECT_EQ(Runs(&page.bitmap, 0, 0, 300), (std::vector<uint32_t>{300}));
    EXPECT_EQ(Runs(&page.bitmap, 2, 299, 1), (std::vector<uint32_t>{1}));
  }
}

TEST(LightTest, LuminanceDecidesForColourPages) {
  struct Case {
    uint8_t red, green, blue;
    bool light;
  };
  // 0.3 R + 0.59 G + 0.11 B >= 128: grey 128 is light, 127.7 is still ink.
  const Case cases[] = {{128, 128, 128, true}, {127, 128, 128, false}, {255, 0, 0, false},
                        {0, 255, 0, true},     {0, 0, 255, false},     {200, 120, 90, true}};
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::Message() << int(c.red) << "," << int(c.green) << "," << int(c.blue));
    OwnedPage rgb;
    ASSERT_TRUE(MakeWhitePage(&rgb.bitmap, 8, 2, 24));
    FillColour(&rgb.bitmap, 0, 0, 8, 2, c.red, c.green, c.blue);
    for (int32_t bits : {4, 8}) {
      OwnedPage indexed;
      ASSERT_TRUE(MakeWhitePage(&indexed.bitmap, 8, 2, bits));
      uint8_t* entry = ColourTableOf(&indexed.bitmap) + 4 * 3;
      entry[0] = c.blue, entry[1] = c.green, entry[2] = c.red;
      FillColour(&indexed.bitmap, 0, 0, 8, 2, 3, 0, 0);
      BarcodeResults results;
      DetectBarcodes(&results, &indexed.bitmap, 0, 0, 0, 0, nullptr);
      EXPECT_EQ(results.inkFraction, c.light ? 0.0 : 1.0) << bits << " bits";
    }
    BarcodeResults results;
    DetectBarcodes(&results, &rgb.bitmap, 0, 0, 0, 0, nullptr);
    EXPECT_EQ(results.inkFraction, c.light ? 0.0 : 1.0);
  }
}

TEST(LightTest, IndicesBeyondTheTableAreInk) {
  OwnedPage page;
  ASSERT_TRUE(MakeWhitePage(&page.bitmap, 10, 1, 8));
  HeaderOf(&page.bitmap)->coloursUsed = 16;
  memset(ColourTableOf(&page.bitmap) + 4 * 15, 255, 3);
  FillColour(&page.bitmap, 0, 0, 5, 1, 200, 0, 0);  // index 200: no table entry
  FillColour(&page.bitmap, 5, 0, 5, 1, 15, 0, 0);   // white
  EXPECT_EQ(Runs(&page.bitmap, 0, 0, 10), (std::vector<uint32_t>{0, 5, 5}));
}

TEST(InkFraction, BlankHalfAndRegion) {
  OwnedPage page;
  ASSERT_TRUE(MakeWhitePage(&page.bitmap, 401, 300, 1));
  BarcodeResults results;
  EXPECT_EQ(DetectBlankPage(&results, &page.bitmap, nullptr), 0.0);

  // Each row counts w - 1 pixels: the left 200 of the 400 read are black.
  FillRect(&page.bitmap, 0, 0, 200, 300, true);
  ForgetInkFraction(&results);
  EXPECT_DOUBLE_EQ(DetectBlankPage(&results, &page.bitmap, nullptr), 0.5);

  // A region's fraction is the dark share of its columns x .. x + w - 2.
  FillRect(&page.bitmap, 0, 0, 200, 300, false);
  FillRect(&page.bitmap, 100, 50, 100, 100, true);
  DetectBarcodes(&results, &page.bitmap, 150, 100, 101, 100, nullptr);
  EXPECT_DOUBLE_EQ(results.inkFraction, 0.25);
  EXPECT_DOUBLE_EQ(DetectBlankPage(&results, &page.bitmap, nullptr), 0.25);
  // Regions reaching past the page are cut to it, also on the left and above.
  DetectBarcodes(&results, &page.bitmap, -100, -50, 302, 200, nullptr);
  EXPECT_DOUBLE_EQ(results.inkFraction, 100.0 * 100 / (201.0 * 150));
  DetectBarcodes(&results, &page.bitmap, 300, 0, 5000, 300, nullptr);
  EXPECT_DOUBLE_EQ(results.inkFraction, 0.0);
  DetectBarcodes(&results, &page.bitmap, 500, 0, 10, 10, nullptr);
  EXPECT_EQ(results.inkFraction, 0.0);
}

}  // namespace
