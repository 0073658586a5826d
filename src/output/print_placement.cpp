#include "output/print_placement.h"

#include <algorithm>
#include <cmath>

namespace {

constexpr double kMmPerInch = 25.4;

struct Box {
  int32_t width;
  int32_t height;
  double widthMm;
  double heightMm;
};

// A density of 0 says nothing, and one side ten times denser than the other
// is taken for a damaged tag rather than a real scan.
int UsableResolution(int64_t x, int64_t y) { return x > 0 && y > 0 && x <= 10 * y && y <= 10 * x; }

int32_t AtLeastOne(int64_t value) {
  return value < 1 ? 1 : static_cast<int32_t>(std::min<int64_t>(value, INT32_MAX));
}

Box PrintableBox(const DeviceMetrics& d, const PrintLayout& layout) {
  int64_t width = d.horzRes, height = d.vertRes;
  if (layout.center) {
    // Equal margins on both sides, as large as the larger one, so the box is centred on the sheet.
    const int64_t m =
        std::max<int64_t>(d.physicalOffsetX, int64_t{d.physicalWidth} - d.physicalOffsetX - d.horzRes);
    const int64_t n =
        std::max<int64_t>(d.physicalOffsetY, int64_t{d.physicalHeight} - d.physicalOffsetY - d.vertRes);
    width -= 2 * m;
    height -= 2 * n;
  }
  Box box{AtLeastOne(width), AtLeastOne(height), 0, 0};
  box.widthMm = box.width / static_cast<double>(AtLeastOne(d.logPixelsX)) * kMmPerInch;
  box.heightMm = box.height / static_cast<double>(AtLeastOne(d.logPixelsY)) * kMmPerInch;
  return box;
}

int32_t Truncated(double value) {
  if (!(value >= 1)) return 1;  // also NaN
  return value >= INT32_MAX ? INT32_MAX : static_cast<int32_t>(value);
}

int32_t Centred(int32_t sheet, int32_t size, int32_t offset) {
  const int64_t position = (int64_t{sheet} - size) / 2 - offset;
  return static_cast<int32_t>(std::clamp<int64_t>(position, 0, INT32_MAX));
}

PlacedPrint PlaceOnce(int32_t w, int32_t h, int32_t x, int32_t y, int32_t unit, const DeviceMetrics& d,
                      const PrintLayout& layout) {
  const double pixelsW = std::max(w, 1), pixelsH = std::max(h, 1);
  const int usable = UsableResolution(x, y);
  const double wMm = usable ? pixelsW * 1000.0 / x : pixelsW;
  const double hMm = usable ? pixelsH * 1000.0 / y : pixelsH;
  const Box box = PrintableBox(d, layout);
  PlacedPrint p;
  if (!layout.full && usable && unit != 1 && wMm <= box.widthMm && hMm <= box.heightMm) {
    p.trueSize = 1;
    p.width = Truncated(wMm / box.widthMm * box.width);
    p.height = Truncated(hMm / box.heightMm * box.height);
  } else {
    const double a = box.heightMm / box.widthMm, b = hMm / wMm;
    p.width = a < b ? Truncated(a / b * box.width) : box.width;
    p.height = a > b ? Truncated(b / a * box.height) : box.height;
  }
  p.widthMm = p.width / static_cast<double>(AtLeastOne(d.logPixelsX)) * kMmPerInch;
  p.heightMm = p.height / static_cast<double>(AtLeastOne(d.logPixelsY)) * kMmPerInch;
  if (layout.center) {
    p.x = Centred(d.physicalWidth, p.width, d.physicalOffsetX);
    p.y = Centred(d.physicalHeight, p.height, d.physicalOffsetY);
  }
  return p;
}

}  // namespace

PlacedPrint PrintPlacement(int32_t width, int32_t height, int32_t xPixelsPerMetre, int32_t yPixelsPerMetre,
                           int32_t resolutionUnit, const DeviceMetrics& device, const PrintLayout& layout) {
  PlacedPrint upright =
      PlaceOnce(width, height, xPixelsPerMetre, yPixelsPerMetre, resolutionUnit, device, layout);
  if (!layout.autoRotate) return upright;
  PlacedPrint turned =
      PlaceOnce(height, width, yPixelsPerMetre, xPixelsPerMetre, resolutionUnit, device, layout);
  // A turn that gains 1 % or less is not worth a sideways page.
  if (turned.widthMm * turned.heightMm > 1.01 * upright.widthMm * upright.heightMm) {
    turned.rotated = 1;
    return turned;
  }
  return upright;
}
