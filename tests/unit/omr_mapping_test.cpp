#include "analysis/omr_mapping.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <vector>

namespace {

struct Case {
  const char* name;
  OmrPoint reference[4];
  OmrPoint page[4];
};

// Reference rectangles as OMRInit makes them, against page quadrilaterals
// from exact copies (every sample on a whole pixel) to warped scans.
const Case kCases[] = {
    {"identical", {{10, 20}, {209, 20}, {209, 179}, {10, 179}}, {{10, 20}, {209, 20}, {209, 179}, {10, 179}}},
    {"doubled", {{0, 0}, {99, 0}, {99, 79}, {0, 79}}, {{0, 0}, {198, 0}, {198, 158}, {0, 158}}},
    {"shifted and enlarged",
     {{100, 100}, {1499, 100}, {1499, 1999}, {100, 1999}},
     {{115, 123}, {1542, 123}, {1542, 2060}, {115, 2060}}},
    {"turned and sheared",
     {{0, 0}, {299, 0}, {299, 199}, {0, 199}},
     {{30, 5}, {325, 40}, {300, 240}, {2, 210}}},
    {"centre off the page", {{0, 0}, {99, 0}, {99, 99}, {0, 99}}, {{0, 0}, {50, 0}, {400, 300}, {0, 60}}},
    // Parallel diagonals put the centre at (0, 0).
    {"one column wide", {{5, 5}, {5, 5}, {5, 60}, {5, 60}}, {{7, 9}, {8, 9}, {8, 70}, {7, 70}}},
    {"mirrored", {{200, 10}, {51, 10}, {51, 150}, {200, 150}}, {{190, 12}, {40, 15}, {45, 160}, {195, 158}}},
    {"beyond the exact range",
     {{0, 0}, {1999999999, 0}, {1999999999, 1999999999}, {0, 1999999999}},
     {{10, 10}, {900, 12}, {905, 1300}, {8, 1290}}},
};

TEST(OmrMapping, FastMappingAgreesWithTheBarycentricOneEverywhere) {
  for (const Case& c : kCases) {
    SCOPED_TRACE(c.name);
    OmrTriangle reference[4], page[4];
    MakeTriangles(c.reference, reference);
    MakeTriangles(c.page, page);
    OmrFastMapping mapping;
    PrepareFastMapping(reference, page, &mapping);
    int64_t x0 = INT64_MAX, x1 = INT64_MIN, y0 = INT64_MAX, y1 = INT64_MIN;
    for (const OmrTriangle& t : reference) {
      for (const OmrPoint& p : t.p) {
        x0 = std::min(x0, p.x), x1 = std::max(x1, p.x), y0 = std::min(y0, p.y), y1 = std::max(y1, p.y);
      }
    }
    // Huge forms are sampled on a coarse grid of their own.
    int64_t step = std::max<int64_t>(1, (x1 - x0) / 400), rows = std::max<int64_t>(1, (y1 - y0) / 400);
    int64_t mapped = 0, compared = 0;
    for (int64_t y = y0; y <= y1; y += rows) {
      for (int64_t x = x0; x <= x1; x += step) {
        OmrPoint slow{-7, -7}, fast{-7, -7};
        int a = MapThroughTriangles(reference, page, x, y, &slow);
        int b = MapFast(&mapping, x, y, &fast);
        ASSERT_EQ(a, b) << x << "," << y;
        if (a) {
          ASSERT_EQ(slow.x, fast.x) << x << "," << y;
          ASSERT_EQ(slow.y, fast.y) << x << "," << y;
        }
        mapped += a;
        ++compared;
      }
      if (step != 1) continue;
      // Whole rows in runs starting anywhere, as OMRCheck walks them.
      for (int64_t start = x0; start <= x1; start += 37) {
        int32_t count = static_cast<int32_t>(std::min<int64_t>(kMapRunMaximum, x1 - start + 1));
        std::vector<OmrPoint> points(static_cast<size_t>(count));
        std::vector<uint8_t> onPage(static_cast<size_t>(count));
        MapRun(&mapping, start, y, count, points.data(), onPage.data());
        for (int32_t i = 0; i < count; ++i) {
          OmrPoint slow;
          int a = MapThroughTriangles(reference, page, start + i, y, &slow);
          ASSERT_EQ(onPage[i], a) << start + i << "," << y;
          if (a) {
            ASSERT_TRUE(slow.x == points[i].x && slow.y == points[i].y) << start + i << "," << y;
          }
        }
      }
    }
    EXPECT_GT(mapped, compared / 4);
  }
}

}  // namespace
