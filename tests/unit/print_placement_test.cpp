#include "output/print_placement.h"

#include <gtest/gtest.h>

namespace {

// Wine's PostScript printer: A4 at 300 dpi with a quarter-inch unprintable margin.
constexpr DeviceMetrics kA4{2330, 3358, 2480, 3508, 75, 75, 300, 300};
// The same sheet with unequal margins: 100 left, 50 right, 40 top, 160 bottom.
constexpr DeviceMetrics kUneven{2330, 3308, 2480, 3508, 100, 40, 300, 300};

constexpr int32_t k200Dpi = 7874;  // pixels per metre
constexpr int32_t kInch = 2;

struct Case {
  const char* name;
  int32_t width, height, xDensity, yDensity, unit;
  DeviceMetrics device;
  PrintLayout layout;
  PlacedPrint expected;
};

// A5 at 200 dpi is 1165 x 1654 pixels, 147.9 x 210.1 mm: at 300 dpi 1747 x 2481 device pixels.
const Case kCases[] = {
    {"true size at the printable area's corner",
     1165,
     1654,
     k200Dpi,
     k200Dpi,
     kInch,
     kA4,
     {},
     {0, 0, 1747, 2481, 0, 1}},
    {"printfull fits the box keeping the shape",
     1165,
     1654,
     k200Dpi,
     k200Dpi,
     kInch,
     kA4,
     {1, 0, 0},
     {0, 0, 2330, 3308, 0, 0}},
    {"a page larger than the area is fitted",
     2000,
     3000,
     k200Dpi,
     k200Dpi,
     kInch,
     kA4,
     {},
     {0, 0, 2238, 3358, 0, 0}},
    {"wider than the box fits the width",
     3000,
     1000,
     k200Dpi,
     k200Dpi,
     kInch,
     kA4,
     {},
     {0, 0, 2330, 776, 0, 0}},
    {"centred on the sheet",
     1165,
     1654,
     k200Dpi,
     k200Dpi,
     kInch,
     kA4,
     {0, 1, 0},
     {291, 438, 1747, 2481, 0, 1}},
    // Margins 100 / 50 make the box 2330 - 200 wide, 40 / 160 make it 3308 - 320 high;
    // the fitted height is truncated from 2129.99.
    {"centring with unequal margins narrows the box by the larger ones",
     4000,
     4000,
     0,
     0,
     1,
     kUneven,
     {0, 1, 0},
     {75, 649, 2130, 2129, 0, 0}},
    {"densities ten to one are still a resolution",
     1000,
     100,
     10000,
     1000,
     kInch,
     kA4,
     {},
     {0, 0, 1181, 1181, 0, 1}},
    {"densities above ten to one fit by pixel counts",
     1000,
     100,
     10010,
     1000,
     kInch,
     kA4,
     {},
     {0, 0, 2330, 233, 0, 0}},
    {"no resolution fits by pixel counts", 1165, 1654, 0, 0, 1, kA4, {}, {0, 0, 2330, 3308, 0, 0}},
    {"unit 1 has no absolute size", 1165, 1654, k200Dpi, k200Dpi, 1, kA4, {}, {0, 0, 2330, 3308, 0, 0}},
    {"a density of one pixel per metre is huge: fitted",
     10,
     10,
     1,
     1,
     kInch,
     kA4,
     {},
     {0, 0, 2330, 2330, 0, 0}},
    {"the largest density still gives one device pixel",
     10,
     10,
     INT32_MAX,
     INT32_MAX,
     kInch,
     kA4,
     {},
     {0, 0, 1, 1, 0, 1}},
    {"a 60000 pixel square fits", 60000, 60000, k200Dpi, k200Dpi, kInch, kA4, {}, {0, 0, 2330, 2330, 0, 0}},
    {"no printable area still places one pixel",
     100,
     100,
     k200Dpi,
     k200Dpi,
     kInch,
     DeviceMetrics{},
     {},
     {0, 0, 1, 1, 0, 1}},
    {"centring margins wider than the area leave one pixel",
     100,
     100,
     0,
     0,
     1,
     DeviceMetrics{100, 100, 1000, 1000, 450, 450, 300, 300},
     {0, 1, 0},
     {49, 49, 1, 1, 0, 0}},
};

TEST(PrintPlacement, Table) {
  for (const Case& c : kCases) {
    SCOPED_TRACE(c.name);
    const PlacedPrint p =
        PrintPlacement(c.width, c.height, c.xDensity, c.yDensity, c.unit, c.device, c.layout);
    EXPECT_EQ(p.x, c.expected.x);
    EXPECT_EQ(p.y, c.expected.y);
    EXPECT_EQ(p.width, c.expected.width);
    EXPECT_EQ(p.height, c.expected.height);
    EXPECT_EQ(p.rotated, c.expected.rotated);
    EXPECT_EQ(p.trueSize, c.expected.trueSize);
  }
}

TEST(PrintPlacement, PrintedSizeIsTheTruePhysicalSize) {
  const PlacedPrint p = PrintPlacement(1165, 1654, k200Dpi, k200Dpi, kInch, kA4, {});
  EXPECT_NEAR(p.widthMm, 1165 * 1000.0 / k200Dpi, 25.4 / 300);
  EXPECT_NEAR(p.heightMm, 1654 * 1000.0 / k200Dpi, 25.4 / 300);
}

// A printable box of 1000 x 2000 device pixels; pages without a resolution.
TEST(PrintPlacement, AutoRotateOnlyWhenTheTurnGainsMoreThanOnePercent) {
  const DeviceMetrics portrait{1000, 2000, 1000, 2000, 0, 0, 100, 100};
  struct {
    const char* name;
    int32_t width, height;
    int32_t rotated;
  } cases[] = {
      {"landscape on portrait paper turns", 3000, 2000, 1},
      {"portrait on portrait paper stays", 2000, 3000, 0},
      // Upright 1000 x 996, turned 1000 x 1003 or 1004: under 1 % more.
      {"a turn gaining 1 % or less stays upright", 1004, 1000, 0},
      // Upright 1000 x 994, turned 1000 x 1005 (1006 less rounding): 1.1 % more.
      {"a turn gaining just over 1 % turns", 1006, 1000, 1},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    EXPECT_EQ(PrintPlacement(c.width, c.height, 0, 0, 1, portrait, {0, 0, 1}).rotated, c.rotated);
    EXPECT_EQ(PrintPlacement(c.width, c.height, 0, 0, 1, portrait, {0, 0, 0}).rotated, 0);
  }
}

TEST(PrintPlacement, TurnedPlacementUsesTheSwappedDensities) {
  // 2000 x 1000 pixels at 200 dpi across and 100 dpi down: 254 x 254 mm, too
  // big for A4 either way; turned, the densities travel with the sides.
  const PlacedPrint p = PrintPlacement(2000, 500, 7874, 3937, kInch, kA4, {0, 0, 1});
  const PlacedPrint q = PrintPlacement(500, 2000, 3937, 7874, kInch, kA4, {0, 0, 0});
  EXPECT_EQ(p.rotated, 1);
  EXPECT_EQ(p.width, q.width);
  EXPECT_EQ(p.height, q.height);
}

}  // namespace
