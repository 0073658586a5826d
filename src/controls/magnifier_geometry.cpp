#include "controls/magnifier_geometry.h"

#include <algorithm>
#include <cmath>
#include <iterator>

#include "common/saturated.h"
#include "viewer/page_view.h"
#include "viewer/window_input.h"

namespace {

// A magnified page shorter than this is placed as if it were this long, so
// that the pointer mapping never divides by a vanishing slack.
constexpr int32_t kShortestMagnified = 74;

constexpr ScreenRect kDefaultCustomRect{10, 10, 410, 410};

int32_t Truncated(double value) {
  if (!(value > INT32_MIN)) return INT32_MIN;
  if (!(value < INT32_MAX)) return INT32_MAX;
  return static_cast<int32_t>(value);
}

// Keeps the user's rectangle on the desktop: a value beyond it is taken to
// its edge, and the window keeps at least one pixel.
ScreenRect ClampToDesktop(ScreenRect r, ScreenRect desktop) {
  if (WidthOf(desktop) < 1 || HeightOf(desktop) < 1) return r;
  r.left = std::clamp(r.left, desktop.left, desktop.right - 1);
  r.top = std::clamp(r.top, desktop.top, desktop.bottom - 1);
  r.right = std::clamp(r.right, r.left + 1, desktop.right);
  r.bottom = std::clamp(r.bottom, r.top + 1, desktop.bottom);
  return r;
}

}  // namespace

MagnifierFrame ChooseMagnifierFrame(int32_t zoomSize, int rectGiven) {
  MagnifierFrame frame;
  frame.size = zoomSize == 6 && !rectGiven ? 2 : zoomSize;
  const int32_t z = frame.size;
  frame.fullMonitor = frame.topmost = z == 4 || z == 5;
  frame.framed = z != 5;
  frame.margin = z == 1 || z == 3 || z == 4 || z == 5 || z == 6 ? 0 : 5;
  frame.custom = z == 6;
  return frame;
}

MonitorChoice ChooseMonitor(int32_t zoomMonitor, int centred, IntPoint pointer, IntPoint zoomLocation) {
  MonitorChoice choice;
  if (zoomMonitor == 0) {
    choice.query = centred ? kAreaNearWindow : kAreaNearPoint;
    choice.point = pointer;
  } else if (zoomMonitor == 2) {
    choice.query = kAreaNearPoint;
    choice.point = zoomLocation;
  }
  return choice;
}

ScreenRect MagnifierWindowRect(const MagnifierFrame& frame, ScreenRect area, ScreenRect custom,
                               ScreenRect desktop) {
  if (frame.custom) {
    if (int64_t{custom.right} - custom.left < 1 || int64_t{custom.bottom} - custom.top < 1)
      custom = kDefaultCustomRect;
    return ClampToDesktop(custom, desktop);
  }
  ScreenRect r{Saturated(int64_t{area.left} + frame.margin), Saturated(int64_t{area.top} + frame.margin),
               Saturated(int64_t{area.right} - frame.margin), Saturated(int64_t{area.bottom} - frame.margin)};
  if (frame.size == 1) {
    // A band across the upper two thirds, clear of the sides.
    r.left = Saturated(int64_t{r.left} + 30);
    r.top = Saturated(int64_t{r.top} + 5);
    r.right = Saturated(int64_t{r.right} - 30);
    r.bottom = Saturated(int64_t{r.top} + 2 * int64_t{area.bottom} / 3);
  }
  r.right = std::max(r.right, Saturated(int64_t{r.left} + 1));
  r.bottom = std::max(r.bottom, Saturated(int64_t{r.top} + 1));
  return r;
}

int32_t OpeningPointer(double magnified, int32_t client, int32_t page) {
  double at;
  if (client >= page) {
    at = (client - page) * 0.5 + magnified;
  } else {
    const double m = std::max(page, kShortestMagnified);
    at = (kMagnifierBorder * (m - client) + magnified * (client - 2 * kMagnifierBorder)) /
         (m - 2 * kMagnifierBorder);
  }
  return std::clamp(Truncated(at), 0, std::max(client - 1, 0));
}

double MagnifiedPosition(int32_t click, int32_t scroll, int32_t displayed, int32_t magnified) {
  return (static_cast<double>(click) + scroll) / std::max(displayed, 1) * magnified;
}

int32_t MagnifierOffset(int32_t pointer, int32_t client, int32_t page) {
  const int32_t slack = std::max(Saturated(int64_t{page} - client), 0);
  if (slack == 0) return 0;
  // A window no wider than both borders maps its whole extent.
  const int32_t span = std::max(client - 2 * kMagnifierBorder, 1);
  const double share = (static_cast<double>(pointer) - kMagnifierBorder) / span;
  return std::clamp(Truncated(share * slack), 0, slack);
}

int32_t MagnifierOrigin(int32_t offset, int32_t client, int32_t page) {
  return client < page ? -offset : (client - page) / 2;
}

MagnifierKey DecideMagnifierKey(int32_t key) {
  struct Row {
    int32_t key;
    MagnifierKey action;
  };
  // clang-format off
  static constexpr Row kKeys[] = {
      {0x1B, {1, 1, 0, 0}},              // Escape
      {kKeyPageUp, {1, 0, kStepPrevious, 0}},
      {kKeyPageDown, {1, 0, kStepNext, 0}},
      {kKeyHome, {1, 0, kStepFirst, 0}},
      {kKeyEnd, {1, 0, kStepLast, 0}},
      {0x6B, {1, 0, 0, -1}},             // numeric-pad add
      {0xBB, {1, 0, 0, -1}},             // the plus key of the main block
      {0x6D, {1, 0, 0, 1}},              // numeric-pad subtract
      {0xBD, {1, 0, 0, 1}},              // the minus key of the main block
  };
  // clang-format on
  for (const Row& row : kKeys) {
    if (row.key == key) return row.action;
  }
  return MagnifierKey{};
}

int32_t MagnifierWheelLevel(int32_t* accumulator, int32_t delta, int32_t direction, int32_t level) {
  return ClampZoomIndex(level + WheelLevelSteps(accumulator, delta, direction));
}

int ShouldStoreMagnifierLevel(int32_t levelAtOpening, int32_t level, int settingsLocked) {
  return level != levelAtOpening && !settingsLocked;
}
