// The mapping from a form's reference coordinates to page pixels: the
// quadrilateral of the four corners cut into four triangles at the crossing
// of its diagonals, each mapped by barycentric coordinates.
#pragma once

#include <cstdint>

#include "analysis/bilevel_page.h"

// A plain pair: arrays of them are filled by the mapping, not zeroed first.
struct OmrPoint {
  int64_t x;
  int64_t y;
};

struct OmrTriangle {
  OmrPoint p[3];
  double d = 0;  // (y2 - y3)(x1 - x3) + (x3 - x2)(y1 - y3); 0 for a degenerate triangle
};

// Triangle i joins corner i, corner i + 1 (mod 4) and the centre where the
// diagonals cross, (0, 0) when they are parallel. Corners run top-left,
// top-right, bottom-right, bottom-left.
void MakeTriangles(const OmrPoint corner[4], OmrTriangle triangles[4]);

// The page point of a reference point: the first reference triangle holding
// it (barycentric coordinates all within 0..1) maps it onto the page
// triangle of the same number, truncating. Zero when no triangle holds it.
int MapThroughTriangles(const OmrTriangle reference[4], const OmrTriangle page[4], int64_t x, int64_t y,
                        OmrPoint* pagePoint);

// The same mapping for sampling many points, with results identical to
// MapThroughTriangles: which triangle holds a point is decided on exact
// integer numerators, and the page point comes from the triangle's affine
// map; only a point landing within a hair of a pixel boundary is worked out
// the long way, where rounding decides the pixel.
struct OmrFastTriangle {
  int64_t x3 = 0, y3 = 0;
  int64_t a1 = 0, b1 = 0, a2 = 0, b2 = 0;  // numerators: a1 dx + b1 dy and a2 dx + b2 dy
  int64_t d = 0;                           // the determinant times `sign`, so d > 0
  int64_t sign = 1;
  double determinant = 0;
  double pageX[3] = {}, pageY[3] = {};
  double xPerDx = 0, xPerDy = 0, yPerDx = 0, yPerDy = 0;  // the affine map from (dx, dy)
};

struct OmrFastMapping {
  const OmrTriangle* reference = nullptr;
  const OmrTriangle* page = nullptr;
  int32_t exact = 0;  // coordinates small enough for the integer test
  OmrFastTriangle triangles[4];
  int32_t count = 0;  // usable (non-degenerate) triangles, in order
};

// Reference points passed to MapFast and MapRun must lie inside the bounding
// box of the reference triangles (points outside it are in none of them).
void PrepareFastMapping(const OmrTriangle reference[4], const OmrTriangle page[4], OmrFastMapping* mapping);
int MapFast(const OmrFastMapping* mapping, int64_t x, int64_t y, OmrPoint* pagePoint);

// Maps `count` consecutive reference points (x, y), (x + 1, y), ... at once;
// mapped[i] tells whether points[i] holds a page point.
constexpr int32_t kMapRunMaximum = 256;
void MapRun(const OmrFastMapping* mapping, int64_t x, int64_t y, int32_t count, OmrPoint* points,
            uint8_t* mapped);

// Samples the page at the points of the same kind of run (any length):
// counts them and the dark ones among them, or with `invert` inverts each
// sampled pixel. Points that map off the page are not samples.
struct OmrSamples {
  uint64_t mapped = 0;
  uint64_t dark = 0;
};
void SampleRun(const OmrFastMapping* mapping, const BilevelPage* page, int64_t x, int64_t y, int64_t count,
               int invert, OmrSamples* samples);
