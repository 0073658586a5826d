// The window half of the library: what every image window of the process
// shares, made once at library start and freed at library stop.
#pragma once

#include <windows.h>

#include "viewer/view_geometry.h"
#include "viewer/window_input.h"

constexpr wchar_t kImageWindowClass[] = L"KOBTiff1Class";
constexpr wchar_t kViewerProperty[] = L"mvtf";

// A mouse message's point, in the client coordinates it carries (signed, so
// that points left of or above the window stay negative).
inline IntPoint PointOf(LPARAM lParam) {
  return {static_cast<short>(LOWORD(lParam)), static_cast<short>(HIWORD(lParam))};
}

struct WindowLibrary {
  HINSTANCE module = nullptr;  // where the classes are registered and the cursors come from
  HCURSOR cursors[kCursorCount] = {};
  HFONT smallFont = nullptr;       // "Small Fonts", 10 pixels
  HFONT messageFont = nullptr;     // the system's message face, 14 pixels
  HFONT statusFont = nullptr;      // the same face, 16 pixels: status and log texts
  int32_t messageHeight = 16;      // the system message font, for controls sized to it
  HBRUSH whiteoutBrush = nullptr;  // made on first use
  UINT wheelMessage = WM_MOUSEWHEEL;
  ATOM imageClass = 0;
};

WindowLibrary& WindowLib();

// The wheel arrives as WM_MOUSEWHEEL or, on old systems, as the registered message.
inline int IsWheelMessage(UINT message) {
  return message == WM_MOUSEWHEEL || message == WindowLib().wheelMessage;
}

// Registers the image window class, loads the cursors and makes the fonts;
// problems are shown in message boxes. Also fills the library's window hooks.
void StartWindowLibrary(HINSTANCE module);
void StopWindowLibrary();

// The cursor of that kind; the pencil and eraser are loaded on first use, and
// a cursor the module does not hold falls back to the arrow.
HCURSOR CursorOf(CursorKind kind);

// The message font's height in pixels from the system's metrics: a negative
// (character) height -h becomes h * 16 / 11 rounded; never below 16.
int32_t MessageFontHeight(LONG height);
