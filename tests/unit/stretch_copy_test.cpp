#include "document/stretch_copy.h"

#include <gtest/gtest.h>

#include <cstring>
#include <vector>

#include "bitmap_fixtures.h"

namespace {

using fixtures::MakeNoiseBitmap;
using fixtures::PixelAt;

TEST(StretchPositions, EveryPositionValidAndInOrder) {
  std::vector<int32_t> p;
  for (int32_t from = 1; from <= 40; ++from)
    for (int32_t to = 1; to <= 40; ++to)
      for (StretchAxis axis : {StretchAxis::kColumns, StretchAxis::kRows}) {
        StretchPositions(from, to, axis, &p);
        ASSERT_EQ(p.size(), size_t(to));
        for (int32_t i = 0; i < to; ++i) {
          ASSERT_GE(p[i], 0);
          ASSERT_LT(p[i], from);
          if (i) {
            ASSERT_GE(p[i], p[i - 1]) << from << " to " << to;
          }
        }
        // Enlarging repeats, never skips, a source position.
        if (to >= from) {
          for (int32_t i = 1; i < to; ++i) ASSERT_LE(p[i] - p[i - 1], 1);
        }
      }
}

// Halving keeps one pixel of each pair: the second column of a pair (each
// source column of a run overwrites the last) but the first row of a pair
// from the top (the rest of a run is dropped).
TEST(StretchCopy, HalvingKeepsLastColumnAndFirstRowOfEachPair) {
  PageBitmap source, target;
  ASSERT_TRUE(MakeNoiseBitmap(&source, 8, 10, 8, 3));
  ASSERT_TRUE(StretchCopy(&source, &target, 5, 4));
  for (int32_t y = 0; y < 4; ++y)
    for (int32_t x = 0; x < 5; ++x) EXPECT_EQ(PixelAt(&target, x, y), PixelAt(&source, 2 * x + 1, 2 * y));
  ReleasePageBitmap(&source);
  ReleasePageBitmap(&target);
}

TEST(StretchCopy, DoublingRepeatsEveryPixelTwice) {
  PageBitmap source, target;
  ASSERT_TRUE(MakeNoiseBitmap(&source, 24, 6, 5, 4));
  ASSERT_TRUE(StretchCopy(&source, &target, 12, 10));
  for (int32_t y = 0; y < 10; ++y)
    for (int32_t x = 0; x < 12; ++x) EXPECT_EQ(PixelAt(&target, x, y), PixelAt(&source, x / 2, y / 2));
  ReleasePageBitmap(&source);
  ReleasePageBitmap(&target);
}

// The packed 1- and 4-bit rows must pick the same pixels as 8 bits does,
// whatever the widths (bytes split across pixels, partial last bytes).
TEST(StretchCopy, PackedDepthsPickTheSamePixelsAsEightBits) {
  const int32_t sizes[][4] = {{13, 7, 29, 5}, {29, 5, 13, 7}, {8, 8, 3, 17}, {17, 3, 8, 8}, {1, 1, 9, 2}};
  for (const auto& s : sizes) {
    for (int32_t bits : {1, 4}) {
      PageBitmap packed, wide, packedOut, wideOut;
      ASSERT_TRUE(MakeNoiseBitmap(&packed, bits, s[0], s[1], 9));
      ASSERT_TRUE(CreatePageBitmap(nullptr, nullptr, &wide, s[0], s[1], 8, 1));
      for (int32_t y = 0; y < s[1]; ++y)
        for (int32_t x = 0; x < s[0]; ++x) fixtures::SetPixel(&wide, x, y, PixelAt(&packed, x, y));
      ASSERT_TRUE(StretchCopy(&packed, &packedOut, s[2], s[3]));
      ASSERT_TRUE(StretchCopy(&wide, &wideOut, s[2], s[3]));
      for (int32_t y = 0; y < s[3]; ++y)
        for (int32_t x = 0; x < s[2]; ++x)
          ASSERT_EQ(PixelAt(&packedOut, x, y), PixelAt(&wideOut, x, y))
              << bits << " bits at " << x << "," << y;
      for (PageBitmap* b : {&packed, &wide, &packedOut, &wideOut}) ReleasePageBitmap(b);
    }
  }
}

TEST(StretchCopy, KeepsHeaderTableAndFlagsAndLeavesPaddingClear) {
  PageBitmap source, target;
  ASSERT_TRUE(MakeNoiseBitmap(&source, 1, 10, 3, 5));
  HeaderOf(&source)->xPixelsPerMetre = 11811;
  HeaderOf(&source)->yPixelsPerMetre = 7874;
  source.twoBit = 1;
  // Same width: the rows are copied, but not the noise in the source's padding.
  ASSERT_TRUE(StretchCopy(&source, &target, 10, 6));
  const BitmapHeader* h = HeaderOf(&target);
  EXPECT_EQ(h->width, 10);
  EXPECT_EQ(h->height, 6);
  EXPECT_EQ(h->bitCount, 1);
  EXPECT_EQ(h->xPixelsPerMetre, 11811);
  EXPECT_EQ(h->yPixelsPerMetre, 7874);
  EXPECT_EQ(memcmp(ColourTableOf(&target), ColourTableOf(&source), 8), 0);
  EXPECT_EQ(target.greyRamp, 1);
  EXPECT_EQ(target.twoBit, 1);
  for (uint32_t r = 0; r < 6; ++r) {
    const uint8_t* row = RowOf(&target, r);
    EXPECT_EQ(row[1] & 0x3F, 0);
    EXPECT_EQ(row[2] | row[3], 0);
  }
  ReleasePageBitmap(&source);
  ReleasePageBitmap(&target);
}

TEST(StretchCopy, RefusesWhatCannotBeBuilt) {
  PageBitmap source, target;
  ASSERT_TRUE(MakeNoiseBitmap(&source, 24, 4, 4, 6));
  EXPECT_FALSE(StretchCopy(&source, &source, 2, 2));
  EXPECT_FALSE(StretchCopy(&source, &target, 0, 5));
  // 24-bit rows of 30,000 pixels take 90,000 bytes: 30,000 rows exceed 2e9.
  EXPECT_FALSE(StretchCopy(&source, &target, 30000, 30000));
  EXPECT_EQ(target.block, nullptr);
  PageBitmap empty;
  EXPECT_FALSE(StretchCopy(&empty, &target, 2, 2));
  ReleasePageBitmap(&source);
}

}  // namespace
