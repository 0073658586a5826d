#include "analysis/omr_mapping.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstring>

namespace {

double D(int64_t v) { return static_cast<double>(v); }

OmrPoint DiagonalCentre(const OmrPoint corner[4]) {
  // Intersection of the lines corner 0 - corner 2 and corner 1 - corner 3.
  double ax = D(corner[2].x - corner[0].x), ay = D(corner[2].y - corner[0].y);
  double bx = D(corner[3].x - corner[1].x), by = D(corner[3].y - corner[1].y);
  double denominator = ax * by - ay * bx;
  OmrPoint centre{0, 0};
  if (denominator == 0) return centre;
  double cx = D(corner[1].x - corner[0].x), cy = D(corner[1].y - corner[0].y);
  double t = (cx * by - cy * bx) / denominator;
  centre.x = static_cast<int64_t>(D(corner[0].x) + t * ax);
  centre.y = static_cast<int64_t>(D(corner[0].y) + t * ay);
  return centre;
}

bool InUnitRange(double v) { return v >= 0 && v <= 1; }

// The page point for barycentric coordinates already known to be in range.
void PlaceOnPage(const OmrTriangle& p, double l1, double l2, double l3, OmrPoint* pagePoint) {
  pagePoint->x = static_cast<int64_t>(l1 * D(p.p[0].x) + l2 * D(p.p[1].x) + l3 * D(p.p[2].x));
  pagePoint->y = static_cast<int64_t>(l1 * D(p.p[0].y) + l2 * D(p.p[1].y) + l3 * D(p.p[2].y));
}

// Coordinates up to 2^22 keep every numerator below 2^47: exact in int64
// and in double, and a quotient n / d with integers n != 0 can never round
// onto 0 or 1.
constexpr int64_t kExactLimit = int64_t{1} << 22;
// Page points below 2^24 keep the affine map's numerators below 2^48 and its
// error far below the margin NearWhole leaves.
constexpr int64_t kPageLimit = int64_t{1} << 24;

constexpr double kFixedOne = 4294967296.0;
constexpr uint32_t kFixedMargin = 4295;  // 1e-6 in 32 fraction bits

// Whether truncating v might land on another pixel than the exact
// barycentric evaluation: v lies within 1e-6 of a whole number.
int NearWhole(double v) {
  double fraction = std::fabs(v - static_cast<double>(static_cast<int64_t>(v)));
  // Without branches: which way it goes is random from sample to sample.
  return static_cast<int>(fraction < 1e-6) | static_cast<int>(fraction > 1 - 1e-6);
}

}  // namespace

void MakeTriangles(const OmrPoint corner[4], OmrTriangle triangles[4]) {
  OmrPoint centre = DiagonalCentre(corner);
  for (int i = 0; i < 4; ++i) {
    OmrTriangle& t = triangles[i];
    t.p[0] = corner[i];
    t.p[1] = corner[(i + 1) % 4];
    t.p[2] = centre;
    double x1 = D(t.p[0].x), y1 = D(t.p[0].y), x2 = D(t.p[1].x), y2 = D(t.p[1].y);
    double x3 = D(t.p[2].x), y3 = D(t.p[2].y);
    t.d = (y2 - y3) * (x1 - x3) + (x3 - x2) * (y1 - y3);
  }
}

int MapThroughTriangles(const OmrTriangle reference[4], const OmrTriangle page[4], int64_t px, int64_t py,
                        OmrPoint* pagePoint) {
  for (int i = 0; i < 4; ++i) {
    const OmrTriangle& r = reference[i];
    if (r.d == 0) continue;
    double x1 = D(r.p[0].x), y1 = D(r.p[0].y), x2 = D(r.p[1].x), y2 = D(r.p[1].y);
    double x3 = D(r.p[2].x), y3 = D(r.p[2].y);
    double dx = D(px) - x3, dy = D(py) - y3;
    double l1 = (dx * (y2 - y3) + dy * (x3 - x2)) / r.d;
    double l2 = (dy * (x1 - x3) + dx * (y3 - y1)) / r.d;
    double l3 = 1 - l1 - l2;
    if (!InUnitRange(l1) || !InUnitRange(l2) || !InUnitRange(l3)) continue;
    PlaceOnPage(page[i], l1, l2, l3, pagePoint);
    return 1;
  }
  return 0;
}

void PrepareFastMapping(const OmrTriangle reference[4], const OmrTriangle page[4], OmrFastMapping* mapping) {
  *mapping = OmrFastMapping{};
  mapping->reference = reference;
  mapping->page = page;
  mapping->exact = 1;
  for (int i = 0; i < 4; ++i) {
    for (int k = 0; k < 3; ++k) {
      const OmrPoint& r = reference[i].p[k];
      const OmrPoint& p = page[i].p[k];
      if (r.x <= -kExactLimit || r.x >= kExactLimit || r.y <= -kExactLimit || r.y >= kExactLimit ||
          p.x <= -kPageLimit || p.x >= kPageLimit || p.y <= -kPageLimit || p.y >= kPageLimit) {
        mapping->exact = 0;
      }
    }
  }
  if (!mapping->exact) return;
  for (int i = 0; i < 4; ++i) {
    const OmrTriangle& r = reference[i];
    if (r.d == 0) continue;
    OmrFastTriangle& t = mapping->triangles[mapping->count++];
    t.x3 = r.p[2].x, t.y3 = r.p[2].y;
    t.a1 = r.p[1].y - r.p[2].y, t.b1 = r.p[2].x - r.p[1].x;
    t.a2 = r.p[2].y - r.p[0].y, t.b2 = r.p[0].x - r.p[2].x;
    t.determinant = r.d;
    t.sign = r.d < 0 ? -1 : 1;
    t.d = static_cast<int64_t>(r.d) * t.sign;
    for (int k = 0; k < 3; ++k) t.pageX[k] = D(page[i].p[k].x), t.pageY[k] = D(page[i].p[k].y);
    // x = X3 + l1 (X1 - X3) + l2 (X2 - X3) with l1, l2 linear in dx and dy.
    int64_t x13 = page[i].p[0].x - page[i].p[2].x, x23 = page[i].p[1].x - page[i].p[2].x;
    int64_t y13 = page[i].p[0].y - page[i].p[2].y, y23 = page[i].p[1].y - page[i].p[2].y;
    t.xPerDx = D(t.a1 * x13 + t.a2 * x23) / r.d;
    t.xPerDy = D(t.b1 * x13 + t.b2 * x23) / r.d;
    t.yPerDx = D(t.a1 * y13 + t.a2 * y23) / r.d;
    t.yPerDy = D(t.b1 * y13 + t.b2 * y23) / r.d;
  }
}

namespace {

struct Numerators {
  int64_t n1, n2;      // as the determinant's sign has them
  int64_t s1, s2, s3;  // the three barycentric numerators with d > 0
};

Numerators NumeratorsOf(const OmrFastTriangle& t, int64_t dx, int64_t dy) {
  Numerators n;
  n.n1 = dx * t.a1 + dy * t.b1;
  n.n2 = dy * t.b2 + dx * t.a2;
  n.s1 = n.n1 * t.sign, n.s2 = n.n2 * t.sign, n.s3 = t.d - n.s1 - n.s2;
  return n;
}

// Places a point of triangle t: through the affine map, or where that might
// round differently, through the barycentric coordinates themselves. False
// for a point on the outer edge that the floating-point third coordinate
// puts outside.
bool Place(const OmrFastTriangle& t, int64_t dx, int64_t dy, const Numerators& n, OmrPoint* pagePoint) {
  double u = t.pageX[2] + D(dx) * t.xPerDx + D(dy) * t.xPerDy;
  double v = t.pageY[2] + D(dx) * t.yPerDx + D(dy) * t.yPerDy;
  // On the outer edge the third coordinate is 0 exactly, which the
  // floating-point difference may miss by a rounding step either way.
  if ((static_cast<int>(n.s3 == 0) | NearWhole(u) | NearWhole(v)) == 0) {
    pagePoint->x = static_cast<int64_t>(u);
    pagePoint->y = static_cast<int64_t>(v);
    return true;
  }
  double l1 = D(n.n1) / t.determinant, l2 = D(n.n2) / t.determinant, l3 = 1 - l1 - l2;
  if (!InUnitRange(l3)) return false;
  pagePoint->x = static_cast<int64_t>(l1 * t.pageX[0] + l2 * t.pageX[1] + l3 * t.pageX[2]);
  pagePoint->y = static_cast<int64_t>(l1 * t.pageY[0] + l2 * t.pageY[1] + l3 * t.pageY[2]);
  return true;
}

// How many points of a row, from one where the numerator is `value` > 0 and
// rising by `step` per point, keep it above 0.
int64_t StepsWhilePositive(int64_t value, int64_t step) {
  if (value <= 0) return 0;
  if (step >= 0) return INT64_MAX;
  return (value - step - 1) / -step;
}

// The first triangle holding the point, in triangle order; -1 for none.
int32_t Locate(const OmrFastMapping* mapping, int64_t x, int64_t y, OmrPoint* pagePoint) {
  for (int32_t k = 0; k < mapping->count; ++k) {
    const OmrFastTriangle& t = mapping->triangles[k];
    int64_t dx = x - t.x3, dy = y - t.y3;
    Numerators n = NumeratorsOf(t, dx, dy);
    if (n.s1 < 0 || n.s2 < 0 || n.s1 > t.d || n.s2 > t.d || n.s3 < 0) continue;
    if (Place(t, dx, dy, n, pagePoint)) return k;
  }
  return -1;
}

}  // namespace

int MapFast(const OmrFastMapping* mapping, int64_t x, int64_t y, OmrPoint* pagePoint) {
  if (!mapping->exact) return MapThroughTriangles(mapping->reference, mapping->page, x, y, pagePoint);
  return Locate(mapping, x, y, pagePoint) >= 0;
}

namespace {

// Calls visit(i, point) for each of `count` points (x + i, y) that maps.
template <typename Visit>
void WalkRun(const OmrFastMapping* mapping, int64_t x, int64_t y, int64_t count, Visit visit) {
  OmrPoint point;
  if (!mapping->exact) {
    for (int64_t i = 0; i < count; ++i) {
      if (MapThroughTriangles(mapping->reference, mapping->page, x + i, y, &point)) visit(i, point);
    }
    return;
  }
  for (int64_t i = 0; i < count;) {
    int32_t current = Locate(mapping, x + i, y, &point);
    if (current >= 0) visit(i, point);
    if (++i >= count || current < 0) continue;
    // The reference triangles tile a rectangle and meet only on their edges,
    // so the points that follow strictly inside the same triangle are in no
    // other one, whatever the order of the search. Along the row the
    // numerators and the affine map advance by constant steps.
    const OmrFastTriangle& t = mapping->triangles[current];
    int64_t dx = x + i - t.x3, dy = y - t.y3;
    Numerators n = NumeratorsOf(t, dx, dy);
    int64_t step1 = t.a1 * t.sign, step2 = t.a2 * t.sign;
    double u = t.pageX[2] + D(dx) * t.xPerDx + D(dy) * t.xPerDy;
    double v = t.pageY[2] + D(dx) * t.yPerDx + D(dy) * t.yPerDy;
    // The page point advances in fixed point with 32 fraction bits: after
    // 2^26 steps the error stays below 2^-6 of the 1e-6 margin (4295 / 2^32)
    // within which a point is placed the long way.
    int64_t fixedU = static_cast<int64_t>(u * kFixedOne), fixedV = static_cast<int64_t>(v * kFixedOne);
    int64_t stepU = static_cast<int64_t>(t.xPerDx * kFixedOne),
            stepV = static_cast<int64_t>(t.yPerDx * kFixedOne);
    int64_t stay = n.s1 > 0 && n.s2 > 0 && n.s3 > 0 ? count - i : 0;
    stay = std::min(stay, StepsWhilePositive(n.s1, step1));
    stay = std::min(stay, StepsWhilePositive(n.s2, step2));
    stay = std::min(stay, StepsWhilePositive(n.s3, -step1 - step2));
    for (int64_t end = i + stay; i < end; ++i, ++dx) {
      uint32_t fractionU = static_cast<uint32_t>(fixedU), fractionV = static_cast<uint32_t>(fixedV);
      bool near = fixedU < 0 || fixedV < 0 || fractionU + kFixedMargin < 2 * kFixedMargin ||
                  fractionV + kFixedMargin < 2 * kFixedMargin;
      if (near) {
        Place(t, dx, dy, n, &point);
      } else {
        point.x = fixedU >> 32;
        point.y = fixedV >> 32;
      }
      visit(i, point);
      // Only n1, n2 and s3 are read by Place; s1 and s2 ran out of use with `stay`.
      n.n1 += t.a1, n.n2 += t.a2;
      n.s3 -= step1 + step2;
      fixedU += stepU, fixedV += stepV;
    }
  }
}

}  // namespace

void MapRun(const OmrFastMapping* mapping, int64_t x, int64_t y, int32_t count, OmrPoint* points,
            uint8_t* mapped) {
  memset(mapped, 0, static_cast<size_t>(count));
  WalkRun(mapping, x, y, count, [&](int64_t i, const OmrPoint& p) {
    points[i] = p;
    mapped[i] = 1;
  });
}

void SampleRun(const OmrFastMapping* mapping, const BilevelPage* page, int64_t x, int64_t y, int64_t count,
               int invert, OmrSamples* samples) {
  uint64_t width = static_cast<uint64_t>(page->width), height = static_cast<uint64_t>(page->height);
  WalkRun(mapping, x, y, count, [&](int64_t, const OmrPoint& p) {
    // A point mapped off the page (possible for a warped quadrilateral whose
    // centre lies outside) is no sample; unsigned comparisons catch negative
    // coordinates too.
    if (static_cast<uint64_t>(p.x) >= width || static_cast<uint64_t>(p.y) >= height) return;
    int32_t px = static_cast<int32_t>(p.x), py = static_cast<int32_t>(p.y);
    if (invert) {
      InvertPixel(page, px, py);
    } else {
      ++samples->mapped;
      samples->dark += static_cast<uint64_t>(IsInk(page, px, py));
    }
  });
}
