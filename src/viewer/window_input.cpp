#include "viewer/window_input.h"

#include <algorithm>

#include "viewer/page_view.h"
#include "viewer/viewer_instance.h"

int32_t NextScrollPosition(int32_t position, int32_t clientExtent, int32_t viewExtent, int32_t code,
                           int32_t thumb) {
  int64_t page = clientExtent <= kPageOverlap ? kPageOverlap : int64_t{clientExtent} - kPageOverlap;
  int64_t next = position;
  switch (code) {
    case kScrollLineBack:
      next = int64_t{position} - kScrollLine;
      break;
    case kScrollLineForward:
      next = int64_t{position} + kScrollLine;
      break;
    case kScrollPageBack:
      next = position - page;
      break;
    case kScrollPageForward:
      next = position + page;
      break;
    case kScrollThumbPosition:
    case kScrollThumbTrack:
      next = thumb;
      break;
    case kScrollToStart:
      next = 0;
      break;
    case kScrollToEnd:
      next = viewExtent;
      break;
    default:
      break;
  }
  next = std::min<int64_t>(next, int64_t{viewExtent} - clientExtent);
  return static_cast<int32_t>(std::max<int64_t>(next, 0));
}

int32_t WheelLines(int32_t* accumulator, int32_t delta) {
  int32_t lines = 0;
  *accumulator += delta;
  while (*accumulator < -20) {
    ++lines;
    *accumulator += 40;
  }
  while (*accumulator >= 20) {
    --lines;
    *accumulator -= 40;
  }
  return lines;
}

int32_t WheelLevelSteps(int32_t* accumulator, int32_t delta, int32_t direction) {
  // Index 0 is the largest factor, so turning towards larger means a smaller index.
  *accumulator += direction == 1 ? -delta : delta;
  int32_t steps = 0;
  while (*accumulator < -60) {
    *accumulator += 120;
    --steps;
  }
  while (*accumulator >= 60) {
    *accumulator -= 120;
    ++steps;
  }
  return steps;
}

int32_t WheelScaleIndex(int32_t* accumulator, int32_t delta, int32_t direction, int32_t scaleIndex) {
  return ClampScaleIndex(scaleIndex + WheelLevelSteps(accumulator, delta, direction));
}

KeyAction DecideKey(int32_t key, int control) {
  struct Row {
    int32_t key;
    int32_t vertical;
    int32_t code;
    int32_t controlStep;  // 0: the same scroll with Ctrl
  };
  static constexpr Row kKeys[] = {
      {kKeyPageUp, 1, kScrollPageBack, kStepPrevious},
      {kKeyPageDown, 1, kScrollPageForward, kStepNext},
      {kKeyEnd, 1, kScrollToEnd, kStepLast},
      {kKeyHome, 1, kScrollToStart, kStepFirst},
      {kKeyLeft, 0, kScrollLineBack, 0},
      {kKeyUp, 1, kScrollLineBack, 0},
      {kKeyRight, 0, kScrollLineForward, 0},
      {kKeyDown, 1, kScrollLineForward, 0},
  };
  KeyAction action;
  for (const Row& row : kKeys) {
    if (row.key != key) continue;
    action.handled = 1;
    if (control && row.controlStep) {
      action.step = row.controlStep;
    } else {
      action.vertical = row.vertical;
      action.code = row.code;
    }
  }
  return action;
}

int ShowsPage(const ViewerInstance* viewer) {
  return viewer->download.loadState == kLoadDone && viewer->view.pageInfo.valid;
}

namespace {

MouseAction ModeAction(const ViewerInstance* viewer) {
  switch (viewer->settings.mouseMode) {
    case kMousePan:
      return viewer->settings.sizeMode == kSizeBestFit ? kActionMagnifier : kActionPan;
    case kMouseWhiteout:
    case kMouseCrop:
      return viewer->view.pageInfo.valid ? kActionRectangle : kActionNothing;
    case kMouseDraw:
      return kActionPencil;
    case kMouseErase:
      return kActionEraser;
    case kMouseZoom:
      return kActionMagnifier;
    default:
      return kActionNothing;
  }
}

}  // namespace

int DoubleClickOpensLog(const ViewerInstance* viewer) {
  return !HasValidPage(viewer) &&
         (viewer->logs.documentLog.text.length > 0 || viewer->logs.pageLog.text.length > 0);
}

MouseAction DecideMouseAction(const ViewerInstance* viewer, int control, int shift) {
  MouseAction action = control                  ? kActionPan
                       : shift                  ? kActionMagnifier
                       : viewer->params.hasLink ? kActionLink
                                                : ModeAction(viewer);
  if ((action == kActionPan || action == kActionMagnifier) && !ShowsPage(viewer)) return kActionNothing;
  if (action == kActionRectangle && viewer->settings.mouseMode == kMouseWhiteout &&
      !viewer->input.whiteoutAllowed)
    return kActionNothing;
  return action;
}

CursorKind ChooseCursor(const ViewerInstance* viewer) {
  if (viewer->input.panning) return kCursorPanHeld;
  if (viewer->params.hasLink) return kCursorLink;
  if (!ShowsPage(viewer)) return kCursorArrow;
  const int marksTaken = IsRestricted(viewer, kRestrictMarks);
  switch (viewer->settings.mouseMode) {
    case kMousePan:
      return viewer->settings.sizeMode == kSizeBestFit ? kCursorMagnify : kCursorPanOpen;
    case kMouseZoom:
      return kCursorMagnify;
    case kMouseWhiteout:
      return viewer->input.whiteoutAllowed && !marksTaken ? kCursorCross : kCursorArrow;
    case kMouseCrop:
      return marksTaken ? kCursorArrow : kCursorCross;
    case kMouseDraw:
      return marksTaken ? kCursorArrow : kCursorPencil;
    case kMouseErase:
      return marksTaken ? kCursorArrow : kCursorEraser;
    default:
      return kCursorArrow;
  }
}
