#include "view/view_layout.h"

#include <cstdint>

namespace {

int32_t AtLeastOne(int32_t value) { return value < 1 ? 1 : value; }

int32_t Scaled(int32_t side, double factor) {
  double value = side * factor + 0.5;
  return value >= INT32_MAX ? INT32_MAX : static_cast<int32_t>(value);
}

void FixedScale(const MainLayoutInput& in, int32_t cw, int32_t ch, MainLayout* out) {
  int32_t index = ClampScaleIndex(in.scaleIndex);
  if (index == in.defaultScaleIndex) {
    out->targetWidth = in.pageWidth;
    out->targetHeight = in.pageHeight;
  } else {
    out->targetWidth = Scaled(in.pageWidth, kScaleFactors[index]);
    out->targetHeight = Scaled(in.pageHeight, kScaleFactors[index]);
  }
  // One bar takes room from the other direction, which may then need its bar too.
  if (out->targetWidth > cw) {
    out->horizontalBar = 1;
    out->verticalBar = out->targetHeight > ch - in.horizontalBarHeight;
  } else if (out->targetHeight > ch) {
    out->verticalBar = 1;
    out->horizontalBar = out->targetWidth > cw - in.verticalBarWidth;
  }
}

}  // namespace

MainLayout DecideMainLayout(const MainLayoutInput& in) {
  MainLayout out;
  int32_t cw = AtLeastOne(in.clientWidth), ch = AtLeastOne(in.clientHeight);
  int32_t iw = AtLeastOne(in.pageWidth), ih = AtLeastOne(in.pageHeight);
  switch (in.sizeMode) {
    case kSizeFixed:
      FixedScale(in, cw, ch, &out);
      break;
    case kSizeBestFit: {
      IntSize fit = FitSize(cw, ch, iw, ih);
      out.targetWidth = fit.width;
      out.targetHeight = fit.height;
      break;
    }
    case kSizeFitWidth: {
      IntSize fit = FitSize(cw, ch, iw, ih);
      int32_t width = cw - in.verticalBarWidth;
      if (width <= fit.width) {
        out.targetWidth = fit.width;
        out.targetHeight = fit.height;
      } else {
        out.targetWidth = width;
        out.targetHeight = Scaled(width, static_cast<double>(ih) / iw);
        out.verticalBar = 1;
      }
      break;
    }
    case kSizeFitHeight: {
      IntSize fit = FitSize(cw, ch, iw, ih);
      int32_t height = ch - in.horizontalBarHeight;
      if (height <= fit.height) {
        out.targetWidth = fit.width;
        out.targetHeight = fit.height;
      } else {
        out.targetHeight = height;
        out.targetWidth = Scaled(height, static_cast<double>(iw) / ih);
        out.horizontalBar = 1;
      }
      break;
    }
    default:
      out.targetWidth = 0;
      out.targetHeight = 0;
      break;
  }
  out.clientWidth = AtLeastOne(out.verticalBar ? cw - in.verticalBarWidth : cw);
  out.clientHeight = AtLeastOne(out.horizontalBar ? ch - in.horizontalBarHeight : ch);
  out.targetWidth = AtLeastOne(out.targetWidth);
  out.targetHeight = AtLeastOne(out.targetHeight);
  return out;
}

IntPoint PlaceScroll(int32_t viewWidth, int32_t viewHeight, const MainLayout& layout, IntPoint scroll,
                     int keepRelative, RealPoint relative) {
  if (keepRelative) {
    scroll.x = Scaled(viewWidth, relative.x);
    scroll.y = Scaled(viewHeight, relative.y);
  }
  int32_t maxX = viewWidth - layout.clientWidth, maxY = viewHeight - layout.clientHeight;
  if (maxX < 0) maxX = 0;
  if (maxY < 0) maxY = 0;
  if (scroll.x > maxX) scroll.x = maxX;
  if (scroll.y > maxY) scroll.y = maxY;
  return scroll;
}

RenderChoice ChooseRenderMethod(const RenderInput& in) {
  RenderChoice choice;
  if (in.targetWidth == in.bitmapWidth && in.targetHeight == in.bitmapHeight) return choice;
  if (in.kind == kViewMain) {
    if (in.sizeMode == kSizeFixed && in.scaleIndex < in.defaultScaleIndex) {
      choice.method = kRenderStretched;
      return choice;
    }
    // Enlarging a small page to fit is left to the device's stretch.
    if ((in.sizeMode == kSizeFitWidth || in.sizeMode == kSizeFitHeight) && in.bitmapWidth < in.targetWidth &&
        in.bitmapHeight < in.targetHeight) {
      choice.method = kRenderStretched;
      choice.stretch = 1;
      return choice;
    }
  }
  if (in.kind == kViewMagnifier && kZoomFactors[ClampZoomIndex(in.zoomIndex)] > 1.001) {
    choice.method = kRenderStretched;
    return choice;
  }
  choice.method = kRenderOwnBitmap;
  return choice;
}

AspectResult MagnifierTargetSize(const PageBitmap* bitmap, int32_t zoomIndex, int fixRatio) {
  return AspectSize(bitmap, kZoomFactors[ClampZoomIndex(zoomIndex)], fixRatio);
}
