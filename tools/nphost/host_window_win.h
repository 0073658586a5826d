// The page's windows in nphost, the input it sends and the pixels it reads.
#pragma once

#include <windows.h>

#include <functional>
#include <string>

struct MessageBoxRecord {
  std::string text;
  std::string caption;
  std::string icon;    // "error", "warning", "information", "question" or "none"
  std::string answer;  // the button pressed
};

// The top-level page window with a client area of the given size.
HWND CreatePageWindow(int width, int height);
// A child of `page` at (x, y) that the plug-in receives in NPP_SetWindow.
HWND CreatePluginWindow(HWND page, int x, int y, int width, int height);
// Runs the message loop for at least `milliseconds`, and until no message
// has been waiting for 50 ms.
void Pump(int milliseconds);

// Input sent to the window under a point of the plug-in window (client
// coordinates) or to the one that has the keyboard focus. Modifiers are held
// in the thread's keyboard state while the messages are handled.
struct Modifiers {
  bool ctrl = false;
  bool shift = false;
  bool alt = false;
};
HWND WindowAt(HWND plugin, POINT point);
// `key` is a key name (pagedown, home, left, f5, a, 7, ...); 0 when unknown.
int SendKey(HWND plugin, const std::string& key, Modifiers modifiers);
void SendMouse(HWND plugin, POINT point, const std::string& button, const std::string& action,
               Modifiers modifiers);
void SendWheel(HWND plugin, POINT point, int notches, Modifiers modifiers);

// Writes the client area of `window` (its children included) as a 24-bit
// BMP, as it stands on screen once the pending messages are handled; it
// never invalidates anything. 0 on failure.
// A 24-bit bottom-up section as a BMP file.
int WriteBitmapSection(const std::wstring& file, const BITMAPINFO& info, const void* bits);
int CaptureClientArea(HWND window, const std::wstring& file, int* width, int* height,
                      bool fromScreen = false);
// Invalidates `window` and its children and paints them at once.
void RedrawAll(HWND window);
// The first descendant of `parent` with this window class, or null.
HWND FindDescendant(HWND parent, const std::wstring& className);
// A visible or hidden top-level window of this class that the plug-in
// opened over the page (owned by the page window), or null.
HWND FindPopup(HWND plugin, const std::wstring& className);

// What a page can see of a window from outside: its text, whether it shows,
// its client size and its scroll bars.
struct ScrollFacts {
  bool shown = false;
  int position = 0, maximum = 0, page = 0;
};
struct WindowFacts {
  std::wstring text;
  bool visible = false;
  int width = 0, height = 0;
  ScrollFacts horizontal, vertical;
};
void InspectWindow(HWND window, WindowFacts* facts);

// Message boxes of this thread are recorded and answered: "default" presses
// the box's default button, else "ok", "cancel", "yes", "no".
void WatchMessageBoxes(std::function<void(const MessageBoxRecord&)> onBox);
void SetMessageBoxAnswer(const std::string& answer);
// Work to do while the next message box is open, inside its modal loop, as
// a browser runs its own tasks then; the box is answered afterwards (unless
// the work destroyed it).
void WhileNextMessageBoxIsOpen(std::function<void()> work);

// What a plug-in window left behind when it was destroyed: whether its window
// procedure was still replaced by someone else's, and the names of the
// properties still set on it (atoms as "#N"), comma-separated.
struct WindowRemains {
  bool subclassed = false;
  std::string properties;
};
// Destroys the plug-in window as a browser does when it drops it unasked.
void DestroyPluginWindow(HWND plugin, WindowRemains* remains);

std::string ToUtf8(const std::wstring& text);
std::wstring FromUtf8(const std::string& text);
