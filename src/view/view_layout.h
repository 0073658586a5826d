// The decisions behind laying out and building a view, kept free of windows so
// that the image window, the magnifier and printing all make them the same way.
#pragma once

#include <cstdint>

#include "view/view_geometry.h"

struct MainLayoutInput {
  int32_t clientWidth = 1;  // the image window's client area, bars not yet taken off
  int32_t clientHeight = 1;
  int32_t verticalBarWidth = 0;  // system metrics, read once at library start
  int32_t horizontalBarHeight = 0;
  int32_t sizeMode = kSizeFitWidth;
  int32_t scaleIndex = 5;
  int32_t defaultScaleIndex = 5;  // the index of 100 percent
  int32_t pageWidth = 1;          // aspect-corrected page size at 100 percent
  int32_t pageHeight = 1;
};

struct MainLayout {
  int32_t targetWidth = 1;
  int32_t targetHeight = 1;
  int32_t verticalBar = 0;  // needed
  int32_t horizontalBar = 0;
  int32_t clientWidth = 1;  // what is left for the picture beside the needed bars
  int32_t clientHeight = 1;
};

// The main view's target size for the size mode and which scroll bars it needs.
MainLayout DecideMainLayout(const MainLayoutInput& input);

// The scroll position after a layout: optionally moved to the same relative
// place, then kept inside the view.
IntPoint PlaceScroll(int32_t viewWidth, int32_t viewHeight, const MainLayout& layout, IntPoint scroll,
                     int keepRelative, RealPoint relative);

struct RenderInput {
  int32_t kind = kViewMain;
  int32_t targetWidth = 1;
  int32_t targetHeight = 1;
  int32_t bitmapWidth = 1;  // the page bitmap, already turned
  int32_t bitmapHeight = 1;
  int32_t sizeMode = kSizeFitWidth;  // main view only
  int32_t scaleIndex = 5;
  int32_t defaultScaleIndex = 5;
  int32_t zoomIndex = 5;  // magnifier only
};

struct RenderChoice {
  int32_t method = kRenderPage;
  int32_t stretch = 0;
};

// How a view is drawn: the page bitmap as it is when the sizes agree, stretched
// by the device for enlargements, otherwise from a scaled bitmap of its own.
RenderChoice ChooseRenderMethod(const RenderInput& input);

// The magnifier's target size at its zoom level; the corrected flag becomes
// the view's stretch flag.
AspectResult MagnifierTargetSize(const PageBitmap* bitmap, int32_t zoomIndex, int fixRatio);
