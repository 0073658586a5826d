#include "document/scale_for_display.h"

#include <cstring>

#include "document/area_average.h"
#include "document/bitmap_ops.h"
#include "document/block_average.h"
#include "document/grey_reduction.h"
#include "document/stretch_copy.h"

namespace {

// Below these the averaging filters are not worth it (tiny targets) or the
// cheaper block mean is (mean scale at most kAreaAverageAbove).
constexpr double kSmallestSmoothedScale = 0.005;
constexpr double kAreaAverageAbove = 0.09;

int Created(int ok, PageBitmap* target) {
  if (!ok) ReleasePageBitmap(target);
  return ok;
}

int GreyFromBilevel(const RasterSettings* settings, MessageLog* log, const PageBitmap* source,
                    PageBitmap* target, int32_t width, int32_t height) {
  if (!CreatePageBitmap(settings, log, target, width, height, 8, 0)) return 0;
  const uint8_t* entry0 = ColourTableOf(source);
  if (source->greyRamp) {
    // A value is the share of 1 pixels; where 0 is the light colour the ramp
    // runs the other way.
    const int reversed = entry0[0] != 0 || entry0[1] != 0 || entry0[2] != 0;
    MakeGreyRamp(target, 8, reversed);
    target->greyRamp = reversed ? 0 : 1;
  } else {
    MakeTwoColourBlend(source, target, 8);
  }
  return Created(ReduceToGrey(log, source, target), target);
}

int SmoothBilevel(const RasterSettings* settings, MessageLog* log, const PageBitmap* source,
                  PageBitmap* target, int32_t width, int32_t height) {
  const int32_t sourceWidth = HeaderOf(source)->width;
  const int32_t sourceHeight = HeaderOf(source)->height;
  if (width >= sourceWidth && height >= sourceHeight) return StretchCopy(source, target, width, height);
  if (width <= sourceWidth && height <= sourceHeight)
    return GreyFromBilevel(settings, log, source, target, width, height);
  // Enlarged one way only: repeat pixels that way first (to at least twice
  // the size, so the reduction has two samples per target pixel), then reduce.
  PageBitmap wide;
  int32_t wideWidth = sourceWidth, wideHeight = sourceHeight;
  if (width > sourceWidth) wideWidth = width > 2 * sourceWidth ? width : 2 * sourceWidth;
  if (height > sourceHeight) wideHeight = height > 2 * sourceHeight ? height : 2 * sourceHeight;
  if (!StretchCopy(source, &wide, wideWidth, wideHeight)) return 0;
  int ok = GreyFromBilevel(settings, log, &wide, target, width, height);
  ReleasePageBitmap(&wide);
  return ok;
}

int SmoothColour(const RasterSettings* settings, MessageLog* log, const PageBitmap* source,
                 PageBitmap* target, int32_t width, int32_t height) {
  const BitmapHeader* in = HeaderOf(source);
  const double fx = double(width) / in->width, fy = double(height) / in->height;
  const double minimum = fx < fy ? fx : fy, mean = (fx + fy) / 2;
  if (width > in->width || height > in->height || width <= 2 || height <= 2 ||
      minimum < kSmallestSmoothedScale)
    return StretchCopy(source, target, width, height);
  const bool area = mean > kAreaAverageAbove;
  const int32_t n = BlockSizeFor(minimum);
  if (in->bitCount == 24) {
    if (!CreatePageBitmap(settings, log, target, width, height, 24, 0)) return 0;
    return Created(area ? AreaAverage(log, source, target) : BlockAverage(log, source, target, n), target);
  }
  if (in->bitCount == 8 && source->greyRamp) {
    if (!CreatePageBitmap(settings, log, target, width, height, 8, 0)) return 0;
    CopyColourTable(source, target);
    return Created(area ? AreaAverage(log, source, target) : BlockAverage(log, source, target, n), target);
  }
  if (in->bitCount == 4 || in->bitCount == 8) {
    const bool grey = source->greyRamp || source->twoBit;
    if (!CreatePageBitmap(settings, log, target, width, height, grey ? 8 : 24, 0)) return 0;
    if (grey) {
      MakeGreyRamp(target, 8, 0);
      target->greyRamp = 1;
    }
    return Created(PaletteBlockAverage(log, source, target, n), target);
  }
  return StretchCopy(source, target, width, height);
}

}  // namespace

int ScaleForDisplay(const RasterSettings* settings, MessageLog* log, const PageBitmap* source,
                    PageBitmap* target, int32_t width, int32_t height, int force) {
  if (!source || !source->block || !target || target == source) return 0;
  // A zero size would divide by zero in the reductions; the smallest picture
  // is one pixel.
  if (width < 1) width = 1;
  if (height < 1) height = 1;
  const BitmapHeader* in = HeaderOf(source);
  const bool smooth = (settings && settings->resample) || force;
  if ((width == in->width && height == in->height) || !smooth)
    return StretchCopy(source, target, width, height);
  if (in->bitCount == 1) return SmoothBilevel(settings, log, source, target, width, height);
  return SmoothColour(settings, log, source, target, width, height);
}
