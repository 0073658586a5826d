#include "view/view_geometry.h"

#include <cmath>
#include <cstdlib>
#include <limits>

const double kScaleFactors[kScaleCount] = {16, 8, 4, 3, 2, 1, 0.7, 0.5, 0.33, 0.25, 0.17, 0.1, 0.05};
const double kZoomFactors[kZoomCount] = {16, 8, 4, 3, 2, 1, 0.9, 0.8, 0.7, 0.6, 0.5, 0.4, 0.3, 0.2, 0.1};

namespace {

// Floor, then at most `maximum`, then at least 0 (a NaN counts as 0).
int32_t FloorInto(double value, int32_t maximum) {
  double r = std::floor(value);
  if (r > maximum) r = maximum;
  if (!(r >= 0)) r = 0;
  return static_cast<int32_t>(r);
}

// Whole-number conversion that cannot overflow: huge values stop at the limits.
int32_t ToInt(double value) {
  if (!(value > std::numeric_limits<int32_t>::min())) return std::numeric_limits<int32_t>::min();
  if (value >= std::numeric_limits<int32_t>::max()) return std::numeric_limits<int32_t>::max();
  return static_cast<int32_t>(value);
}

// Page sizes of 0 (no page yet) would divide by zero; a 1 x 1 page maps the same.
double PageSide(uint32_t side) { return side ? static_cast<double>(side) : 1.0; }
double ViewSide(int32_t side) { return side > 0 ? static_cast<double>(side) : 1.0; }

}  // namespace

int32_t TablePercent(const double* factors, int32_t count, int32_t index) {
  if (count < 1) return 0;
  if (index < 0) index = 0;
  if (index >= count) index = count - 1;
  return static_cast<int32_t>(factors[index] * 100 + 0.5);
}

int32_t TableIndex(const double* factors, int32_t count, int32_t percent) {
  if (count < 2) return 0;
  int32_t best = 0;
  int64_t bestDistance = std::numeric_limits<int64_t>::max();
  for (int32_t i = 0; i < count; ++i) {
    int64_t distance = std::llabs(static_cast<int64_t>(factors[i] * 100) - percent);
    if (distance <= bestDistance) {  // "<=": the later index wins a tie
      best = i;
      bestDistance = distance;
    }
  }
  return best;
}

int32_t ScalePercent(int32_t index) { return TablePercent(kScaleFactors, kScaleCount, index); }
int32_t ScaleIndex(int32_t percent) { return TableIndex(kScaleFactors, kScaleCount, percent); }
int32_t ZoomPercent(int32_t index) { return TablePercent(kZoomFactors, kZoomCount, index); }
int32_t ZoomIndex(int32_t percent) { return TableIndex(kZoomFactors, kZoomCount, percent); }

int32_t ClampScaleIndex(int32_t index) {
  return index < 0 ? 0 : index >= kScaleCount ? kScaleCount - 1 : index;
}
int32_t ClampZoomIndex(int32_t index) { return index < 0 ? 0 : index >= kZoomCount ? kZoomCount - 1 : index; }

void InitView(ViewState* view, int32_t kind) {
  ReleasePageBitmap(&view->displayBitmap);
  *view = ViewState{};
  view->kind = kind;
}

void ReleaseViewBitmap(ViewState* view) {
  ReleasePageBitmap(&view->displayBitmap);
  view->renderMethod = kRenderPage;
}

IntPoint ImageToView(const ViewState* view, const PageInfo* info, RealPoint image) {
  double w = PageSide(info->width), h = PageSide(info->height);
  double W = ViewSide(view->width), H = ViewSide(view->height);
  double fx = image.x / w, fy = image.y / h;
  double vx, vy;
  switch (view->orientation) {
    case kOrientRight:
      vx = (1 - fy) * W;
      vy = fx * H;
      break;
    case kOrientBottom:
      vx = (1 - fx) * W;
      vy = (1 - fy) * H;
      break;
    case kOrientLeft:
      vx = fy * W;
      vy = (1 - fx) * H;
      break;
    default:
      vx = fx * W;
      vy = fy * H;
      break;
  }
  return {FloorInto(vx, view->width - 1), FloorInto(vy, view->height - 1)};
}

RealPoint ViewToImage(const ViewState* view, const PageInfo* info, IntPoint point, int clamp) {
  double w = PageSide(info->width), h = PageSide(info->height);
  double W = ViewSide(view->width), H = ViewSide(view->height);
  double vx = point.x, vy = point.y;
  RealPoint image;
  switch (view->orientation) {
    case kOrientRight:
      image = {(vy + 0.5) / H * w, (W - 0.5 - vx) / W * h};
      break;
    case kOrientBottom:
      image = {(W - 0.5 - vx) / W * w, (H - 0.5 - vy) / H * h};
      break;
    case kOrientLeft:
      image = {(H - 0.5 - vy) / H * w, (vx + 0.5) / W * h};
      break;
    default:
      image = {(vx + 0.5) / W * w, (vy + 0.5) / H * h};
      break;
  }
  if (clamp) {
    if (image.x > w - 0.000001) image.x = w - 0.000001;
    if (image.y > h - 0.000001) image.y = h - 0.000001;
    if (image.x < 0) image.x = 0;
    if (image.y < 0) image.y = 0;
  }
  return image;
}

IntPoint ViewToImagePixel(const ViewState* view, const PageInfo* info, IntPoint point, int clamp) {
  RealPoint image = ViewToImage(view, info, point, clamp);
  return {ToInt(std::floor(image.x)), ToInt(std::floor(image.y))};
}

IntRect NormalizeRect(IntPoint a, IntPoint b) {
  return {a.x < b.x ? a.x : b.x, a.y < b.y ? a.y : b.y, a.x < b.x ? b.x : a.x, a.y < b.y ? b.y : a.y};
}

IntRect NormalizeRect(IntRect rect) {
  return NormalizeRect({rect.left, rect.top}, {rect.right, rect.bottom});
}

IntRect ImageRectToView(const ViewState* view, const PageInfo* info, IntRect rect) {
  // Just inside the first pixel and just inside the far edge of the last one,
  // so that a turned view still covers exactly the pixels of the rectangle.
  IntPoint a = ImageToView(view, info, {rect.left + 0.000001, rect.top + 0.000001});
  IntPoint b = ImageToView(view, info, {rect.right + 0.999999, rect.bottom + 0.999999});
  return NormalizeRect(a, b);
}

IntRect ImagePointsToViewRect(const ViewState* view, const PageInfo* info, IntPoint a, IntPoint b) {
  return ImageRectToView(view, info, NormalizeRect(a, b));
}

AspectResult AspectSize(const PageBitmap* bitmap, double factor, int fixRatio) {
  AspectResult result;
  if (!bitmap || !bitmap->block) return result;
  const BitmapHeader* header = HeaderOf(bitmap);
  double width = std::abs(static_cast<double>(header->width));
  double height = std::abs(static_cast<double>(header->height));
  int64_t xDensity = header->xPixelsPerMetre, yDensity = header->yPixelsPerMetre;
  // Beyond a ratio of 10 the densities are more likely wrong than the page.
  if (fixRatio && xDensity > 0 && yDensity > 0 && xDensity <= 10 * yDensity && yDensity <= 10 * xDensity) {
    if (xDensity < yDensity) width *= static_cast<double>(yDensity) / static_cast<double>(xDensity);
    if (yDensity < xDensity) height *= static_cast<double>(xDensity) / static_cast<double>(yDensity);
    result.corrected = xDensity != yDensity;
  }
  result.width = ToInt(width * factor + 0.5);
  result.height = ToInt(height * factor + 0.5);
  if (result.width < 1) result.width = 1;
  if (result.height < 1) result.height = 1;
  return result;
}

IntSize FitSize(int32_t clientWidth, int32_t clientHeight, int32_t width, int32_t height) {
  double cw = clientWidth, ch = clientHeight;
  double iw = width > 0 ? width : 1, ih = height > 0 ? height : 1;
  IntSize size;
  if (ch / ih <= cw / iw) {
    size.height = clientHeight;
    size.width = ToInt(ch / ih * iw + 0.5);
  } else {
    size.width = clientWidth;
    size.height = ToInt(ih * cw / iw + 0.5);
  }
  if (size.width > clientWidth) size.width = clientWidth;
  if (size.height > clientHeight) size.height = clientHeight;
  if (size.width < 1) size.width = 1;
  if (size.height < 1) size.height = 1;
  return size;
}
