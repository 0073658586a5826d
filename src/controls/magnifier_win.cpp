#include "controls/magnifier_win.h"

#include <windowsx.h>

#include "common/diagnostics.h"
#include "controls/magnifier_geometry.h"
#include "controls/magnifier_level.h"
#include "controls/monitor_areas_win.h"
#include "viewer/build_view.h"
#include "viewer/image_paint_win.h"
#include "viewer/library_win.h"
#include "viewer/page_view.h"
#include "viewer/window_input.h"

namespace {

// What one open magnifier keeps; it lives as long as its window.
struct MagnifierSession {
  ViewerInstance* viewer = nullptr;
  int32_t levelAtOpening = 0;
  POINT pointerAtOpening{};  // screen coordinates, given back at closing
  int released = 0;          // the user freed the pointer
  IntPoint offset{-1, -1};
  IntPoint pointer;  // the last pointer position, client coordinates
  RECT clip{};       // the client area in screen coordinates
  int32_t wheel = 0;
};

HWND MagnifierOf(const ViewerInstance* viewer) { return static_cast<HWND>(viewer->windows.magnifierWindow); }

MagnifierSession* SessionOf(HWND window) {
  return reinterpret_cast<MagnifierSession*>(GetWindowLongPtrW(window, GWLP_USERDATA));
}

SIZE ClientSize(HWND window) {
  RECT client{};
  GetClientRect(window, &client);
  return {client.right, client.bottom};
}

const ViewState& MagnifiedView(const MagnifierSession* session) {
  return session->viewer->view.magnifierView;
}

// Recomputes the view's offsets for the pointer; answers how far they moved.
IntPoint FollowPointer(MagnifierSession* session, HWND window, IntPoint pointer) {
  const SIZE client = ClientSize(window);
  const ViewState& view = MagnifiedView(session);
  const IntPoint old = session->offset;
  session->pointer = pointer;
  session->offset = {MagnifierOffset(pointer.x, client.cx, view.width),
                     MagnifierOffset(pointer.y, client.cy, view.height)};
  return {session->offset.x - old.x, session->offset.y - old.y};
}

void Confine(MagnifierSession* session, HWND window) {
  RECT client{};
  GetClientRect(window, &client);
  MapWindowPoints(window, nullptr, reinterpret_cast<POINT*>(&client), 2);
  session->clip = client;
  SetCapture(window);
  ClipCursor(&session->clip);
}

void FreePointer(HWND window) {
  ClipCursor(nullptr);
  if (GetCapture() == window) ReleaseCapture();
}

void Release(MagnifierSession* session, HWND window) {
  session->released = 1;
  FreePointer(window);
  SetCursor(CursorOf(kCursorArrow));
}

void Recapture(MagnifierSession* session, HWND window, IntPoint pointer) {
  session->released = 0;
  SetCursor(CursorOf(kCursorCross));
  Confine(session, window);
  FollowPointer(session, window, pointer);
  InvalidateRect(window, nullptr, FALSE);
}

void CloseHook(ViewerInstance* viewer) {
  HWND window = MagnifierOf(viewer);
  if (!viewer->input.magnifierOpen || !window) return;
  viewer->input.magnifierOpen = 0;
  FreePointer(window);
  if (MagnifierSession* session = SessionOf(window); session && !session->released)
    SetCursorPos(session->pointerAtOpening.x, session->pointerAtOpening.y);
  DestroyWindow(window);
  if (HWND plugin = static_cast<HWND>(viewer->pluginWindow); plugin && IsWindow(plugin)) SetFocus(plugin);
}

// Asked from inside a command or a script call that may still use the
// window: the close waits for the window's own message queue.
void DismissHook(ViewerInstance* viewer) {
  if (HWND window = MagnifierOf(viewer)) PostMessageW(window, WM_CLOSE, 0, 0);
}

void RefreshHook(ViewerInstance* viewer) {
  HWND window = MagnifierOf(viewer);
  MagnifierSession* session = window ? SessionOf(window) : nullptr;
  if (!session) return;
  if (!ShowsPage(viewer)) {
    CloseHook(viewer);
    return;
  }
  BuildView(viewer, &viewer->view.magnifierView);
  FollowPointer(session, window, session->pointer);
  InvalidateRect(window, nullptr, FALSE);
}

void StepLevel(MagnifierSession* session, HWND window, int32_t level) {
  if (!SetMagnifierLevel(session->viewer, level)) return;
  FollowPointer(session, window, session->pointer);
  InvalidateRect(window, nullptr, FALSE);
}

HWND CreateMagnifierWindow(ViewerInstance* viewer, HWND plugin, POINT pointer, int centred) {
  const Preferences& prefs = viewer->prefs;
  const MagnifierFrame frame = ChooseMagnifierFrame(prefs.zoomSize, prefs.zoomRectGiven);
  const MonitorChoice choice =
      ChooseMonitor(prefs.zoomMonitor, centred, {pointer.x, pointer.y}, prefs.zoomLocation);
  const ScreenRect area = frame.custom ? ScreenRect{} : MonitorArea(choice, frame.fullMonitor, plugin);
  const IntRect& custom = prefs.zoomRect;
  const ScreenRect r = MagnifierWindowRect(
      frame, area, {custom.left, custom.top, custom.right, custom.bottom}, VirtualDesktop());
  const DWORD style = WS_POPUP | WS_VISIBLE | (frame.framed ? WS_DLGFRAME : 0);
  HWND window =
      CreateWindowExW(frame.topmost ? WS_EX_TOPMOST : 0, kMagnifierWindowClass, L"Zoom", style, r.left, r.top,
                      WidthOf(r), HeightOf(r), plugin, nullptr, WindowLib().module, nullptr);
  if (!window) ShowMessage(nullptr, kIconError, "Failed to create zoom window");
  return window;
}

// The client point under which the clicked point of the page appears, or the
// client's centre.
IntPoint StartingPointer(const ViewerInstance* viewer, SIZE client, IntPoint click, int centred) {
  if (centred) return {client.cx / 2, client.cy / 2};
  const ViewState& main = viewer->view.mainView;
  const ViewState& view = viewer->view.magnifierView;
  const double mx = MagnifiedPosition(click.x, viewer->view.scroll.x, main.width, view.width);
  const double my = MagnifiedPosition(click.y, viewer->view.scroll.y, main.height, view.height);
  return {OpeningPointer(mx, client.cx, view.width), OpeningPointer(my, client.cy, view.height)};
}

// Where the pointer was when the magnifier was asked for: the click, or the
// pointer itself for an opening from a script.
POINT PointerAtOpening(const ViewerInstance* viewer, IntPoint click, int centred) {
  POINT at{click.x, click.y};
  HWND image = static_cast<HWND>(viewer->windows.imageWindow);
  if (centred || !image) {
    GetCursorPos(&at);
  } else {
    ClientToScreen(image, &at);
  }
  return at;
}

int OpenHook(ViewerInstance* viewer, int32_t x, int32_t y, int centred) {
  if (viewer->input.magnifierOpen) return 1;
  HWND plugin = static_cast<HWND>(viewer->pluginWindow);
  if (!plugin || !ShowsPage(viewer)) return 0;
  const POINT pointerAtOpening = PointerAtOpening(viewer, {x, y}, centred);
  HWND window = CreateMagnifierWindow(viewer, plugin, pointerAtOpening, centred);
  if (!window) return 0;
  auto* session = new MagnifierSession;
  session->viewer = viewer;
  session->levelAtOpening = viewer->settings.zoomIndex;
  session->pointerAtOpening = pointerAtOpening;
  // A page that cannot be magnified shows the background; the reason is in the page log.
  BuildView(viewer, &viewer->view.magnifierView);
  const IntPoint start = StartingPointer(viewer, ClientSize(window), {x, y}, centred);
  POINT screen{start.x, start.y};
  ClientToScreen(window, &screen);
  SetCursorPos(screen.x, screen.y);
  SetCursor(CursorOf(kCursorCross));
  viewer->input.magnifierOpen = 1;
  SetWindowLongPtrW(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(session));
  viewer->windows.magnifierWindow = window;
  Confine(session, window);
  FollowPointer(session, window, start);
  SetFocus(window);
  InvalidateRect(window, nullptr, FALSE);
  return 1;
}

void Paint(MagnifierSession* session, HWND window) {
  PAINTSTRUCT ps;
  HDC dc = BeginPaint(window, &ps);
  if (!dc) return;
  SetMapMode(dc, MM_TEXT);
  const ViewerInstance* viewer = session->viewer;
  const ViewState& view = viewer->view.magnifierView;
  const SIZE client = ClientSize(window);
  const int32_t ox = MagnifierOrigin(session->offset.x < 0 ? 0 : session->offset.x, client.cx, view.width);
  const int32_t oy = MagnifierOrigin(session->offset.y < 0 ? 0 : session->offset.y, client.cy, view.height);
  RECT inView = ps.rcPaint;
  OffsetRect(&inView, -ox, -oy);
  RECT drawn{};
  SetViewportOrgEx(dc, ox, oy, nullptr);
  const int shown = ShowsPage(viewer) && DrawView(viewer, dc, &view, inView, &drawn);
  if (shown) PaintOverlay(viewer, dc, &view);
  SetViewportOrgEx(dc, 0, 0, nullptr);
  // Around a page smaller than the window, the viewer's background.
  if (shown) ExcludeClipRect(dc, drawn.left + ox, drawn.top + oy, drawn.right + ox, drawn.bottom + oy);
  HBRUSH background = viewer->windows.backgroundBrush ? static_cast<HBRUSH>(viewer->windows.backgroundBrush)
                                                      : static_cast<HBRUSH>(GetStockObject(DKGRAY_BRUSH));
  FillRect(dc, &ps.rcPaint, background);
  EndPaint(window, &ps);
}

void OnMouseMove(MagnifierSession* session, HWND window, IntPoint pointer) {
  if (session->released) {
    SetCursor(CursorOf(kCursorArrow));
    return;
  }
  // Setting the same cursor again on every move costs a trip to the display.
  HCURSOR cross = CursorOf(kCursorCross);
  if (GetCursor() != cross) SetCursor(cross);
  const IntPoint moved = FollowPointer(session, window, pointer);
  if (moved.x || moved.y)
    ScrollWindowEx(window, -moved.x, -moved.y, nullptr, nullptr, nullptr, nullptr, SW_INVALIDATE);
}

void OnKey(MagnifierSession* session, HWND window, WPARAM key) {
  ViewerInstance* viewer = session->viewer;
  const MagnifierKey action = DecideMagnifierKey(static_cast<int32_t>(key));
  if (action.close) {
    CloseHook(viewer);
    return;
  }
  if (action.levelStep) StepLevel(session, window, viewer->settings.zoomIndex + action.levelStep);
  if (!action.step) return;
  const int32_t before = viewer->download.currentPage;
  StepPage(viewer, action.step);
  // The page's handler of the page change may have closed the magnifier.
  if (!IsWindow(window) || !viewer->input.magnifierOpen) return;
  if (!ShowsPage(viewer)) {
    CloseHook(viewer);
  } else if (viewer->download.currentPage != before) {
    RefreshHook(viewer);
  }
}

void OnWheel(MagnifierSession* session, HWND window, WPARAM wParam) {
  ViewerInstance* viewer = session->viewer;
  if (viewer->access.miscFlags & kMiscIgnoreWheel) return;
  const int32_t level = MagnifierWheelLevel(&session->wheel, GET_WHEEL_DELTA_WPARAM(wParam),
                                            viewer->prefs.mouseWheelDirection, viewer->settings.zoomIndex);
  StepLevel(session, window, level);
}

// However the window goes (closed, or its owner destroyed), the pointer is
// freed and a changed level is kept.
void OnDestroy(MagnifierSession* session, HWND window) {
  ViewerInstance* viewer = session->viewer;
  viewer->input.magnifierOpen = 0;
  session->wheel = 0;
  FreePointer(window);
  StoreMagnifierLevel(viewer, session->levelAtOpening);
  if (viewer->windows.magnifierWindow == window) viewer->windows.magnifierWindow = nullptr;
}

}  // namespace

LRESULT CALLBACK MagnifierWindowProcedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  MagnifierSession* session = SessionOf(window);
  if (!session) return DefWindowProcW(window, message, wParam, lParam);
  InstanceCall call(session->viewer);
  switch (message) {
    case WM_PAINT:
      Paint(session, window);
      return 0;
    case WM_ERASEBKGND:
      return 1;  // painting covers the whole client
    case WM_MOUSEMOVE:
      OnMouseMove(session, window, PointOf(lParam));
      return 0;
    case WM_LBUTTONDOWN:
    case WM_CLOSE:
      CloseHook(session->viewer);
      return 0;
    case WM_RBUTTONDOWN:
      if (session->released) {
        Recapture(session, window, PointOf(lParam));
      } else {
        Release(session, window);
      }
      return 0;
    case WM_KILLFOCUS:
      if (!session->released) Release(session, window);
      return 0;
    case WM_KEYDOWN:
      OnKey(session, window, wParam);
      return 0;
    case WM_DESTROY:
      OnDestroy(session, window);
      return 0;
    case WM_NCDESTROY:
      SetWindowLongPtrW(window, GWLP_USERDATA, 0);
      delete session;
      return DefWindowProcW(window, message, wParam, lParam);
    default:
      if (IsWheelMessage(message)) {
        OnWheel(session, window, wParam);
        return 0;
      }
      break;
  }
  return DefWindowProcW(window, message, wParam, lParam);
}

void RegisterMagnifierClass(HINSTANCE module) {
  WNDCLASSEXW wc{};
  wc.cbSize = sizeof(wc);
  wc.lpfnWndProc = MagnifierWindowProcedure;
  wc.hInstance = module;
  wc.lpszClassName = kMagnifierWindowClass;
  RegisterClassExW(&wc);
}

void UnregisterMagnifierClass(HINSTANCE module) { UnregisterClassW(kMagnifierWindowClass, module); }

void InstallMagnifierHooks(ViewerHooks* hooks) {
  hooks->openMagnifier = OpenHook;
  hooks->closeMagnifier = CloseHook;
  hooks->refreshMagnifier = RefreshHook;
  hooks->dismissMagnifier = DismissHook;
}
