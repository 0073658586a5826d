#include "analysis/omr.h"

#include <algorithm>
#include <cstdlib>
#include <cstring>

#include "analysis/bilevel_page.h"
#include "analysis/omr_corner_search.h"
#include "analysis/omr_debug.h"
#include "common/diagnostics.h"

namespace {

// Dark margins that a scanner leaves where the sheet did not cover the glass
// touch the page edge; turning them light (on the copy the search reads)
// keeps them from outweighing the marks. Decisions read the page itself.
void CleanBorders(const BilevelPage* page, const BilevelPage* copy) {
  int32_t w = page->width, h = page->height;
  for (int32_t x = 0; x < w; ++x) {
    for (int32_t y = 0; y < h / 2 && IsInk(page, x, y); ++y) MakeLight(copy, x, y);
    for (int32_t y = h - 1; y >= h / 2 && IsInk(page, x, y); --y) MakeLight(copy, x, y);
  }
  for (int32_t y = 0; y < h; ++y) {
    const uint8_t* row = BilevelRow(page, y);
    int32_t firstLight = NextBitChange(row, page->stride, 0, w / 2, 0);
    for (int32_t x = 0; x < firstLight; ++x) MakeLight(copy, x, y);
    for (int32_t x = w - 1; x >= w / 2 && IsInk(page, x, y); --x) MakeLight(copy, x, y);
  }
}

OmrPoint DiagonalCentre(const OmrPoint corner[4]) {
  // Intersection of the lines corner 0 - corner 2 and corner 1 - corner 3.
  double ax = static_cast<double>(corner[2].x - corner[0].x), ay = static_cast<double>(corner[2].y - corner[0].y);
  double bx = static_cast<double>(corner[3].x - corner[1].x), by = static_cast<double>(corner[3].y - corner[1].y);
  double denominator = ax * by - ay * bx;
  OmrPoint centre;
  if (denominator == 0) return centre;
  double cx = static_cast<double>(corner[1].x - corner[0].x), cy = static_cast<double>(corner[1].y - corner[0].y);
  double t = (cx * by - cy * bx) / denominator;
  centre.x = static_cast<int64_t>(static_cast<double>(corner[0].x) + t * ax);
  centre.y = static_cast<int64_t>(static_cast<double>(corner[0].y) + t * ay);
  return centre;
}

void FillTriangles(const OmrPoint corner[4], OmrTriangle triangles[4]) {
  OmrPoint centre = DiagonalCentre(corner);
  for (int i = 0; i < 4; ++i) {
    OmrTriangle& t = triangles[i];
    t.p[0] = corner[i];
    t.p[1] = corner[(i + 1) % 4];
    t.p[2] = centre;
    double x1 = static_cast<double>(t.p[0].x), y1 = static_cast<double>(t.p[0].y);
    double x2 = static_cast<double>(t.p[1].x), y2 = static_cast<double>(t.p[1].y);
    double x3 = static_cast<double>(t.p[2].x), y3 = static_cast<double>(t.p[2].y);
    t.d = (y2 - y3) * (x1 - x3) + (x3 - x2) * (y1 - y3);
  }
}

bool PlausibleShape(const OmrCorner c[4], int32_t w, int32_t h) {
  for (int i = 0; i < 4; ++i) {
    if (c[i].x < 0 || c[i].x >= w || c[i].y < 0 || c[i].y >= h) return false;
  }
  return c[1].x >= c[0].x && c[3].y >= c[0].y && c[2].y >= c[1].y && c[2].x >= c[3].x;
}

void SearchCorners(const BilevelPage* cleaned, OmrDebugFile* debug, OmrCorner corners[4]) {
  int32_t w = cleaned->width, h = cleaned->height;
  const int32_t regions[4][4] = {
      {0, 0, w / 4, h / 4}, {3 * w / 4, 0, w, h / 4}, {3 * w / 4, 3 * h / 4, w, h}, {0, 3 * h / 4, w / 4, h}};
  for (int k = 0; k < 4; ++k) {
    corners[k] = FindMarkCorner(cleaned, k, regions[k][0], regions[k][1], regions[k][2], regions[k][3],
                                kCornerSearchBlock, debug);
  }
}

void ShowCorner(const BilevelPage* page, OmrCorner corner) {
  for (int32_t y = corner.y; y < corner.y + 5 && y < page->height; ++y) {
    for (int32_t x = corner.x; x < corner.x + 5 && x < page->width; ++x) InvertPixel(page, x, y);
  }
}

// Finds the marks; false when the copy for the search could not be made.
bool Calibrate(OmrCalibration* calibration, PageBitmap* bitmap, const BilevelPage* page, OmrDebugFile* debug,
               int debugOn, MessageLog* log, OmrCorner corners[4]) {
  size_t pixelBytes = static_cast<size_t>(page->stride) * static_cast<size_t>(page->height);
  auto* copyPixels = static_cast<uint8_t*>(AllocateOrReport(log, pixelBytes));
  if (!copyPixels) return false;
  memcpy(copyPixels, page->pixels, pixelBytes);
  BilevelPage cleaned = *page;
  cleaned.pixels = copyPixels;
  CleanBorders(page, &cleaned);
  if (debugOn) memcpy(bitmap->pixels, copyPixels, pixelBytes);
  SearchCorners(&cleaned, debug, corners);
  free(copyPixels);
  for (int k = 0; k < 4; ++k) {
    calibration->corners[k] = OmrPoint{corners[k].x, corners[k].y};
    if (debugOn && corners[k].x >= 0 && corners[k].y >= 0) ShowCorner(page, corners[k]);
  }
  return true;
}

bool InUnitRange(double v) { return v >= 0 && v <= 1; }

}  // namespace

void OMRInit(OmrCalibration* calibration, PageBitmap* bitmap, int32_t x, int32_t y, int32_t w, int32_t h,
             MessageLog* log) {
  *calibration = OmrCalibration{};
  int debugOn = OmrDebugRequested();
  OmrDebugFile debug;
  if (debugOn) {
    OpenOmrDebug(&debug);
    OmrDebugPrint(&debug, "-------------\n");
    OmrDebugPrint(&debug, "OMR_Info: x=%ld, y=%ld, w=%ld, h=%ld\n", static_cast<long>(x), static_cast<long>(y),
                  static_cast<long>(w), static_cast<long>(h));
  }
  BilevelPage page;
  if (!ViewBilevel(bitmap, &page)) {
    CloseOmrDebug(&debug);
    return;
  }
  calibration->exists = 1;
  calibration->debug = debugOn;
  for (OmrPoint& corner : calibration->corners) corner = OmrPoint{-1, -1};
  OmrCorner corners[4];
  if (Calibrate(calibration, bitmap, &page, &debug, debugOn, log, corners)) {
    calibration->found = PlausibleShape(corners, page.width, page.height);
    OmrDebugPrint(&debug, "Box %sfound\n", calibration->found ? "" : "NOT ");
    for (int k = 0; k < 4; ++k) OmrDebugPrint(&debug, "cpt[%d] %d, %d\n", k, corners[k].x, corners[k].y);
  }
  CloseOmrDebug(&debug);
  if (!calibration->found) return;
  int64_t right = int64_t{x} + w - 1, bottom = int64_t{y} + h - 1;
  const OmrPoint reference[4] = {{x, y}, {right, y}, {right, bottom}, {x, bottom}};
  FillTriangles(reference, calibration->reference);
  FillTriangles(calibration->corners, calibration->page);
}

int MapReferencePoint(const OmrCalibration* calibration, int64_t px, int64_t py, OmrPoint* pagePoint) {
  for (int i = 0; i < 4; ++i) {
    const OmrTriangle& r = calibration->reference[i];
    if (r.d == 0) continue;
    double x1 = static_cast<double>(r.p[0].x), y1 = static_cast<double>(r.p[0].y);
    double x2 = static_cast<double>(r.p[1].x), y2 = static_cast<double>(r.p[1].y);
    double x3 = static_cast<double>(r.p[2].x), y3 = static_cast<double>(r.p[2].y);
    double dx = static_cast<double>(px) - x3, dy = static_cast<double>(py) - y3;
    double l1 = (dx * (y2 - y3) + dy * (x3 - x2)) / r.d;
    double l2 = (dy * (x1 - x3) + dx * (y3 - y1)) / r.d;
    double l3 = 1 - l1 - l2;
    if (!InUnitRange(l1) || !InUnitRange(l2) || !InUnitRange(l3)) continue;
    const OmrTriangle& p = calibration->page[i];
    pagePoint->x = static_cast<int64_t>(l1 * static_cast<double>(p.p[0].x) + l2 * static_cast<double>(p.p[1].x) +
                                        l3 * static_cast<double>(p.p[2].x));
    pagePoint->y = static_cast<int64_t>(l1 * static_cast<double>(p.p[0].y) + l2 * static_cast<double>(p.p[1].y) +
                                        l3 * static_cast<double>(p.p[2].y));
    return 1;
  }
  return 0;
}

double OMRCheck(const OmrCalibration* calibration, PageBitmap* bitmap, int32_t x, int32_t y, int32_t w, int32_t h) {
  BilevelPage page;
  if (!calibration->exists || !calibration->found || !ViewBilevel(bitmap, &page)) return 0;
  // Samples outside the reference triangles never map, so the box is first
  // cut to their bounds.
  int64_t minX = INT64_MAX, maxX = INT64_MIN, minY = INT64_MAX, maxY = INT64_MIN;
  for (const OmrTriangle& t : calibration->reference) {
    for (const OmrPoint& p : t.p) {
      minX = std::min(minX, p.x), maxX = std::max(maxX, p.x);
      minY = std::min(minY, p.y), maxY = std::max(maxY, p.y);
    }
  }
  int64_t x0 = std::max<int64_t>(x, minX), x1 = std::min<int64_t>(int64_t{x} + w, maxX);
  int64_t y0 = std::max<int64_t>(y, minY), y1 = std::min<int64_t>(int64_t{y} + h, maxY);
  if (x1 < x0 || y1 < y0 || (x1 - x0 + 1) > kOmrMaximumSamples / (y1 - y0 + 1)) return 0;
  uint64_t mapped = 0, dark = 0;
  for (int pass = 0; pass < (calibration->debug ? 2 : 1); ++pass) {
    for (int64_t ry = y0; ry <= y1; ++ry) {
      for (int64_t rx = x0; rx <= x1; ++rx) {
        OmrPoint p;
        // A sample mapped off the page (possible for a warped quadrilateral
        // whose centre lies outside) is not part of the box.
        if (!MapReferencePoint(calibration, rx, ry, &p) || p.x < 0 || p.y < 0 || p.x >= page.width ||
            p.y >= page.height) {
          continue;
        }
        int32_t px = static_cast<int32_t>(p.x), py = static_cast<int32_t>(p.y);
        if (pass == 0) {
          ++mapped;
          dark += static_cast<uint64_t>(IsInk(&page, px, py));
        } else {
          InvertPixel(&page, px, py);
        }
      }
    }
  }
  if (mapped == 0) return 0;
  return static_cast<double>(static_cast<float>(dark) / static_cast<float>(mapped));
}
