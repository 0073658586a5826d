#include "analysis/omr.h"

#include <algorithm>
#include <cstddef>
#include <cstdlib>
#include <cstring>

#include "analysis/bilevel_page.h"
#include "analysis/omr_corner_search.h"
#include "analysis/omr_debug.h"
#include "common/diagnostics.h"

namespace {

// Dark margins that a scanner leaves where the sheet did not cover the glass
// touch the page edge; turned light while the marks are searched, they
// cannot outweigh the marks. Measured on the page as it is: per column the
// ink from the top down over the top half and from the bottom up over the
// bottom half, per row from the left over the left half and from the right
// over the right half.
struct EdgeMargins {
  int32_t* top = nullptr;  // one block: top, bottom (width each), left, right (height each)
  int32_t* bottom = nullptr;
  int32_t* left = nullptr;
  int32_t* right = nullptr;
};

// Rows are stored bottom-up: the next row down the page lies one stride lower.
int32_t InkDownColumn(const BilevelPage* page, int32_t x, int32_t from, int32_t end, int32_t step) {
  const uint8_t* byte = BilevelRow(page, from) + (x >> 3);
  uint8_t bit = static_cast<uint8_t>(0x80 >> (x & 7));
  ptrdiff_t stride = -static_cast<ptrdiff_t>(page->stride) * step;
  int32_t count = 0;
  for (int32_t y = from; y != end && !(*byte & bit); y += step, byte += stride) ++count;
  return count;
}

bool MeasureMargins(const BilevelPage* page, MessageLog* log, EdgeMargins* m) {
  int32_t w = page->width, h = page->height;
  auto* block =
      static_cast<int32_t*>(AllocateOrReport(log, (2 * size_t(w) + 2 * size_t(h)) * sizeof(int32_t)));
  if (!block) return false;
  *m = EdgeMargins{block, block + w, block + 2 * size_t(w), block + 2 * size_t(w) + h};
  for (int32_t x = 0; x < w; ++x) {
    m->top[x] = InkDownColumn(page, x, 0, h / 2, 1);
    m->bottom[x] = InkDownColumn(page, x, h - 1, h / 2 - 1, -1);
  }
  for (int32_t y = 0; y < h; ++y) {
    m->left[y] = NextBitChange(BilevelRow(page, y), page->stride, 0, w / 2, 0);
    int32_t x = w - 1;
    while (x >= w / 2 && IsInk(page, x, y)) --x;
    m->right[y] = w - 1 - x;
  }
  return true;
}

void PaintColumn(const BilevelPage* page, int32_t x, int32_t y0, int32_t y1, bool light) {
  if (y0 >= y1) return;
  uint8_t* byte = BilevelRow(page, y0) + (x >> 3);
  uint8_t bit = static_cast<uint8_t>(0x80 >> (x & 7));
  for (int32_t y = y0; y < y1; ++y, byte -= page->stride)
    *byte = static_cast<uint8_t>(light ? *byte | bit : *byte & ~bit);
}

void PaintRow(const BilevelPage* page, int32_t y, int32_t x0, int32_t x1, bool light) {
  if (x0 >= x1) return;
  uint8_t* row = BilevelRow(page, y);
  for (int32_t x = x0; x < x1;) {
    if ((x & 7) == 0 && x + 8 <= x1) {
      int32_t bytes = (x1 - x) >> 3;
      memset(row + (x >> 3), light ? 0xFF : 0x00, static_cast<size_t>(bytes));
      x += bytes * 8;
      continue;
    }
    uint8_t bit = static_cast<uint8_t>(0x80 >> (x & 7));
    row[x >> 3] = static_cast<uint8_t>(light ? row[x >> 3] | bit : row[x >> 3] & ~bit);
    ++x;
  }
}

// Turns the margins light, or back to ink (all of them were ink before).
void PaintMargins(const BilevelPage* page, const EdgeMargins* m, bool light) {
  int32_t w = page->width, h = page->height;
  for (int32_t x = 0; x < w; ++x) {
    PaintColumn(page, x, 0, m->top[x], light);
    PaintColumn(page, x, h - m->bottom[x], h, light);
  }
  for (int32_t y = 0; y < h; ++y) {
    PaintRow(page, y, 0, m->left[y], light);
    PaintRow(page, y, w - m->right[y], w, light);
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
// Finds the marks; false when the margins could not be measured. With the
// debug trace on, the page keeps its cleaned margins and shows the corners.
bool Calibrate(OmrCalibration* calibration, const BilevelPage* page, OmrDebugFile* debug, int debugOn,
               MessageLog* log, OmrCorner corners[4]) {
  EdgeMargins margins;
  if (!MeasureMargins(page, log, &margins)) return false;
  // The search works on the page itself, cleaned for the time being, which
  // spares a copy of the whole page.
  PaintMargins(page, &margins, true);
  SearchCorners(page, debug, corners);
  if (!debugOn) PaintMargins(page, &margins, false);
  free(margins.top);
  for (int k = 0; k < 4; ++k) {
    calibration->corners[k] = OmrPoint{corners[k].x, corners[k].y};
    if (debugOn && corners[k].x >= 0 && corners[k].y >= 0) ShowCorner(page, corners[k]);
  }
  return true;
}

}  // namespace

void OMRInit(OmrCalibration* calibration, PageBitmap* bitmap, int32_t x, int32_t y, int32_t w, int32_t h,
             MessageLog* log) {
  *calibration = OmrCalibration{};
  for (OmrPoint& corner : calibration->corners) corner = OmrPoint{-1, -1};
  int debugOn = OmrDebugRequested();
  OmrDebugFile debug;
  if (debugOn) {
    OpenOmrDebug(&debug);
    OmrDebugPrint(&debug, "-------------\n");
    OmrDebugPrint(&debug, "OMR_Info: x=%ld, y=%ld, w=%ld, h=%ld\n", static_cast<long>(x),
                  static_cast<long>(y), static_cast<long>(w), static_cast<long>(h));
  }
  BilevelPage page;
  if (!ViewBilevel(bitmap, &page)) {
    CloseOmrDebug(&debug);
    return;
  }
  calibration->exists = 1;
  calibration->debug = debugOn;
  OmrCorner corners[4];
  if (Calibrate(calibration, &page, &debug, debugOn, log, corners)) {
    calibration->found = PlausibleShape(corners, page.width, page.height);
    OmrDebugPrint(&debug, "Box %sfound\n", calibration->found ? "" : "NOT ");
    for (int k = 0; k < 4; ++k) OmrDebugPrint(&debug, "cpt[%d] %d, %d\n", k, corners[k].x, corners[k].y);
  }
  CloseOmrDebug(&debug);
  if (!calibration->found) return;
  int64_t right = int64_t{x} + w - 1, bottom = int64_t{y} + h - 1;
  const OmrPoint reference[4] = {{x, y}, {right, y}, {right, bottom}, {x, bottom}};
  MakeTriangles(reference, calibration->reference);
  MakeTriangles(calibration->corners, calibration->page);
}

int MapReferencePoint(const OmrCalibration* calibration, int64_t x, int64_t y, OmrPoint* pagePoint) {
  return MapThroughTriangles(calibration->reference, calibration->page, x, y, pagePoint);
}

namespace {

struct SampleArea {
  int64_t x0, y0, x1, y1;  // inclusive
};

// Samples outside the reference triangles never map, so a box is first cut
// to their bounds; false when nothing is left or too much.
bool ClipToForm(const OmrCalibration* calibration, int32_t x, int32_t y, int32_t w, int32_t h,
                SampleArea* area) {
  int64_t minX = INT64_MAX, maxX = INT64_MIN, minY = INT64_MAX, maxY = INT64_MIN;
  for (const OmrTriangle& t : calibration->reference) {
    for (const OmrPoint& p : t.p) {
      minX = std::min(minX, p.x), maxX = std::max(maxX, p.x);
      minY = std::min(minY, p.y), maxY = std::max(maxY, p.y);
    }
  }
  *area = SampleArea{std::max<int64_t>(x, minX), std::max<int64_t>(y, minY),
                     std::min<int64_t>(int64_t{x} + w, maxX), std::min<int64_t>(int64_t{y} + h, maxY)};
  int64_t columns = area->x1 - area->x0 + 1, rows = area->y1 - area->y0 + 1;
  return columns > 0 && rows > 0 && columns <= kOmrMaximumSamples / rows;
}

}  // namespace

double OMRCheck(const OmrCalibration* calibration, PageBitmap* bitmap, int32_t x, int32_t y, int32_t w,
                int32_t h) {
  BilevelPage page;
  SampleArea area;
  if (!calibration->exists || !calibration->found || !ViewBilevel(bitmap, &page) ||
      !ClipToForm(calibration, x, y, w, h, &area)) {
    return 0;
  }
  OmrFastMapping mapping;
  PrepareFastMapping(calibration->reference, calibration->page, &mapping);
  OmrSamples samples;
  int64_t columns = area.x1 - area.x0 + 1;
  for (int64_t ry = area.y0; ry <= area.y1; ++ry)
    SampleRun(&mapping, &page, area.x0, ry, columns, 0, &samples);
  // A calibration made for debugging shows the sampled area on the page.
  for (int64_t ry = area.y0; calibration->debug && ry <= area.y1; ++ry) {
    SampleRun(&mapping, &page, area.x0, ry, columns, 1, &samples);
  }
  if (samples.mapped == 0) return 0;
  return static_cast<double>(static_cast<float>(samples.dark) / static_cast<float>(samples.mapped));
}
