#include "document/scale_for_display.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "bitmap_fixtures.h"
#include "document/area_average.h"
#include "document/block_average.h"
#include "document/grey_reduction.h"
#include "document/stretch_copy.h"

namespace {

using fixtures::MakeNoiseBitmap;
using fixtures::PixelAt;
using fixtures::SetPixel;

const RasterSettings kSmooth{0, 1};
const RasterSettings kPlain{0, 0};

struct Bitmaps {
  PageBitmap source, target, other;
  ~Bitmaps() {
    ReleasePageBitmap(&source);
    ReleasePageBitmap(&target);
    ReleasePageBitmap(&other);
  }
};

bool SamePixels(const PageBitmap* a, const PageBitmap* b) {
  const BitmapHeader* ha = HeaderOf(a);
  const BitmapHeader* hb = HeaderOf(b);
  if (ha->width != hb->width || ha->height != hb->height || ha->bitCount != hb->bitCount) return false;
  for (int32_t y = 0; y < ha->height; ++y)
    for (int32_t x = 0; x < ha->width; ++x)
      if (PixelAt(a, x, y) != PixelAt(b, x, y)) return false;
  return true;
}

// The overlap, in 1/4096 pixel, of source pixel k with target interval
// [start, start + length).
int64_t Overlap(int64_t k, int64_t start, int64_t length) {
  int64_t from = k * 4096 > start ? k * 4096 : start;
  int64_t to = (k + 1) * 4096 < start + length ? (k + 1) * 4096 : start + length;
  return to > from ? to - from : 0;
}

// Grey reduction written out naively: per stored source row, each column's
// covered ones times 255 over the column width; then per column, the rows'
// values weighted by their cover over the row height.
std::vector<uint8_t> NaiveGrey(const PageBitmap* source, int32_t w, int32_t h) {
  const BitmapHeader* in = HeaderOf(source);
  const int64_t a = int64_t{in->width} * 4096 / w, v = int64_t{in->height} * 4096 / h;
  std::vector<uint32_t> work(size_t(in->height) * w);
  for (int32_t r = 0; r < in->height; ++r)
    for (int32_t m = 0; m < w; ++m) {
      int64_t sum = 0;
      for (int32_t k = 0; k < in->width; ++k)
        if ((RowOf(source, r)[k >> 3] >> (7 - (k & 7))) & 1) sum += Overlap(k, m * a, a);
      work[size_t(r) * w + m] = static_cast<uint32_t>(sum * 255 / a);
    }
  std::vector<uint8_t> out(size_t(w) * h);
  for (int32_t i = 0; i < h; ++i)
    for (int32_t m = 0; m < w; ++m) {
      int64_t sum = 0;
      for (int32_t r = 0; r < in->height; ++r) sum += work[size_t(r) * w + m] * Overlap(r, i * v, v);
      out[size_t(i) * w + m] = static_cast<uint8_t>(sum / v);
    }
  return out;
}

TEST(GreyReduction, ValuesAreTheShareOfOnePixels) {
  // 2000 x 3000 shown at 500 x 750: every target pixel covers 4 x 4 source
  // pixels; a block whose rows hold c ones each is exactly 255 c / 4
  // (rounded down), and any block is the share of ones to within the two
  // roundings.
  Bitmaps b;
  ASSERT_TRUE(MakeNoiseBitmap(&b.source, 1, 2000, 3000, 11));
  fixtures::Noise noise(12);
  for (int32_t by = 0; by < 750; by += 2)
    for (int32_t bx = 0; bx < 500; bx += 3) {
      uint32_t c = noise.Next() % 5;
      for (int32_t y = 4 * by; y < 4 * by + 4; ++y)
        for (int32_t x = 4 * bx; x < 4 * bx + 4; ++x) SetPixel(&b.source, x, y, (x % 4) < int32_t(c));
    }
  ASSERT_TRUE(ScaleForDisplay(&kSmooth, nullptr, &b.source, &b.target, 500, 750, 0));
  const BitmapHeader* h = HeaderOf(&b.target);
  ASSERT_EQ(h->bitCount, 8);
  EXPECT_EQ(b.target.greyRamp, 1);
  for (int32_t y = 0; y < 750; ++y)
    for (int32_t x = 0; x < 500; ++x) {
      uint32_t ones = 0;
      for (int32_t sy = 4 * y; sy < 4 * y + 4; ++sy)
        for (int32_t sx = 4 * x; sx < 4 * x + 4; ++sx) ones += PixelAt(&b.source, sx, sy);
      const double share = 255.0 * ones / 16;
      const uint32_t value = PixelAt(&b.target, x, y);
      if (y % 2 == 0 && x % 3 == 0) {
        ASSERT_EQ(value, 255 * (ones / 4) / 4) << x << "," << y;
      }
      ASSERT_LE(value, share) << x << "," << y;
      ASSERT_GT(value + 2.0, share) << x << "," << y;
    }
  const uint8_t* ramp = ColourTableOf(&b.target);
  for (int i = 0; i < 256; ++i) ASSERT_EQ(ramp[4 * i] + ramp[4 * i + 1] + ramp[4 * i + 2], 3 * i);
}

// Uneven ratios: pixels cut by a column or row end are shared out exactly.
TEST(GreyReduction, UnevenRatiosMatchTheAreaDefinition) {
  // Narrow and wide columns, and (the last two) more than 4096 source
  // pixels or rows to one target pixel.
  const int32_t cases[][4] = {{7, 5, 3, 2},    {301, 97, 100, 31}, {129, 200, 2, 199}, {64, 64, 1, 1},
                              {1000, 3, 7, 3}, {300, 40, 299, 13}, {5000, 2, 1, 1},    {3, 5000, 2, 1}};
  uint32_t seed = 20;
  for (const auto& c : cases) {
    Bitmaps b;
    ASSERT_TRUE(MakeNoiseBitmap(&b.source, 1, c[0], c[1], seed++));
    // Blank rows and solid rows take a shortcut; include some of each.
    for (int32_t x = 0; x < c[0]; ++x) {
      SetPixel(&b.source, x, 0, 1);
      if (c[1] > 2) SetPixel(&b.source, x, 2, 0);
    }
    ASSERT_TRUE(CreatePageBitmap(nullptr, nullptr, &b.target, c[2], c[3], 8, 0));
    ASSERT_TRUE(ReduceToGrey(nullptr, &b.source, &b.target));
    const std::vector<uint8_t> expected = NaiveGrey(&b.source, c[2], c[3]);
    for (int32_t i = 0; i < c[3]; ++i)
      for (int32_t m = 0; m < c[2]; ++m)
        ASSERT_EQ(RowOf(&b.target, i)[m], expected[size_t(i) * c[2] + m])
            << c[0] << "x" << c[1] << " to " << c[2] << "x" << c[3] << " at stored " << m << "," << i;
  }
}

TEST(GreyReduction, TableFollowsTheSourceColours) {
  Bitmaps b;
  ASSERT_TRUE(MakeNoiseBitmap(&b.source, 1, 40, 40, 30));
  // Entry 0 white: a value counts dark pixels, so the ramp runs backwards.
  uint8_t* t = ColourTableOf(&b.source);
  memset(t, 255, 3);
  memset(t + 4, 0, 3);
  ASSERT_TRUE(ScaleForDisplay(&kSmooth, nullptr, &b.source, &b.target, 10, 10, 0));
  EXPECT_EQ(ColourTableOf(&b.target)[0], 255);
  EXPECT_EQ(ColourTableOf(&b.target)[4 * 255], 0);
  // Two colours that are not a grey ramp blend from entry 0 to entry 1.
  const uint8_t blue[4] = {200, 10, 0, 0}, yellow[4] = {0, 220, 240, 0};
  memcpy(t, blue, 4);
  memcpy(t + 4, yellow, 4);
  b.source.greyRamp = 0;
  ASSERT_TRUE(ScaleForDisplay(&kSmooth, nullptr, &b.source, &b.target, 10, 10, 0));
  const uint8_t* blend = ColourTableOf(&b.target);
  EXPECT_EQ(memcmp(blend, blue, 4), 0);
  EXPECT_EQ(memcmp(blend + 4 * 255, yellow, 4), 0);
  EXPECT_EQ(blend[4 * 51], 160);     // 200 - 200 * 51 / 255
  EXPECT_EQ(blend[4 * 51 + 2], 48);  // 240 * 51 / 255
  EXPECT_EQ(b.target.greyRamp, 0);
}

// Wider but shorter: columns are first repeated (without blending) to twice
// the width, then pairs of rows are averaged.
TEST(GreyReduction, EnlargedOneWayRepeatsThenReduces) {
  Bitmaps b;
  ASSERT_TRUE(MakeNoiseBitmap(&b.source, 1, 8, 12, 40));
  ASSERT_TRUE(ScaleForDisplay(&kSmooth, nullptr, &b.source, &b.target, 16, 6, 0));
  ASSERT_EQ(HeaderOf(&b.target)->bitCount, 8);
  for (int32_t y = 0; y < 6; ++y)
    for (int32_t x = 0; x < 16; ++x) {
      uint32_t ones = PixelAt(&b.source, x / 2, 2 * y) + PixelAt(&b.source, x / 2, 2 * y + 1);
      EXPECT_EQ(PixelAt(&b.target, x, y), 255 * ones / 2) << x << "," << y;
    }
  // The same page at 4000 x 1500 from 2000 x 3000 goes through 4000 x 3000.
  Bitmaps big;
  ASSERT_TRUE(MakeNoiseBitmap(&big.source, 1, 2000, 3000, 41));
  ASSERT_TRUE(ScaleForDisplay(&kSmooth, nullptr, &big.source, &big.target, 4000, 1500, 0));
  ASSERT_TRUE(StretchCopy(&big.source, &big.other, 4000, 3000));
  PageBitmap reduced;
  ASSERT_TRUE(CreatePageBitmap(nullptr, nullptr, &reduced, 4000, 1500, 8, 0));
  ASSERT_TRUE(ReduceToGrey(nullptr, &big.other, &reduced));
  EXPECT_EQ(memcmp(reduced.pixels, big.target.pixels, size_t{reduced.stride} * 1500), 0);
  ReleasePageBitmap(&reduced);
}

TEST(ScaleForDisplay, StretchesWhereSmoothingDoesNotApply) {
  struct Case {
    int32_t bits, w, h, width, height;
    const RasterSettings* settings;
    int force;
  } cases[] = {
      {1, 30, 20, 60, 45, &kSmooth, 0},                                         // bilevel enlarged both ways
      {1, 30, 20, 10, 10, &kPlain, 0},                                          // smoothing off
      {24, 30, 20, 15, 10, &kPlain, 0},    {24, 100, 100, 2, 50, &kSmooth, 0},  // too narrow
      {8, 100, 100, 50, 2, &kSmooth, 0},                                        // too short
      {24, 1000, 1000, 4, 4, &kSmooth, 0},                                      // below 0.005
      {24, 30, 20, 40, 10, &kSmooth, 0},                                        // colour enlarged one way
      {8, 30, 20, 30, 20, &kSmooth, 1},                                         // same size
  };
  for (const Case& c : cases) {
    Bitmaps b;
    ASSERT_TRUE(MakeNoiseBitmap(&b.source, c.bits, c.w, c.h, 50));
    ASSERT_TRUE(ScaleForDisplay(c.settings, nullptr, &b.source, &b.target, c.width, c.height, c.force));
    ASSERT_TRUE(StretchCopy(&b.source, &b.other, c.width, c.height));
    EXPECT_TRUE(SamePixels(&b.target, &b.other)) << c.bits << " bits to " << c.width << "x" << c.height;
  }
}

TEST(ScaleForDisplay, ForceSmoothsWithSmoothingOff) {
  Bitmaps b;
  ASSERT_TRUE(MakeNoiseBitmap(&b.source, 1, 40, 40, 51));
  ASSERT_TRUE(ScaleForDisplay(&kPlain, nullptr, &b.source, &b.target, 10, 10, 1));
  EXPECT_EQ(HeaderOf(&b.target)->bitCount, 8);
  // No size at all still gives a picture of one pixel.
  ASSERT_TRUE(ScaleForDisplay(&kSmooth, nullptr, &b.source, &b.target, 0, -3, 0));
  EXPECT_EQ(HeaderOf(&b.target)->width, 1);
  EXPECT_EQ(HeaderOf(&b.target)->height, 1);
}

// The smallest smoothed scale is 0.005: 1000 pixels shown as 5 are averaged.
TEST(ScaleForDisplay, SmoothsDownToTheSmallestScale) {
  Bitmaps b;
  ASSERT_TRUE(CreatePageBitmap(nullptr, nullptr, &b.source, 1000, 1000, 24, 1));
  for (int32_t y = 0; y < 1000; ++y)
    for (int32_t x = 0; x < 1000; x += 2) SetPixel(&b.source, x, y, 0xFFFFFF);
  ASSERT_TRUE(ScaleForDisplay(&kSmooth, nullptr, &b.source, &b.target, 5, 5, 0));
  for (int32_t y = 0; y < 5; ++y)
    for (int32_t x = 0; x < 5; ++x) EXPECT_EQ(PixelAt(&b.target, x, y), 0x7F7F7Fu);
}

// Weighted area average written out: intervals in sixteenths, ends clamped
// as the scaler does, integer mean with +128.
uint32_t NaiveArea(const PageBitmap* s, int32_t w, int32_t h, int32_t i, int32_t j, int32_t channel) {
  const BitmapHeader* in = HeaderOf(s);
  auto weights = [](int32_t length, int32_t target, int32_t at,
                    std::vector<std::pair<int32_t, int32_t>>* out) {
    const float step = float(length) * 16.0f / float(target);
    int32_t y0 = int32_t(float(at) * step + 0.5f), y1 = int32_t(float(at + 1) * step + 0.5f);
    int32_t l = y0 >> 4, e = y1 >> 4, lw = 16 - (y0 & 15), ew = y1 & 15;
    if (e >= length) {
      e = length - 1;
      ew = 15;
      if (l >= e) {
        l = length - 2;
        lw = 1;
      }
    }
    out->clear();
    for (int32_t p = l; p <= e; ++p) out->push_back({p, p == l ? lw : p == e ? ew : 16});
  };
  std::vector<std::pair<int32_t, int32_t>> rows, columns;
  weights(in->height, h, i, &rows);
  weights(in->width, w, j, &columns);
  const int32_t bytes = in->bitCount / 8;
  uint64_t sum = 0, rowTotal = 0, columnTotal = 0;
  for (auto [r, rw] : rows) rowTotal += rw;
  for (auto [c, cw] : columns) columnTotal += cw;
  for (auto [r, rw] : rows)
    for (auto [c, cw] : columns) sum += uint64_t(rw) * cw * RowOf(s, r)[c * bytes + channel];
  return uint32_t((sum + 128) / (rowTotal * columnTotal));
}

TEST(AreaAverage, MatchesTheWeightedMean) {
  // The last two sum more than 16 rows into one target row.
  const int32_t cases[][5] = {{24, 10, 10, 5, 5},  {24, 10, 9, 7, 9},   {8, 97, 61, 40, 33},
                              {8, 33, 33, 32, 3},  {24, 200, 7, 19, 4}, {8, 40, 400, 20, 3},
                              {24, 30, 300, 10, 4}};
  for (const auto& c : cases) {
    Bitmaps b;
    ASSERT_TRUE(MakeNoiseBitmap(&b.source, c[0], c[1], c[2], 60));
    ASSERT_TRUE(CreatePageBitmap(nullptr, nullptr, &b.target, c[3], c[4], c[0], 0));
    ASSERT_TRUE(AreaAverage(nullptr, &b.source, &b.target));
    const int32_t bytes = c[0] / 8;
    for (int32_t i = 0; i < c[4]; ++i)
      for (int32_t j = 0; j < c[3]; ++j)
        for (int32_t ch = 0; ch < bytes; ++ch)
          ASSERT_EQ(RowOf(&b.target, i)[j * bytes + ch], NaiveArea(&b.source, c[3], c[4], i, j, ch))
              << c[1] << "x" << c[2] << " to " << c[3] << "x" << c[4] << " at " << j << "," << i;
  }
}

TEST(ScaleForDisplay, GreyPagesKeepTheirTableAndAreAreaAveraged) {
  Bitmaps b;
  ASSERT_TRUE(MakeNoiseBitmap(&b.source, 8, 60, 40, 61));
  ASSERT_TRUE(ScaleForDisplay(&kSmooth, nullptr, &b.source, &b.target, 30, 20, 0));
  ASSERT_EQ(HeaderOf(&b.target)->bitCount, 8);
  EXPECT_EQ(b.target.greyRamp, 1);
  EXPECT_EQ(memcmp(ColourTableOf(&b.target), ColourTableOf(&b.source), 1024), 0);
  for (int32_t i = 0; i < 20; ++i)
    for (int32_t j = 0; j < 30; ++j) ASSERT_EQ(RowOf(&b.target, i)[j], NaiveArea(&b.source, 30, 20, i, j, 0));
}

// At 5 % a 24-bit page is averaged over 20 x 20 blocks placed at the nearest
// source position: 1010 pixels to 50 puts blocks at 0, 20, 40, 61, ...
// (source column 60 lies in none), and a block's value is its mean, cut.
TEST(BlockAverage, FivePercentUsesTwentyPixelBlocks) {
  Bitmaps b;
  ASSERT_TRUE(CreatePageBitmap(nullptr, nullptr, &b.source, 1010, 1010, 24, 1));
  for (int32_t y = 0; y < 1010; ++y) {
    SetPixel(&b.source, 60, y, 0xFFFFFF);  // between blocks: never seen
    SetPixel(&b.source, 80, y, 0x0000FF);  // last column of the block at 61
    SetPixel(&b.source, 81, y, 0x00FF00);  // first column of the block at 81
  }
  ASSERT_TRUE(ScaleForDisplay(&kSmooth, nullptr, &b.source, &b.target, 50, 50, 0));
  EXPECT_EQ(BlockSizeFor(50.0 / 1010), 20);
  for (int32_t y = 0; y < 50; ++y) {
    EXPECT_EQ(PixelAt(&b.target, 2, y), 0u);
    EXPECT_EQ(PixelAt(&b.target, 3, y), 12u);  // 255 * 20 / 400
    EXPECT_EQ(PixelAt(&b.target, 4, y), 12u << 8);
  }
  // Weighted averaging at half size does see the line.
  ASSERT_TRUE(ScaleForDisplay(&kSmooth, nullptr, &b.source, &b.target, 505, 505, 0));
  EXPECT_EQ(PixelAt(&b.target, 30, 100), 0x7F7F7Fu);
}

TEST(BlockAverage, MatchesTheBlockMean) {
  for (int32_t bits : {8, 24}) {
    Bitmaps b;
    ASSERT_TRUE(MakeNoiseBitmap(&b.source, bits, 613, 411, 70));
    ASSERT_TRUE(ScaleForDisplay(&kSmooth, nullptr, &b.source, &b.target, 30, 20, 0));
    const int32_t n = BlockSizeFor(20.0 / 411);  // 21
    ASSERT_EQ(n, 21);
    const int32_t bytes = bits / 8;
    for (int32_t i = 0; i < 20; ++i)
      for (int32_t j = 0; j < 30; ++j) {
        int32_t r0 = std::min(int32_t(411.0f / 20.0f * float(i) + 0.5f), 411 - n);
        int32_t c0 = std::min(int32_t(613.0f / 30.0f * float(j) + 0.5f), 613 - n);
        for (int32_t ch = 0; ch < bytes; ++ch) {
          uint32_t sum = 0;
          for (int32_t r = r0; r < r0 + n; ++r)
            for (int32_t c = c0; c < c0 + n; ++c) sum += RowOf(&b.source, r)[c * bytes + ch];
          ASSERT_EQ(RowOf(&b.target, i)[j * bytes + ch], uint32_t(float(sum) * (1.0f / float(n * n))))
              << bits << " bits at " << j << "," << i;
        }
      }
  }
}

TEST(PaletteBlockAverage, ColourPagesBecomeTrueColour) {
  Bitmaps b;
  ASSERT_TRUE(CreatePageBitmap(nullptr, nullptr, &b.source, 9, 9, 4, 1));
  fixtures::FillDistinctTable(&b.source);
  // Columns 0-2 index 5, the rest 0: a swapped nibble order would pull
  // column 3 into the first block.
  for (int32_t y = 0; y < 9; ++y)
    for (int32_t x = 0; x < 3; ++x) SetPixel(&b.source, x, y, 5);
  ASSERT_TRUE(ScaleForDisplay(&kSmooth, nullptr, &b.source, &b.target, 3, 3, 0));
  ASSERT_EQ(HeaderOf(&b.target)->bitCount, 24);
  const uint8_t* e5 = ColourTableOf(&b.source) + 20;
  const uint8_t* e0 = ColourTableOf(&b.source);
  for (int32_t y = 0; y < 3; ++y) {
    EXPECT_EQ(PixelAt(&b.target, 0, y), uint32_t(e5[2]) << 16 | e5[1] << 8 | e5[0]);
    EXPECT_EQ(PixelAt(&b.target, 1, y), uint32_t(e0[2]) << 16 | e0[1] << 8 | e0[0]);
  }
}

TEST(PaletteBlockAverage, GreyPalettesBecomeEightBitGrey) {
  Bitmaps b;
  // A 2-bit grey page held in 4 bits: 0, 85, 170, 255, the rest black.
  ASSERT_TRUE(CreatePageBitmap(nullptr, nullptr, &b.source, 40, 40, 4, 1));
  uint8_t* t = ColourTableOf(&b.source);
  for (int i = 0; i < 4; ++i) memset(t + 4 * i, 85 * i, 3);
  b.source.twoBit = 1;
  for (int32_t y = 0; y < 40; ++y)
    for (int32_t x = 0; x < 40; ++x) SetPixel(&b.source, x, y, (x + y) % 2 ? 3 : 1);
  ASSERT_TRUE(ScaleForDisplay(&kSmooth, nullptr, &b.source, &b.target, 20, 20, 0));
  ASSERT_EQ(HeaderOf(&b.target)->bitCount, 8);
  EXPECT_EQ(b.target.greyRamp, 1);
  EXPECT_EQ(ColourTableOf(&b.target)[4 * 200], 200);
  for (int32_t y = 0; y < 20; ++y)
    for (int32_t x = 0; x < 20; ++x) EXPECT_EQ(PixelAt(&b.target, x, y), 170u);  // (85 + 255) / 2
}

TEST(ScaleForDisplay, MemoryLimitRefusesLargeTargets) {
  Bitmaps b;
  ASSERT_TRUE(MakeNoiseBitmap(&b.source, 24, 2000, 1000, 80));
  MessageLog log;
  InitLog(&log);
  const RasterSettings limited{1, 1};
  EXPECT_FALSE(ScaleForDisplay(&limited, &log, &b.source, &b.target, 1000, 500, 0));
  EXPECT_EQ(b.target.block, nullptr);
  EXPECT_EQ(std::u16string(TextOf(&log.text)),
            u"Error: Image too large, exceeds configured 1MB memory limit\r\n");
  ReleaseLog(&log);
}

}  // namespace
