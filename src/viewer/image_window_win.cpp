#include "viewer/image_window_win.h"

#include <windowsx.h>

#include "analysis/pen_drag.h"
#include "analysis/stroke_paint_win.h"
#include "common/diagnostics.h"
#include "plugin/browser_services.h"
#include "viewer/build_view.h"
#include "viewer/image_paint_win.h"
#include "viewer/library.h"
#include "viewer/library_win.h"
#include "viewer/main_view_win.h"
#include "viewer/page_view.h"
#include "viewer/status_line_win.h"
#include "viewer/window_calls.h"
#include "viewer/window_input.h"

namespace {

HWND PluginWindowOf(const ViewerInstance* viewer) { return static_cast<HWND>(viewer->pluginWindow); }
HWND ImageWindowOf(const ViewerInstance* viewer) { return static_cast<HWND>(viewer->windows.imageWindow); }

ViewerInstance* ViewerOfImageWindow(HWND window) {
  return reinterpret_cast<ViewerInstance*>(GetWindowLongPtrW(window, GWLP_USERDATA));
}

int ControlHeld(WPARAM wParam) {
  return (GET_KEYSTATE_WPARAM(wParam) & MK_CONTROL) || GetKeyState(VK_CONTROL) < 0;
}

void OnWheel(ViewerInstance* viewer, HWND window, WPARAM wParam) {
  if (viewer->access.miscFlags & kMiscIgnoreWheel) return;
  const int32_t delta = GET_WHEEL_DELTA_WPARAM(wParam);
  if (!ControlHeld(wParam)) {
    int32_t lines = WheelLines(&viewer->view.wheelAccumulator, delta);
    const WPARAM code = MAKEWPARAM(lines > 0 ? SB_LINEDOWN : SB_LINEUP, 0);
    for (int32_t i = lines < 0 ? -lines : lines; i > 0; --i) PostMessageW(window, WM_VSCROLL, code, 0);
    return;
  }
  if (viewer->settings.sizeMode != kSizeFixed) return;
  int32_t index = WheelScaleIndex(&viewer->view.wheelAccumulator, delta, viewer->prefs.mouseWheelDirection,
                                  viewer->settings.scaleIndex);
  if (index == viewer->settings.scaleIndex) return;
  viewer->settings.scaleIndex = index;
  RefreshToolbar(viewer, kRefreshLater);
  LayoutMainViewInWindow(viewer, 1);
}

void Pan(ViewerInstance* viewer, IntPoint pointer) {
  const int32_t sensitivity = viewer->prefs.panSensitivity;
  int32_t x = (viewer->input.panStart.x - pointer.x) * sensitivity + viewer->input.panStartScroll.x;
  int32_t y = (viewer->input.panStart.y - pointer.y) * sensitivity + viewer->input.panStartScroll.y;
  ScrollBar(viewer, SB_HORZ, kScrollThumbPosition, 1, x < 0 ? 0 : x);
  ScrollBar(viewer, SB_VERT, kScrollThumbPosition, 1, y < 0 ? 0 : y);
}

// The pen's newest segment, drawn at once rather than by a repaint.
void DrawPenSegment(const ViewerInstance* viewer, HWND window, const StrokeSegment* segment) {
  if (!segment) return;
  HDC dc = GetDC(window);
  const ViewState* view = &viewer->view.mainView;
  DrawSegment(dc, segment, view, &viewer->view.pageInfo, int64_t{view->originX} - viewer->view.scroll.x,
              int64_t{view->originY} - viewer->view.scroll.y);
  ReleaseDC(window, dc);
}

void ToggleOutline(ViewerInstance* viewer, HWND window) {
  HDC dc = GetDC(window);
  InvertEraserOutline(viewer, dc);
  ReleaseDC(window, dc);
}

// The pointer's place, and the eraser's outline moved with it: taken away at
// the old place, drawn at the new one unless a repaint is coming that draws it.
void FollowPointer(ViewerInstance* viewer, HWND window, IntPoint point) {
  AnalysisState& a = viewer->analysis;
  if (a.eraserOutline && a.outlineShown) ToggleOutline(viewer, window);
  a.pointerAt = point;
  a.pointerInside = 1;
  if (!a.leaveTracking) {
    TRACKMOUSEEVENT track{sizeof(track), TME_LEAVE, window, 0};
    a.leaveTracking = TrackMouseEvent(&track) != 0;
  }
  if (a.eraserOutline && HasValidPage(viewer) && !GetUpdateRect(window, nullptr, FALSE))
    ToggleOutline(viewer, window);
}

void OnMouseLeave(ViewerInstance* viewer, HWND window) {
  AnalysisState& a = viewer->analysis;
  a.leaveTracking = 0;
  if (a.penActive) return;  // a drag keeps the outline with the pointer
  if (a.outlineShown) ToggleOutline(viewer, window);
  a.pointerInside = 0;
}

void OnMouseMove(ViewerInstance* viewer, HWND window, IntPoint point) {
  if (viewer->analysis.penActive) {
    DrawPenSegment(viewer, window, MovePenDrag(viewer, point));
    FollowPointer(viewer, window, point);
    return;
  }
  FollowPointer(viewer, window, point);
  if (viewer->input.panning) {
    Pan(viewer, point);
  } else if (viewer->input.band.state != kBandIdle) {
    RECT client;
    GetClientRect(window, &client);
    TrackBand(viewer, point, client.right, client.bottom);
  }
}

int OnMouseDown(ViewerInstance* viewer, HWND window, WPARAM keys, IntPoint point, int doubleClick) {
  CloseMagnifier(viewer);
  if (HWND plugin = PluginWindowOf(viewer)) SetFocus(plugin);
  MouseAction action = DecideMouseAction(viewer, (keys & MK_CONTROL) != 0, (keys & MK_SHIFT) != 0);
  switch (action) {
    case kActionLink:
      viewer->input.linkPressed = 1;
      SetCapture(window);
      return 1;
    case kActionPan:
      viewer->input.panning = 1;
      SetCursor(CursorOf(kCursorPanHeld));
      viewer->input.panStart = point;
      viewer->input.panStartScroll = viewer->view.scroll;
      SetCapture(window);
      return 1;
    case kActionRectangle:
      return BeginBand(viewer, point);
    case kActionMagnifier:
      return OpenMagnifier(viewer, point.x, point.y, 0);
    case kActionPencil:
    case kActionEraser:
      if (!BeginPenDrag(viewer, point)) return 0;
      SetCapture(window);
      return 1;
    case kActionNothing:
    default:
      return doubleClick && DoubleClickOpensLog(viewer) && ShowErrorLog(viewer);
  }
}

int PointerInside(HWND window) {
  POINT pointer;
  RECT client;
  GetCursorPos(&pointer);
  ScreenToClient(window, &pointer);
  GetClientRect(window, &client);
  return PtInRect(&client, pointer);
}

int OnMouseUp(ViewerInstance* viewer, HWND window) {
  if (viewer->analysis.penActive) {
    DrawPenSegment(viewer, window, EndPenDrag(viewer));
    ReleaseCapture();
    return 1;
  }
  if (viewer->input.linkPressed) {
    ReleaseCapture();
    viewer->input.linkPressed = 0;
    if (PointerInside(window) && viewer->browserInstance)
      OpenUrl(static_cast<NPP>(viewer->browserInstance), TextOf(&viewer->params.href),
              TextOf(&viewer->params.target));
    return 1;
  }
  if (viewer->input.panning) {
    viewer->input.panning = 0;
    ReleaseCapture();
    SetCursor(CursorOf(kCursorPanOpen));
    return 1;
  }
  if (viewer->input.band.state != kBandIdle) {
    EndBand(viewer, kBandDone);
    return 1;
  }
  return 0;
}

int OnSetCursor(ViewerInstance* viewer, WORD hit) {
  if (hit == HTVSCROLL || hit == HTHSCROLL || hit == HTSIZE) {
    SetCursor(CursorOf(kCursorArrow));
    return 1;
  }
  if (hit != HTCLIENT) return 0;
  CursorKind kind = ChooseCursor(viewer);
  HCURSOR cursor = kind == kCursorLink && viewer->windows.linkCursor
                       ? static_cast<HCURSOR>(viewer->windows.linkCursor)
                       : CursorOf(kind);
  SetCursor(cursor);
  return 1;
}

int OnRightButtonDown(ViewerInstance* viewer) {
  if (viewer->input.band.state != kBandPressed && viewer->input.band.state != kBandDragging) return 0;
  EndBand(viewer, kBandCancelled);
  viewer->input.suppressContextMenu = 1;
  return 1;
}

// ---- hooks ----

void InvalidateHook(ViewerInstance* viewer, int erase) {
  if (HWND image = ImageWindowOf(viewer)) InvalidateRect(image, nullptr, erase ? TRUE : FALSE);
}

void CaptureHook(ViewerInstance* viewer, int capture) {
  HWND image = ImageWindowOf(viewer);
  if (!image) return;
  if (capture) {
    SetCapture(image);
  } else if (GetCapture() == image) {
    ReleaseCapture();
  }
}

void ScrollLineHook(ViewerInstance* viewer, int vertical, int forward) {
  ScrollBar(viewer, vertical ? SB_VERT : SB_HORZ, forward ? kScrollLineForward : kScrollLineBack, 0, 0);
}

// A script's scroll goes through the window's queue, as a scroll bar click would.
int PostScrollHook(ViewerInstance* viewer, int vertical, int32_t code) {
  HWND image = ImageWindowOf(viewer);
  return image && PostMessageW(image, vertical ? WM_VSCROLL : WM_HSCROLL, static_cast<WPARAM>(code), 0);
}

void ScrollToHook(ViewerInstance* viewer, int vertical, int32_t position) {
  ScrollBar(viewer, vertical ? SB_VERT : SB_HORZ, kScrollThumbPosition, 1, position);
}

// The picture changed but not its size (negative, smoothing, a half turn).
void RebuildHook(ViewerInstance* viewer) { BuildView(viewer, &viewer->view.mainView); }

// Long work nests (a download's end shows its first page); the cursor before
// the outermost one comes back.
void BusyHook(ViewerInstance*, int on) {
  static int depth = 0;
  static HCURSOR before = nullptr;
  if (on) {
    if (depth++ == 0) before = SetCursor(LoadCursorW(nullptr, IDC_WAIT));
  } else if (depth > 0 && --depth == 0) {
    SetCursor(before);
  }
}

}  // namespace

HWND CreateImageWindow(ViewerInstance* viewer, HWND pluginWindow) {
  HWND image =
      CreateWindowExW(0, kImageWindowClass, L"image", WS_CHILD | WS_HSCROLL | WS_VSCROLL | WS_CLIPSIBLINGS, 0,
                      0, 0, 0, pluginWindow, nullptr, WindowLib().module, nullptr);
  if (!image) {
    ShowMessage(nullptr, kIconError, "Failed to create image window");
    return nullptr;
  }
  SetWindowLongPtrW(image, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(viewer));
  viewer->windows.imageWindow = image;
  ShowScrollBar(image, SB_BOTH, FALSE);
  return image;
}

void ForgetImageWindow(ViewerInstance* viewer) {
  viewer->windows.imageWindow = nullptr;
  viewer->windows.statusWindow = nullptr;
  viewer->windows.progressWindow = nullptr;
}

LRESULT CALLBACK ImageWindowProcedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  ViewerInstance* viewer = ViewerOfImageWindow(window);
  if (!viewer) return DefWindowProcW(window, message, wParam, lParam);
  InstanceCall call(viewer);
  switch (message) {
    case WM_SIZE:
      FitStatusWindows(viewer);
      if ((wParam == SIZE_RESTORED || wParam == SIZE_MAXIMIZED) && viewer->view.scrollGuard == 0)
        LayoutMainViewInWindow(viewer, viewer->settings.sizeMode != kSizeFixed);
      return 0;
    case WM_PAINT:
      PaintImageWindow(viewer, window);
      return 0;
    case WM_NCDESTROY:
      // The browser may destroy its window, and ours with it, before detaching.
      if (viewer->windows.imageWindow == window) ForgetImageWindow(viewer);
      break;
    case WM_SETCURSOR:
      if (OnSetCursor(viewer, LOWORD(lParam))) return TRUE;
      break;
    case WM_HSCROLL:
    case WM_VSCROLL:
      ScrollBar(viewer, message == WM_VSCROLL ? SB_VERT : SB_HORZ, LOWORD(wParam), 0, 0);
      return 0;
    case WM_MOUSEMOVE:
      OnMouseMove(viewer, window, PointOf(lParam));
      return 0;
    case WM_LBUTTONDOWN:
    case WM_LBUTTONDBLCLK:
      if (OnMouseDown(viewer, window, wParam, PointOf(lParam), message == WM_LBUTTONDBLCLK)) return 0;
      break;
    case WM_LBUTTONUP:
      if (OnMouseUp(viewer, window)) return 0;
      break;
    case WM_MOUSELEAVE:
      OnMouseLeave(viewer, window);
      return 0;
    case WM_CAPTURECHANGED:
      // A drag whose capture was taken away (a dialog, another window) ends there.
      if (viewer->analysis.penActive && reinterpret_cast<HWND>(lParam) != window) EndPenDrag(viewer);
      break;
    case WM_RBUTTONDOWN:
      if (OnRightButtonDown(viewer)) return 0;
      break;
    default:
      if (IsWheelMessage(message)) {
        OnWheel(viewer, window, wParam);
        return 0;
      }
      break;
  }
  return DefWindowProcW(window, message, wParam, lParam);
}

void InstallImageWindowHooks(ViewerHooks* hooks) {
  hooks->invalidate = InvalidateHook;
  hooks->captureMouse = CaptureHook;
  hooks->drawBand = DrawBandInWindow;
  hooks->scrollLine = ScrollLineHook;
  hooks->postScroll = PostScrollHook;
  hooks->scrollTo = ScrollToHook;
  hooks->layoutMainView = LayoutMainViewInWindow;
  hooks->rebuildMainView = RebuildHook;
  hooks->busy = BusyHook;
}
