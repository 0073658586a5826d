#include "document/bitmap_ops.h"

#include <gtest/gtest.h>

#include <cstring>
#include <vector>

#include "document/bmp_writer.h"

namespace {

// Pixel access written independently of the operations: by bit arithmetic on
// the stored rows.
uint32_t Get(const PageBitmap& b, uint32_t x, uint32_t storedRow) {
  const uint8_t* row = RowOf(&b, storedRow);
  uint32_t bits = HeaderOf(&b)->bitCount;
  if (bits == 24)
    return uint32_t{row[3 * x]} | uint32_t{row[3 * x + 1]} << 8 | uint32_t{row[3 * x + 2]} << 16;
  return (row[x * bits / 8] >> (8 - bits - x * bits % 8)) & ((1u << bits) - 1);
}

void Set(PageBitmap* b, uint32_t x, uint32_t storedRow, uint32_t v) {
  uint8_t* row = RowOf(b, storedRow);
  uint32_t bits = HeaderOf(b)->bitCount;
  if (bits == 24) {
    row[3 * x] = static_cast<uint8_t>(v);
    row[3 * x + 1] = static_cast<uint8_t>(v >> 8);
    row[3 * x + 2] = static_cast<uint8_t>(v >> 16);
    return;
  }
  uint32_t shift = 8 - bits - x * bits % 8;
  uint8_t mask = static_cast<uint8_t>(((1u << bits) - 1) << shift);
  row[x * bits / 8] = static_cast<uint8_t>((row[x * bits / 8] & ~mask) | (v << shift & mask));
}

PageBitmap Patterned(int32_t width, int32_t height, int32_t bits) {
  PageBitmap b;
  RasterSettings settings;
  MessageLog log;
  EXPECT_TRUE(CreatePageBitmap(&settings, &log, &b, width, height, bits, 1));
  HeaderOf(&b)->xPixelsPerMetre = 100;
  HeaderOf(&b)->yPixelsPerMetre = 200;
  uint32_t mask = bits == 24 ? 0xFFFFFF : (1u << bits) - 1;
  for (int32_t y = 0; y < height; ++y) {
    for (int32_t x = 0; x < width; ++x)
      Set(&b, x, y, static_cast<uint32_t>(x * 2654435761u + y * 40503u) & mask);
  }
  return b;
}

class Transforms : public ::testing::TestWithParam<int32_t> {};

// Odd sizes put pixels in the padding bits and bytes of every row.
TEST_P(Transforms, MoveEveryPixelWhereItBelongs) {
  const int32_t bits = GetParam();
  const uint32_t w = 21, h = 19;
  PageBitmap source = Patterned(w, h, bits);

  PageBitmap mirrored = Patterned(w, h, bits);
  MirrorRows(&mirrored);
  PageBitmap reversed = Patterned(w, h, bits);
  MessageLog log;
  ASSERT_TRUE(ReverseRowOrder(&reversed, &log));
  PageBitmap turned = Patterned(w, h, bits);
  ASSERT_TRUE(Transpose(&turned, &log));
  ASSERT_EQ(HeaderOf(&turned)->width, static_cast<int32_t>(h));
  ASSERT_EQ(HeaderOf(&turned)->height, static_cast<int32_t>(w));
  EXPECT_EQ(HeaderOf(&turned)->xPixelsPerMetre, 200);
  EXPECT_EQ(HeaderOf(&turned)->yPixelsPerMetre, 100);
  EXPECT_EQ(turned.stride, StrideFor(h, bits));
  int wrong = 0;
  for (uint32_t y = 0; y < h; ++y) {
    for (uint32_t x = 0; x < w; ++x) {
      wrong += Get(mirrored, x, y) != Get(source, w - 1 - x, y);
      wrong += Get(reversed, x, y) != Get(source, x, h - 1 - y);
      wrong += Get(turned, y, x) != Get(source, x, y);
    }
  }
  EXPECT_EQ(wrong, 0);
  for (PageBitmap* b : {&source, &mirrored, &reversed, &turned}) ReleasePageBitmap(b);
}

INSTANTIATE_TEST_SUITE_P(BitCounts, Transforms, ::testing::Values(1, 4, 8, 24));

TEST(BitmapOps, NegativeComplementsPixelsOrTheTable) {
  PageBitmap bilevel = Patterned(9, 3, 1);
  uint8_t before = RowOf(&bilevel, 1)[0];
  MakeGreyRamp(&bilevel, 1, 0);
  Negative(&bilevel);
  EXPECT_EQ(RowOf(&bilevel, 1)[0], static_cast<uint8_t>(~before));
  EXPECT_EQ(ColourTableOf(&bilevel)[4], 255);  // the table stays black, white

  PageBitmap palette = Patterned(9, 3, 4);
  std::vector<uint8_t> pixels(palette.pixels, palette.pixels + palette.stride * 3);
  uint8_t* table = ColourTableOf(&palette);
  table[4 * 5] = 10;
  table[4 * 5 + 1] = 20;
  table[4 * 5 + 2] = 30;
  table[4 * 5 + 3] = 0;
  Negative(&palette);
  EXPECT_EQ(0, memcmp(pixels.data(), palette.pixels, pixels.size()));
  EXPECT_EQ(table[4 * 5], 245);
  EXPECT_EQ(table[4 * 5 + 2], 225);
  EXPECT_EQ(table[4 * 5 + 3], 0);

  PageBitmap colour = Patterned(5, 2, 24);
  uint32_t pixel = Get(colour, 3, 1);
  Negative(&colour);
  EXPECT_EQ(Get(colour, 3, 1), ~pixel & 0xFFFFFF);
  for (PageBitmap* b : {&bilevel, &palette, &colour}) ReleasePageBitmap(b);
}

TEST(BitmapOps, ColourTables) {
  PageBitmap four = Patterned(2, 2, 4);
  MakeGreyRamp(&four, 4, 1);
  const uint8_t* t = ColourTableOf(&four);
  EXPECT_EQ(t[0], 255);
  EXPECT_EQ(t[4 * 1 + 1], 238);
  EXPECT_EQ(t[4 * 15 + 2], 0);

  PageBitmap two = Patterned(2, 2, 1);
  uint8_t* c = ColourTableOf(&two);
  const uint8_t colours[8] = {0, 0, 200, 0, 255, 100, 0, 0};  // red, then blue-green
  memcpy(c, colours, 8);
  PageBitmap eight = Patterned(2, 2, 8);
  MakeTwoColourBlend(&two, &eight, 8);
  const uint8_t* b = ColourTableOf(&eight);
  EXPECT_EQ(b[0], 0);
  EXPECT_EQ(b[2], 200);
  EXPECT_EQ(b[4 * 255], 255);
  EXPECT_EQ(b[4 * 255 + 2], 0);
  EXPECT_EQ(b[4 * 128], 128);      // 255 * 128 / 255 + 0.5
  EXPECT_EQ(b[4 * 128 + 1], 50);   // 100 * 128 / 255 + 0.5 = 50.7
  EXPECT_EQ(b[4 * 128 + 2], 100);  // 200 - 200 * 128 / 255 + 0.5 = 100.1

  // The grey-ramp flag only travels between tables of the same shape.
  PageBitmap ramp = Patterned(2, 2, 8);
  MakeGreyRamp(&ramp, 8, 0);
  ramp.greyRamp = 1;
  PageBitmap copy = Patterned(2, 2, 8);
  CopyColourTable(&ramp, &copy);
  EXPECT_TRUE(copy.greyRamp);
  EXPECT_EQ(ColourTableOf(&copy)[4 * 77], 77);
  PageBitmap small = Patterned(2, 2, 4);
  CopyColourTable(&ramp, &small);
  EXPECT_FALSE(small.greyRamp);
  EXPECT_EQ(ColourTableOf(&small)[4 * 15], 15);
  for (PageBitmap* p : {&four, &two, &eight, &ramp, &copy, &small}) ReleasePageBitmap(p);
}

TEST(BmpWriter, FileHeaderLeadsToThePixels) {
  uint8_t header[kBmpFileHeaderSize];
  MakeBmpFileHeader(header, 40 + 8 + 64, 48);
  EXPECT_EQ(header[0], 'B');
  EXPECT_EQ(header[1], 'M');
  EXPECT_EQ(header[2], 126);  // block + 14
  EXPECT_EQ(header[6] | header[7] | header[8] | header[9], 0);
  EXPECT_EQ(header[10], 62);  // 14 + 40 + 2 table entries
}

}  // namespace
