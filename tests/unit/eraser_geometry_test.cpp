#include "analysis/eraser_geometry.h"

#include <gtest/gtest.h>

namespace {

struct ReachCase {
  const char* name;
  RealPoint s1, s2;  // stored segment
  RealPoint e1, e2;  // eraser path
  double distance;
  int reaches;
};

// Page coordinates; the eraser takes a segment at 15 pixels or less.
const ReachCase kReachCases[] = {
    {"point beside the middle", {0, 0}, {100, 0}, {50, 10}, {50, 10}, 10, 1},
    {"point at the 15-pixel boundary", {0, 0}, {100, 0}, {50, 15}, {50, 15}, 15, 1},
    {"point just beyond the boundary", {0, 0}, {100, 0}, {50, 15.001}, {50, 15.001}, 15.001, 0},
    {"point past the end measures to the end", {0, 0}, {100, 0}, {109, 12}, {109, 12}, 15, 1},
    {"point before the start", {0, 0}, {100, 0}, {-12, -9}, {-12, -9}, 15, 1},
    {"stored dot under a moving eraser", {50, 20}, {50, 20}, {0, 0}, {100, 0}, 20, 0},
    {"stored dot reached", {50, 14}, {50, 14}, {0, 0}, {100, 0}, 14, 1},
    {"dot against dot", {3, 4}, {3, 4}, {0, 0}, {0, 0}, 5, 1},
    {"eraser crosses the middle of a long segment", {0, 0}, {1000, 0}, {500, -300}, {500, 300}, 0, 1},
    {"parallel segments 15 apart", {0, 0}, {100, 0}, {0, 15}, {100, 15}, 15, 1},
    {"parallel segments 16 apart", {0, 0}, {100, 0}, {0, 16}, {100, 16}, 16, 0},
    {"collinear overlapping segments", {0, 0}, {100, 0}, {50, 0}, {150, 0}, 0, 1},
    {"collinear segments 20 apart", {0, 0}, {100, 0}, {120, 0}, {200, 0}, 20, 0},
    {"crossing diagonals", {0, 0}, {100, 100}, {0, 100}, {100, 0}, 0, 1},
    {"lines cross beyond the eraser's end", {0, 0}, {100, 0}, {50, 20}, {50, 60}, 20, 0},
    {"segment shorter than a hundredth of a pixel", {10, 10}, {10.001, 10}, {10, 25}, {10, 25}, 15, 1},
};

class EraserReach : public ::testing::TestWithParam<ReachCase> {};

TEST_P(EraserReach, MeasuresAndDecides) {
  const ReachCase& c = GetParam();
  EXPECT_NEAR(SegmentDistance(c.s1, c.s2, c.e1, c.e2), c.distance, 1e-9);
  EXPECT_EQ(EraserReaches(c.s1, c.s2, c.e1, c.e2), c.reaches);
}

INSTANTIATE_TEST_SUITE_P(Cases, EraserReach, ::testing::ValuesIn(kReachCases),
                         [](const ::testing::TestParamInfo<ReachCase>& info) {
                           std::string name = info.param.name;
                           for (char& c : name) {
                             if (!isalnum(static_cast<unsigned char>(c))) c = '_';
                           }
                           return name;
                         });

TEST(SegmentsIntersect, CrossingTouchingParallelAndApart) {
  struct Case {
    RealPoint s1, s2, e1, e2;
    int crosses;
  } cases[] = {
      {{0, 0}, {10, 10}, {0, 10}, {10, 0}, 1},  // an X
      {{0, 0}, {10, 0}, {5, -5}, {5, 5}, 1},    // a plus: one segment has an empty y range
      {{0, 0}, {10, 0}, {10, 0}, {10, 10}, 1},  // end on end
      {{0, 0}, {10, 0}, {0, 5}, {10, 5}, 0},    // parallel
      {{0, 0}, {10, 0}, {0, 0}, {10, 0}, 0},    // the same segment is parallel too
      {{0, 0}, {10, 0}, {20, -5}, {20, 5}, 0},  // x ranges apart
      {{0, 0}, {10, 10}, {6, 0}, {10, 3}, 0},   // ranges overlap, lines cross outside
  };
  for (const Case& c : cases) {
    EXPECT_EQ(SegmentsIntersect(c.s1, c.s2, c.e1, c.e2), c.crosses)
        << c.s1.x << "," << c.s1.y << " " << c.e1.x << "," << c.e1.y;
    EXPECT_EQ(SegmentsIntersect(c.e1, c.e2, c.s1, c.s2), c.crosses) << "swapped";
  }
}

}  // namespace
