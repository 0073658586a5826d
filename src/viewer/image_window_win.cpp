#include "viewer/image_window_win.h"

#include <commctrl.h>
#include <windowsx.h>

#include "common/diagnostics.h"
#include "plugin/browser_services.h"
#include "viewer/build_view.h"
#include "viewer/download_intake.h"
#include "viewer/image_paint_win.h"
#include "viewer/library.h"
#include "viewer/library_win.h"
#include "viewer/main_view_win.h"
#include "viewer/page_view.h"
#include "viewer/window_input.h"

namespace {

HWND PluginWindowOf(const ViewerInstance* viewer) { return static_cast<HWND>(viewer->pluginWindow); }
HWND ImageWindowOf(const ViewerInstance* viewer) { return static_cast<HWND>(viewer->windows.imageWindow); }

ViewerInstance* ViewerOfPluginWindow(HWND window) {
  return static_cast<ViewerInstance*>(GetPropW(window, kViewerProperty));
}
ViewerInstance* ViewerOfImageWindow(HWND window) {
  return reinterpret_cast<ViewerInstance*>(GetWindowLongPtrW(window, GWLP_USERDATA));
}

IntPoint PointOf(LPARAM lParam) { return {GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)}; }

// ---- the plug-in window ----

void OnKeyDown(ViewerInstance* viewer, WPARAM key) {
  HWND image = ImageWindowOf(viewer);
  KeyAction action = DecideKey(static_cast<int32_t>(key), GetKeyState(VK_CONTROL) < 0);
  if (!action.handled || !image) return;
  if (action.step) {
    StepPage(viewer, action.step);
    return;
  }
  // Posted, so that the keys queue up behind painting as the bar's own clicks do.
  PostMessageW(image, action.vertical ? WM_VSCROLL : WM_HSCROLL, MAKEWPARAM(action.code, 0), 0);
}

int IsWheel(UINT message) { return message == WM_MOUSEWHEEL || message == WindowLib().wheelMessage; }

LRESULT CallPrevious(ViewerInstance* viewer, HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  auto previous = reinterpret_cast<WNDPROC>(viewer->previousWindowProcedure);
  return previous ? CallWindowProcW(previous, window, message, wParam, lParam)
                  : DefWindowProcW(window, message, wParam, lParam);
}

// ---- the image window ----

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
  if (viewer->hooks.refreshToolbar) viewer->hooks.refreshToolbar(viewer, kRefreshLater);
  LayoutMainView(viewer, kKeepRelativeScroll);
}

void Pan(ViewerInstance* viewer, IntPoint pointer) {
  const int32_t sensitivity = viewer->prefs.panSensitivity;
  int32_t x = (viewer->input.panStart.x - pointer.x) * sensitivity + viewer->input.panStartScroll.x;
  int32_t y = (viewer->input.panStart.y - pointer.y) * sensitivity + viewer->input.panStartScroll.y;
  ScrollBar(viewer, SB_HORZ, kScrollThumbPosition, 1, x < 0 ? 0 : x);
  ScrollBar(viewer, SB_VERT, kScrollThumbPosition, 1, y < 0 ? 0 : y);
}

void OnMouseMove(ViewerInstance* viewer, HWND window, IntPoint point) {
  if (viewer->input.panning) {
    Pan(viewer, point);
  } else if (viewer->input.band.state != kBandIdle) {
    RECT client;
    GetClientRect(window, &client);
    TrackBand(viewer, point, client.right, client.bottom);
  }
}

void CloseMagnifier(ViewerInstance* viewer) {
  if (viewer->input.magnifierOpen && viewer->hooks.closeMagnifier) viewer->hooks.closeMagnifier(viewer);
}

int OnMouseDown(ViewerInstance* viewer, HWND window, WPARAM keys, IntPoint point) {
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
    case kActionMagnifier:  // the magnifier window opens here once it exists
    case kActionPencil:     // and so do the sketch strokes
    case kActionEraser:
      return 0;
    case kActionNothing:
    default:
      return 0;
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
  if (viewer->input.linkPressed) {
    ReleaseCapture();
    viewer->input.linkPressed = 0;
    if (PointerInside(window) && viewer->browserInstance)
      OpenUrl(static_cast<NPP>(viewer->browserInstance), TextOf(&viewer->params.href), TextOf(&viewer->params.target));
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
  HCURSOR cursor =
      kind == kCursorLink && viewer->windows.linkCursor ? static_cast<HCURSOR>(viewer->windows.linkCursor) : CursorOf(kind);
  SetCursor(cursor);
  return 1;
}

int OnRightButtonDown(ViewerInstance* viewer) {
  if (viewer->input.band.state != kBandPressed && viewer->input.band.state != kBandDragging) return 0;
  EndBand(viewer, kBandCancelled);
  viewer->input.suppressContextMenu = 1;
  return 1;
}

// The download's status line and progress bar keep their places inside the
// image window and take its client width, which also changes when the page's
// scroll bars come or go.
void FitStatusWindows(ViewerInstance* viewer) {
  HWND image = ImageWindowOf(viewer);
  if (!image) return;
  RECT inside;
  GetClientRect(image, &inside);
  constexpr UINT kResizeOnly = SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE;
  if (HWND status = static_cast<HWND>(viewer->windows.statusWindow))
    SetWindowPos(status, nullptr, 0, 0, inside.right, 19, kResizeOnly);
  if (HWND progress = static_cast<HWND>(viewer->windows.progressWindow))
    SetWindowPos(progress, nullptr, 0, 0, inside.right, 10, kResizeOnly);
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

int AttachHook(ViewerInstance* viewer, void* window) {
  return AttachWindow(viewer, static_cast<HWND>(window));
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

void PostAutoPrintHook(ViewerInstance* viewer) {
  if (HWND plugin = PluginWindowOf(viewer)) PostMessageW(plugin, kAutoPrintMessage, 0, 0);
}

// Children of the image window die with it; their handles must not outlive it.
void ForgetImageWindow(ViewerInstance* viewer) {
  viewer->windows.imageWindow = nullptr;
  viewer->windows.statusWindow = nullptr;
  viewer->windows.progressWindow = nullptr;
}

// Some browsers destroy their window before they detach it. The window goes
// back to its own procedure without our property, and the instance forgets it
// and the children that die with it, so no dead handle is used later (a
// message box owned by a dead window would not even show).
LRESULT OnPluginWindowDestroyed(ViewerInstance* viewer, HWND window, WPARAM wParam, LPARAM lParam) {
  auto previous = reinterpret_cast<WNDPROC>(viewer->previousWindowProcedure);
  if (previous) SetWindowLongPtrW(window, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(previous));
  RemovePropW(window, kViewerProperty);
  CloseMagnifier(viewer);
  viewer->windows.magnifierWindow = nullptr;
  viewer->windows.toolbarWindow = nullptr;
  ForgetImageWindow(viewer);
  viewer->previousWindowProcedure = nullptr;
  if (viewer->pluginWindow == window) viewer->pluginWindow = nullptr;
  return previous ? CallWindowProcW(previous, window, WM_DESTROY, wParam, lParam)
                  : DefWindowProcW(window, WM_DESTROY, wParam, lParam);
}

}  // namespace

LRESULT CALLBACK PluginWindowProcedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  ViewerInstance* viewer = ViewerOfPluginWindow(window);
  if (!viewer) return DefWindowProcW(window, message, wParam, lParam);
  InstanceCall call(viewer);
  switch (message) {
    case WM_DESTROY:
      return OnPluginWindowDestroyed(viewer, window, wParam, lParam);
    case WM_ERASEBKGND:
      return 1;  // the children cover the window
    case WM_SIZE:
      if (wParam == SIZE_RESTORED || wParam == SIZE_MAXIMIZED) LayoutChildren(viewer);
      return 0;
    case WM_PAINT: {
      PAINTSTRUCT ps;
      BeginPaint(window, &ps);
      EndPaint(window, &ps);
      return 0;
    }
    case WM_MOUSEACTIVATE:
      if (viewer->mode != kModeFullPage) break;
      SetFocus(window);
      return MA_ACTIVATE;
    case WM_CONTEXTMENU:
      viewer->input.suppressContextMenu = 0;  // the right button just ended a band
      return 0;
    case WM_KEYDOWN:
      if (!ImageWindowOf(viewer) || !DecideKey(static_cast<int32_t>(wParam), 0).handled) break;
      OnKeyDown(viewer, wParam);
      return 0;
    case kAutoPrintMessage:
      // Printing acts on this request; until it is built the request ends here.
      return 0;
    case WM_TIMER:
      if (wParam != 1) break;
      KillTimer(window, 1);
      return 0;
    default:
      if (IsWheel(message)) {
        if (!(viewer->access.miscFlags & kMiscIgnoreWheel) && ImageWindowOf(viewer))
          PostMessageW(ImageWindowOf(viewer), message, wParam, lParam);
        return 0;
      }
      break;
  }
  return CallPrevious(viewer, window, message, wParam, lParam);
}

LRESULT CALLBACK ImageWindowProcedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  ViewerInstance* viewer = ViewerOfImageWindow(window);
  if (!viewer) return DefWindowProcW(window, message, wParam, lParam);
  InstanceCall call(viewer);
  switch (message) {
    case WM_SIZE:
      FitStatusWindows(viewer);
      if ((wParam == SIZE_RESTORED || wParam == SIZE_MAXIMIZED) && viewer->view.scrollGuard == 0)
        LayoutMainView(viewer, viewer->settings.sizeMode != kSizeFixed);
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
      if (OnMouseDown(viewer, window, wParam, PointOf(lParam))) return 0;
      break;
    case WM_LBUTTONUP:
      if (OnMouseUp(viewer, window)) return 0;
      break;
    case WM_RBUTTONDOWN:
      if (OnRightButtonDown(viewer)) return 0;
      break;
    default:
      if (IsWheel(message)) {
        OnWheel(viewer, window, wParam);
        return 0;
      }
      break;
  }
  return DefWindowProcW(window, message, wParam, lParam);
}

void LayoutChildren(ViewerInstance* viewer) {
  HWND plugin = PluginWindowOf(viewer), image = ImageWindowOf(viewer);
  if (!plugin || !image) return;
  RECT client;
  GetClientRect(plugin, &client);
  // No toolbar yet: the image window takes the whole plug-in window.
  MoveWindow(image, 0, 0, client.right, client.bottom, TRUE);
  FitStatusWindows(viewer);
}

int AttachWindow(ViewerInstance* viewer, HWND pluginWindow) {
  if (!pluginWindow) return 0;
  viewer->pluginWindow = pluginWindow;
  SetPropW(pluginWindow, kViewerProperty, viewer);
  viewer->previousWindowProcedure = reinterpret_cast<void*>(
      SetWindowLongPtrW(pluginWindow, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(PluginWindowProcedure)));
  HWND image =
      CreateWindowExW(0, kImageWindowClass, L"image", WS_CHILD | WS_HSCROLL | WS_VSCROLL | WS_CLIPSIBLINGS, 0,
                      0, 0, 0, pluginWindow, nullptr, WindowLib().module, nullptr);
  if (!image) {
    ShowMessage(nullptr, kIconError, "Failed to create image window");
    return 0;
  }
  SetWindowLongPtrW(image, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(viewer));
  viewer->windows.imageWindow = image;
  ShowScrollBar(image, SB_BOTH, FALSE);
  LayoutChildren(viewer);
  LayoutMainView(viewer, kResetScroll);
  ShowWindow(image, SW_SHOW);
  // A window given during a download shows where the download stands.
  if (!ShowLoadStateText(viewer)) SetStatusText(viewer, u"*");
  UpdateWindow(pluginWindow);
  UpdateWindow(image);
  if (viewer->mode == kModeFullPage) SetFocus(pluginWindow);
  return 1;
}

void RefreshWindow(ViewerInstance* viewer) {
  if (HWND plugin = PluginWindowOf(viewer)) InvalidateRect(plugin, nullptr, TRUE);
  LayoutChildren(viewer);
  LayoutMainView(viewer, kResetScroll);
}

void DetachWindow(ViewerInstance* viewer) {
  HWND plugin = PluginWindowOf(viewer);
  if (plugin && IsWindow(plugin)) {
    CloseMagnifier(viewer);
    viewer->windows.magnifierWindow = nullptr;
    SetStatusText(viewer, u"");
    if (HWND image = ImageWindowOf(viewer)) DestroyWindow(image);
    if (viewer->previousWindowProcedure)
      SetWindowLongPtrW(plugin, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(viewer->previousWindowProcedure));
    RemovePropW(plugin, kViewerProperty);
  }
  ForgetImageWindow(viewer);
  viewer->previousWindowProcedure = nullptr;
  viewer->pluginWindow = nullptr;
}

namespace {

// The download's status line (a static text along the top of the image window)
// and progress bar (below it) exist only while there is something to show.
void StatusChanged(ViewerInstance* viewer) {
  HWND image = ImageWindowOf(viewer);
  if (!image) return;
  RECT inside;
  GetClientRect(image, &inside);
  HWND status = static_cast<HWND>(viewer->windows.statusWindow);
  const char16_t* text = TextOf(&viewer->status.statusText);
  if (*text) {
    if (!status) {
      status = CreateWindowExW(0, L"STATIC", L"", WS_CHILD | WS_VISIBLE | SS_LEFTNOWORDWRAP | SS_CENTERIMAGE,
                               0, 0, inside.right, 19, image, nullptr, GetModuleHandleW(nullptr), nullptr);
      if (status && WindowLib().statusFont)
        SendMessageW(status, WM_SETFONT, reinterpret_cast<WPARAM>(WindowLib().statusFont), 0);
      viewer->windows.statusWindow = status;
    }
    if (status) SetWindowTextW(status, reinterpret_cast<const wchar_t*>(text));
  } else if (status) {
    DestroyWindow(status);
    viewer->windows.statusWindow = nullptr;
  }
  HWND progress = static_cast<HWND>(viewer->windows.progressWindow);
  if (viewer->status.progressPercent >= 0) {
    if (!progress) {
      progress = CreateWindowExW(0, PROGRESS_CLASSW, L"", WS_CHILD | WS_VISIBLE, 0, 19, inside.right, 10,
                                 image, nullptr, GetModuleHandleW(nullptr), nullptr);
      viewer->windows.progressWindow = progress;
    }
    if (progress) SendMessageW(progress, PBM_SETPOS, static_cast<WPARAM>(viewer->status.progressPercent), 0);
  } else if (progress) {
    DestroyWindow(progress);
    viewer->windows.progressWindow = nullptr;
  }
  if (!status && !progress) InvalidateRect(image, nullptr, TRUE);
}

}  // namespace

void InstallImageWindowHooks(ViewerHooks* hooks) {
  hooks->statusChanged = StatusChanged;
  hooks->invalidate = InvalidateHook;
  hooks->captureMouse = CaptureHook;
  hooks->drawBand = DrawBandInWindow;
  hooks->scrollLine = ScrollLineHook;
  hooks->attachWindow = AttachHook;
  hooks->refreshWindow = RefreshWindow;
  hooks->detachWindow = DetachWindow;
  hooks->layoutMainView = LayoutMainView;
  hooks->rebuildMainView = RebuildHook;
  hooks->busy = BusyHook;
  hooks->postAutoPrint = PostAutoPrintHook;
}
