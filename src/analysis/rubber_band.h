// The rubber band that the user drags to make a white-out or crop rectangle.
// The band is tracked in image space, so scrolling during the drag keeps its
// anchor on the picture.
#pragma once

#include <cstdint>

#include "viewer/view_geometry.h"

struct ViewerInstance;

enum BandState : int32_t { kBandIdle = 0, kBandPressed = 1, kBandDragging = 2 };

// A pointer moving at most this far from the press, in both directions, is
// still a click.
constexpr int32_t kBandDragThreshold = 3;

struct RubberBand {
  int32_t state = kBandIdle;
  int32_t valid = 0;
  int32_t drawn = 0;
  IntPoint start;  // scrolled view coordinates: client point plus scroll position
  IntPoint startImage;
  IntPoint currentImage;
  IntRect rect;  // view space, inclusive
};

// Client points are relative to the image window's client area.
int BeginBand(ViewerInstance* viewer, IntPoint client);
// `clientWidth` x `clientHeight` is the client area; outside it the view scrolls a line.
void TrackBand(ViewerInstance* viewer, IntPoint client, int32_t clientWidth, int32_t clientHeight);
void EndBand(ViewerInstance* viewer, int cancel);
// The band is drawn by inverting, so each drawing toggles it.
void ShowBand(ViewerInstance* viewer);
void HideBand(ViewerInstance* viewer);
