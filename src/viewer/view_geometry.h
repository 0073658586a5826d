// The arithmetic every view of a page shares: the codes for orientation, size
// and mouse modes, the scale and zoom tables, and the mappings between image
// space (pixels of the decoded page before the viewer turns it) and view space
// (pixels of one view). Marks live in image space so that they stay on the same
// picture content whatever the view.
#pragma once

#include <cstdint>

#include "document/page_bitmap.h"
#include "document/page_directory.h"

// Where the top edge of the decoded page ends up.
enum Orientation : int32_t { kOrientTop = 0, kOrientRight = 1, kOrientBottom = 2, kOrientLeft = 3 };
enum SizeMode : int32_t { kSizeFixed = 0, kSizeFitWidth = 1, kSizeFitHeight = 2, kSizeBestFit = 3 };
enum MouseMode : int32_t {
  kMouseZoom = 0,
  kMousePan = 1,
  kMouseNone = 2,
  kMouseWhiteout = 3,
  kMouseCrop = 4,
  kMouseDraw = 5,
  kMouseErase = 6,
};
enum ViewKind : int32_t { kViewMain = 1, kViewMagnifier = 2, kViewPrinted = 3, kViewBurnedCopy = 4 };
enum RenderMethod : int32_t {
  kRenderOwnBitmap = 0,  // the view's display bitmap, 1:1
  kRenderPage = 1,       // the page bitmap, 1:1 (same size)
  kRenderStretched = 2,  // the page bitmap, stretched by the device at paint time
};

constexpr int32_t kScaleCount = 13;
constexpr int32_t kZoomCount = 15;
extern const double kScaleFactors[kScaleCount];  // main view, largest first
extern const double kZoomFactors[kZoomCount];    // magnifier, largest first

// Percent of a table index (clamped into the table), and the index whose whole
// percent is nearest: on equal distance the later, smaller factor wins.
int32_t TablePercent(const double* factors, int32_t count, int32_t index);
int32_t TableIndex(const double* factors, int32_t count, int32_t percent);
int32_t ScalePercent(int32_t index);
int32_t ScaleIndex(int32_t percent);
int32_t ZoomPercent(int32_t index);
int32_t ZoomIndex(int32_t percent);
int32_t ClampScaleIndex(int32_t index);
int32_t ClampZoomIndex(int32_t index);

struct IntPoint {
  int32_t x = 0;
  int32_t y = 0;
};
struct RealPoint {
  double x = 0;
  double y = 0;
};
// Inclusive: right and bottom name pixels inside, so the width is right - left + 1.
struct IntRect {
  int32_t left = 0;
  int32_t top = 0;
  int32_t right = 0;
  int32_t bottom = 0;
};
struct IntSize {
  int32_t width = 0;
  int32_t height = 0;
};

// One picture of the current page: the main window, the magnifier, a printed
// page or a page copy with the marks burned in.
struct ViewState {
  int32_t kind = kViewMain;
  int32_t width = 0;  // in the current orientation
  int32_t height = 0;
  PageBitmap displayBitmap;  // owned, when the view has a scaled bitmap of its own
  int32_t orientation = kOrientTop;
  uint32_t originX = 0;  // device position of the view's pixel (0, 0) when marks are painted
  uint32_t originY = 0;
  int32_t renderMethod = kRenderPage;
  int32_t stretch = 0;  // the device stretch serves an enlarged fit or pixel-aspect correction
};

void InitView(ViewState* view, int32_t kind);
// Frees the display bitmap; the page bitmap is then drawn as it is.
void ReleaseViewBitmap(ViewState* view);

// The mappings use the view's size and orientation and the decoded page's size
// from `info`. Points outside are clamped, so they never fail.
IntPoint ImageToView(const ViewState* view, const PageInfo* info, RealPoint image);
RealPoint ViewToImage(const ViewState* view, const PageInfo* info, IntPoint point, int clamp);
IntPoint ViewToImagePixel(const ViewState* view, const PageInfo* info, IntPoint point, int clamp);
IntRect ImageRectToView(const ViewState* view, const PageInfo* info, IntRect rect);
IntRect NormalizeRect(IntPoint a, IntPoint b);
IntRect NormalizeRect(IntRect rect);
// The view rectangle covered by the image pixels spanned by two image points.
IntRect ImagePointsToViewRect(const ViewState* view, const PageInfo* info, IntPoint a, IntPoint b);

struct AspectResult {
  int32_t width = 1;
  int32_t height = 1;
  int32_t corrected = 0;  // the two pixel densities differed and one side was stretched
};
// The bitmap's size at `factor`; with `fixRatio` unequal pixel densities (up to
// a ratio of 10) are evened out by stretching the side with the lower density.
AspectResult AspectSize(const PageBitmap* bitmap, double factor, int fixRatio);
// The largest size of the picture's shape inside the client area.
IntSize FitSize(int32_t clientWidth, int32_t clientHeight, int32_t width, int32_t height);
