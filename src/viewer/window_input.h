// What the image window's keys, wheel, scroll bars and mouse buttons mean for
// the viewer, decided without a window so that every rule can be checked on
// its own; the window code only carries the decisions out.
#pragma once

#include <cstdint>

struct ViewerInstance;

// Scroll codes as the scroll bar messages carry them.
enum ScrollCode : int32_t {
  kScrollLineBack = 0,  // line up or left
  kScrollLineForward = 1,
  kScrollPageBack = 2,
  kScrollPageForward = 3,
  kScrollThumbPosition = 4,
  kScrollThumbTrack = 5,
  kScrollToStart = 6,  // top or left edge
  kScrollToEnd = 7,
};
constexpr int32_t kScrollLine = 30;
constexpr int32_t kPageOverlap = 10;

// The position after `code` from `position`, for a client extent and a view
// extent along the same axis; `thumb` is the position the thumb codes move to.
int32_t NextScrollPosition(int32_t position, int32_t clientExtent, int32_t viewExtent, int32_t code,
                           int32_t thumb);

// One wheel message without Ctrl: the lines to scroll, down when positive and
// up when negative. A notch of 120 is three lines.
int32_t WheelLines(int32_t* accumulator, int32_t delta);
// One wheel message stepping a table index (scale or magnifier level): the
// index change, negative towards larger factors. With `direction` 1 the wheel
// turned up (away from the user) enlarges.
int32_t WheelLevelSteps(int32_t* accumulator, int32_t delta, int32_t direction);
// One wheel message with Ctrl in fixed size: the new scale index. With
// `direction` 1 the wheel turned up (away from the user) enlarges.
int32_t WheelScaleIndex(int32_t* accumulator, int32_t delta, int32_t direction, int32_t scaleIndex);

// Virtual key codes of the keys the window handles.
enum NavigationKey : int32_t {
  kKeyPageUp = 0x21,
  kKeyPageDown = 0x22,
  kKeyEnd = 0x23,
  kKeyHome = 0x24,
  kKeyLeft = 0x25,
  kKeyUp = 0x26,
  kKeyRight = 0x27,
  kKeyDown = 0x28,
};
struct KeyAction {
  int32_t handled = 0;
  int32_t step = 0;  // a page step (page_view.h) instead of a scroll
  int32_t vertical = 0;
  int32_t code = 0;  // ScrollCode
};
KeyAction DecideKey(int32_t key, int control);

enum MouseAction : int32_t {
  kActionNothing = 0,
  kActionLink,
  kActionMagnifier,
  kActionPan,
  kActionRectangle,
  kActionPencil,
  kActionEraser,
};
// What a left button press does, from the mouse mode, the keys held and what
// is shown.
MouseAction DecideMouseAction(const ViewerInstance* viewer, int control, int shift);
// Whether a double click that came to nothing opens the error log: no page is
// shown and a log has something to say why.
int DoubleClickOpensLog(const ViewerInstance* viewer);

enum CursorKind : int32_t {
  kCursorArrow = 0,
  kCursorCross,
  kCursorLink,
  kCursorMagnify,
  kCursorPanOpen,  // ready to drag
  kCursorPanHeld,  // dragging
  kCursorPencil,
  kCursorEraser,
  kCursorCount,
};
CursorKind ChooseCursor(const ViewerInstance* viewer);

// The viewer shows a page: the document is in and the page decoded.
int ShowsPage(const ViewerInstance* viewer);
