#include "analysis/rubber_band.h"

#include "analysis/page_markup.h"
#include "viewer/viewer_instance.h"
#include "viewer/window_calls.h"

namespace {

// The band's rectangle is inclusive; the hook draws with exclusive edges.
void InvertBand(ViewerInstance* viewer) {
  const IntRect& r = viewer->input.band.rect;
  DrawBand(viewer, {r.left, r.top, r.right + 1, r.bottom + 1});
}

IntPoint Scrolled(const ViewerInstance* viewer, IntPoint client) {
  return {client.x + viewer->view.scroll.x, client.y + viewer->view.scroll.y};
}

IntPoint ImagePixelAt(const ViewerInstance* viewer, IntPoint scrolled) {
  return ViewToImagePixel(&viewer->view.mainView, &viewer->view.pageInfo, scrolled, 1);
}

bool WithinThreshold(IntPoint a, IntPoint b) {
  int64_t dx = int64_t{a.x} - b.x, dy = int64_t{a.y} - b.y;
  return dx >= -kBandDragThreshold && dx <= kBandDragThreshold && dy >= -kBandDragThreshold &&
         dy <= kBandDragThreshold;
}

}  // namespace

int BeginBand(ViewerInstance* viewer, IntPoint client) {
  if (IsRestricted(viewer, kRestrictMarks)) return 0;
  RubberBand& band = viewer->input.band;
  viewer->analysis.marksPresent = 1;
  band.start = Scrolled(viewer, client);
  band.startImage = ImagePixelAt(viewer, band.start);
  band.currentImage = band.startImage;
  band.state = kBandPressed;
  band.valid = 0;
  band.drawn = 0;
  CaptureMouse(viewer, kCaptureMouse);
  return 1;
}

void TrackBand(ViewerInstance* viewer, IntPoint client, int32_t clientWidth, int32_t clientHeight) {
  RubberBand& band = viewer->input.band;
  if (band.state != kBandPressed && band.state != kBandDragging) return;
  if (IsRestricted(viewer, kRestrictMarks)) return;
  if (band.state == kBandDragging) HideBand(viewer);
  IntPoint scrolled = Scrolled(viewer, client);
  band.currentImage = ImagePixelAt(viewer, scrolled);
  if (band.state == kBandPressed) {
    if (WithinThreshold(scrolled, band.start)) return;
    band.state = kBandDragging;
  }
  band.rect = ImagePointsToViewRect(&viewer->view.mainView, &viewer->view.pageInfo, band.startImage,
                                    band.currentImage);
  band.valid = 1;
  ShowBand(viewer);
  // Dragging past the edge of the window pulls the picture along.
  if (client.y >= clientHeight) {
    ScrollLine(viewer, 1, 1);
  } else if (client.y < 0) {
    ScrollLine(viewer, 1, 0);
  }
  if (client.x >= clientWidth) {
    ScrollLine(viewer, 0, 1);
  } else if (client.x < 0) {
    ScrollLine(viewer, 0, 0);
  }
}

void ShowBand(ViewerInstance* viewer) {
  RubberBand& band = viewer->input.band;
  if (band.state != kBandDragging || !band.valid || band.drawn) return;
  InvertBand(viewer);
  band.drawn = 1;
}

void HideBand(ViewerInstance* viewer) {
  RubberBand& band = viewer->input.band;
  if (!band.drawn) return;
  InvertBand(viewer);
  band.drawn = 0;
}

void EndBand(ViewerInstance* viewer, int cancel) {
  RubberBand& band = viewer->input.band;
  int32_t state = band.state;
  int valid = band.valid;
  CaptureMouse(viewer, kReleaseMouse);
  HideBand(viewer);
  band.state = kBandIdle;
  band.valid = 0;
  if (state == kBandPressed) {
    // A click without a drag in crop mode takes the crop away.
    if (viewer->settings.mouseMode == kMouseCrop) ClearCrop(viewer, viewer->download.currentDirectory, 1);
    return;
  }
  if (state != kBandDragging || cancel || !valid) return;
  // Fewer than 4 view pixels either way is a slip of the hand, not a mark.
  if (int64_t{band.rect.right} - band.rect.left <= 2 || int64_t{band.rect.bottom} - band.rect.top <= 2)
    return;
  IntRect rect = NormalizeRect(band.startImage, band.currentImage);
  if (viewer->settings.mouseMode == kMouseWhiteout) {
    if (AddWhiteout(viewer, rect)) Invalidate(viewer, kEraseBackground);
  } else if (viewer->settings.mouseMode == kMouseCrop) {
    SetCrop(viewer, viewer->download.currentDirectory, rect, 1);
  }
}
