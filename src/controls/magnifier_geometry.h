// The magnifier's arithmetic, decided without a window: where its window goes
// and how it is framed, which monitor it opens on, where the pointer starts,
// which part of the magnified page the pointer shows, and what its keys and
// wheel do. The window code only carries these decisions out.
#pragma once

#include <cstdint>

#include "viewer/view_geometry.h"

// A rectangle as the system gives screen areas: right and bottom outside.
struct ScreenRect {
  int32_t left = 0;
  int32_t top = 0;
  int32_t right = 0;
  int32_t bottom = 0;
};
inline int32_t WidthOf(const ScreenRect& r) { return r.right - r.left; }
inline int32_t HeightOf(const ScreenRect& r) { return r.bottom - r.top; }

// A pointer within this distance of a window edge already shows the page's
// edge, so the whole page is reachable without pressing against the border.
constexpr int32_t kMagnifierBorder = 32;

// How the window is framed and what part of the monitor it takes.
struct MagnifierFrame {
  int32_t size = 2;         // the size choice in effect
  int32_t fullMonitor = 0;  // the monitor's whole rectangle (else its work area)
  int32_t topmost = 0;
  int32_t framed = 1;  // a dialog frame (else a bare popup)
  int32_t margin = 5;
  int32_t custom = 0;  // the user's own rectangle
};
// Size 6 without a rectangle of the user's means 2.
MagnifierFrame ChooseMagnifierFrame(int32_t zoomSize, int rectGiven);

// Which screen area the window is laid in.
enum MonitorQuery : int32_t {
  kAreaDesktop = 0,     // the whole desktop, or the system work area
  kAreaNearPoint = 1,   // the monitor nearest `point`
  kAreaNearWindow = 2,  // the monitor nearest the plug-in window
};
struct MonitorChoice {
  MonitorQuery query = kAreaDesktop;
  IntPoint point;
};
// `zoomMonitor` 0 follows the pointer (or the plug-in window when opened
// centred), 2 the user's point, anything else the desktop.
MonitorChoice ChooseMonitor(int32_t zoomMonitor, int centred, IntPoint pointer, IntPoint zoomLocation);

// The window rectangle in screen coordinates. `area` is the monitor's
// rectangle or work area as the frame asks; `custom` is the user's rectangle
// (right = left + width), kept inside `desktop` (the union of all monitors).
// Never narrower or lower than one pixel.
ScreenRect MagnifierWindowRect(const MagnifierFrame& frame, ScreenRect area, ScreenRect custom,
                               ScreenRect desktop);

// Where, along one axis, the clicked point `magnified` (in pixels of the
// magnified page) starts under the pointer: with client extent `client` and
// magnified extent `page`. Inside the client.
int32_t OpeningPointer(double magnified, int32_t client, int32_t page);
// The clicked point of the main view in pixels of the magnified page: the
// click plus the scroll position, scaled from the displayed to the magnified size.
double MagnifiedPosition(int32_t click, int32_t scroll, int32_t displayed, int32_t magnified);

// The offset of the window's view into the magnified page along one axis for
// pointer position `pointer` (client coordinates).
int32_t MagnifierOffset(int32_t pointer, int32_t client, int32_t page);
// Where the magnified page's edge is drawn along one axis: scrolled when it is
// larger than the client, else centred.
int32_t MagnifierOrigin(int32_t offset, int32_t client, int32_t page);

// What a key does in the magnifier.
struct MagnifierKey {
  int32_t handled = 0;
  int32_t close = 0;
  int32_t step = 0;       // a page step (StepKind)
  int32_t levelStep = 0;  // -1 one level larger, +1 one level smaller
};
MagnifierKey DecideMagnifierKey(int32_t key);

// The level after one wheel message: the accumulator gathers the deltas
// (reversed with `direction` 1); each half notch past the middle steps one level.
int32_t MagnifierWheelLevel(int32_t* accumulator, int32_t delta, int32_t direction, int32_t level);

// The level is stored at closing only when it changed and the settings may be stored.
int ShouldStoreMagnifierLevel(int32_t levelAtOpening, int32_t level, int settingsLocked);
