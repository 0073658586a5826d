#include "analysis/annotated_page.h"

#include <gtest/gtest.h>

#include "analysis/sketch_layer.h"
#include "bitmap_fixtures.h"
#include "document/bitmap_ops.h"

namespace {

using fixtures::PixelAt;
using fixtures::SetPixel;

constexpr uint32_t kRed = 0x0000FF;  // 0x00BBGGRR

struct Page {
  PageBitmap bitmap;
  PageInfo info;
  Page(int32_t width, int32_t height, int32_t bits) {
    MessageLog log;
    CreatePageBitmap(nullptr, &log, &bitmap, width, height, bits, 1);
    if (bits <= 8) MakeGreyRamp(&bitmap, bits, 0);
    info.width = static_cast<uint32_t>(width);
    info.height = static_cast<uint32_t>(height);
    // All white.
    for (int32_t y = 0; y < height; ++y)
      for (int32_t x = 0; x < width; ++x) SetPixel(&bitmap, x, y, bits == 24 ? 0xFFFFFF : (1u << bits) - 1);
  }
  ~Page() { ReleasePageBitmap(&bitmap); }
};

struct Merged {
  PageBitmap bitmap;
  ~Merged() { ReleasePageBitmap(&bitmap); }
};

TEST(AnnotatedPage, BitDepthFollowsThePageAndTheStrokeColours) {
  struct Case {
    const char* name;
    int32_t pageBits;
    uint32_t strokeColour;
    int reversedTable;
    int32_t bits;
  } cases[] = {
      {"bilevel, black stroke", 1, 0x000000, 0, 1},
      {"bilevel, white stroke", 1, 0xFFFFFF, 0, 1},
      {"bilevel, red stroke", 1, kRed, 0, 24},
      {"bilevel with a white-to-black table", 1, 0x000000, 1, 24},
      {"grey page, black stroke", 8, 0x000000, 0, 24},
      {"colour page", 24, 0x000000, 0, 24},
  };
  for (const Case& c : cases) {
    Page page(40, 30, c.pageBits);
    if (c.reversedTable) MakeGreyRamp(&page.bitmap, 1, 1);
    PageMarkup markup;
    AppendSegment(&markup, {1, 1}, {20, 1}, c.strokeColour);
    Merged merged;
    MessageLog log;
    ASSERT_TRUE(BuildAnnotatedPage(&page.bitmap, &page.info, &markup, 0, &merged.bitmap, &log)) << c.name;
    const BitmapHeader* header = HeaderOf(&merged.bitmap);
    EXPECT_EQ(header->bitCount, c.bits) << c.name;
    EXPECT_EQ(header->width, 40);
    EXPECT_EQ(header->height, 30);
    if (c.bits == 1) {
      EXPECT_EQ(header->coloursUsed, 2u);
      const uint8_t* table = ColourTableOf(&merged.bitmap);
      EXPECT_EQ(table[0] | table[1] | table[2], 0) << "entry 0 black";
      EXPECT_EQ(table[4] & table[5] & table[6], 255) << "entry 1 white";
    }
  }
}

TEST(AnnotatedPage, WhiteOutsBurnedInStrokesDrawnCropLeftOut) {
  Page page(60, 40, 8);
  for (int32_t y = 0; y < 40; ++y)
    for (int32_t x = 0; x < 60; ++x) SetPixel(&page.bitmap, x, y, 0x40);  // dark grey
  HeaderOf(&page.bitmap)->xPixelsPerMetre = 7874;
  HeaderOf(&page.bitmap)->yPixelsPerMetre = 3937;
  PageMarkup markup;
  markup.whiteouts.push_back({kMarkWhiteout, {10, 5, 19, 14}});  // inclusive edges
  markup.cropActive = 1;
  markup.crop = {30, 20, 40, 30};
  AppendSegment(&markup, {2.5, 30.2}, {12.9, 30.7}, kRed);  // one stroke: two segments, end pixel drawn
  AppendSegment(&markup, {12.9, 30.7}, {12.9, 35}, kRed);
  AppendSegment(&markup, {50, 2}, {50, 2}, 0x00FF00);  // a dot
  Merged merged;
  MessageLog log;
  ASSERT_TRUE(BuildAnnotatedPage(&page.bitmap, &page.info, &markup, 0, &merged.bitmap, &log));
  const PageBitmap* m = &merged.bitmap;
  EXPECT_EQ(HeaderOf(m)->xPixelsPerMetre, 7874);
  EXPECT_EQ(HeaderOf(m)->yPixelsPerMetre, 3937);

  EXPECT_EQ(PixelAt(m, 10, 5), 0xFFFFFFu);
  EXPECT_EQ(PixelAt(m, 19, 14), 0xFFFFFFu);
  EXPECT_EQ(PixelAt(m, 20, 14), 0x404040u);
  EXPECT_EQ(PixelAt(m, 19, 15), 0x404040u);
  EXPECT_EQ(PixelAt(m, 0, 0), 0x404040u) << "the crop masks only the screen and paper";
  for (int32_t x = 2; x <= 12; ++x) EXPECT_EQ(PixelAt(m, x, 30), 0xFF0000u) << x;
  for (int32_t y = 30; y <= 35; ++y) EXPECT_EQ(PixelAt(m, 12, y), 0xFF0000u) << y;
  EXPECT_EQ(PixelAt(m, 12, 36), 0x404040u);
  EXPECT_EQ(PixelAt(m, 50, 2), 0x00FF00u);
  EXPECT_EQ(PixelAt(m, 51, 2), 0x404040u);
  EXPECT_EQ(PixelAt(m, 49, 2), 0x404040u);
}

TEST(AnnotatedPage, TurnedCopyMapsMarksWithTheTurn) {
  // The shown bitmap is the 30 x 20 page turned a quarter clockwise: 20 x 30.
  Page page(20, 30, 1);
  page.info.width = 30;
  page.info.height = 20;
  PageMarkup markup;
  AppendSegment(&markup, {0.5, 0.5}, {0.5, 0.5}, 0);  // the page's top-left pixel
  Merged merged;
  MessageLog log;
  ASSERT_TRUE(BuildAnnotatedPage(&page.bitmap, &page.info, &markup, 1, &merged.bitmap, &log));
  EXPECT_EQ(PixelAt(&merged.bitmap, 19, 0), 0u) << "top-left turns to top-right";
  EXPECT_EQ(PixelAt(&merged.bitmap, 0, 0), 1u);
}

}  // namespace
