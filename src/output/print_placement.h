// Where a page lands on the paper: true size when the file says how large it
// is and it fits, otherwise fitted to the printable area keeping its shape;
// optionally centred on the paper and turned a quarter when that prints larger.
#pragma once

#include <cstdint>

// The printer context's own figures, in device pixels (densities in dots per inch).
struct DeviceMetrics {
  int32_t horzRes = 0;  // printable width
  int32_t vertRes = 0;
  int32_t physicalWidth = 0;  // the whole sheet
  int32_t physicalHeight = 0;
  int32_t physicalOffsetX = 0;  // unprintable left and top margins
  int32_t physicalOffsetY = 0;
  int32_t logPixelsX = 0;
  int32_t logPixelsY = 0;
};

struct PrintLayout {
  int32_t full = 0;        // always fit, never true size
  int32_t center = 0;      // centred on the paper instead of the top-left of the printable area
  int32_t autoRotate = 0;  // turn a quarter when that prints more than 1 % larger
};

// The page as the printer context draws it; x and y are relative to the
// printable area's top-left corner.
struct PlacedPrint {
  int32_t x = 0;
  int32_t y = 0;
  int32_t width = 1;
  int32_t height = 1;
  int32_t rotated = 0;  // the bitmap must be turned a quarter clockwise first
  int32_t trueSize = 0;
  double widthMm = 0;
  double heightMm = 0;
};

// `width` and `height` in bitmap pixels, densities in pixels per metre from the
// bitmap header, `resolutionUnit` the page's (1 says the densities have no
// absolute unit). Degenerate figures (no pixels, no printable area, no device
// density) still give a placement of at least one device pixel inside the area.
PlacedPrint PrintPlacement(int32_t width, int32_t height, int32_t xPixelsPerMetre, int32_t yPixelsPerMetre,
                           int32_t resolutionUnit, const DeviceMetrics& device, const PrintLayout& layout);
