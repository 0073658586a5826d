#include "viewer/plugin_window_win.h"

#include <windowsx.h>

#include "controls/toolbar_win.h"
#include "output/auto_print.h"
#include "update/version_check_win.h"
#include "viewer/image_window_win.h"
#include "viewer/library_win.h"
#include "viewer/main_view_win.h"
#include "viewer/page_view.h"
#include "viewer/status_line.h"
#include "viewer/status_line_win.h"
#include "viewer/window_calls.h"
#include "viewer/window_input.h"

namespace {

HWND PluginWindowOf(const ViewerInstance* viewer) { return static_cast<HWND>(viewer->pluginWindow); }
HWND ImageWindowOf(const ViewerInstance* viewer) { return static_cast<HWND>(viewer->windows.imageWindow); }

ViewerInstance* ViewerOfPluginWindow(HWND window) {
  return static_cast<ViewerInstance*>(GetPropW(window, kViewerProperty));
}

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

LRESULT CallPrevious(ViewerInstance* viewer, HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  auto previous = reinterpret_cast<WNDPROC>(viewer->previousWindowProcedure);
  return previous ? CallWindowProcW(previous, window, message, wParam, lParam)
                  : DefWindowProcW(window, message, wParam, lParam);
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
  ForgetToolbar(viewer);
  ForgetImageWindow(viewer);
  viewer->previousWindowProcedure = nullptr;
  if (viewer->pluginWindow == window) viewer->pluginWindow = nullptr;
  return previous ? CallWindowProcW(previous, window, WM_DESTROY, wParam, lParam)
                  : DefWindowProcW(window, WM_DESTROY, wParam, lParam);
}

int AttachHook(ViewerInstance* viewer, void* window) {
  return AttachWindow(viewer, static_cast<HWND>(window));
}

// The page asked to be printed once its document arrived; the settings are
// checked again now, as the user may have changed them meanwhile. The page
// hears how it went as from its own Print call.
void OnAutoPrint(ViewerInstance* viewer) {
  if (viewer->print.autoPrint == 0 || !viewer->prefs.allowScript) return;
  int printed = 0;
  switch (DecideAutoPrint(viewer)) {
    case kAutoPrintWithDialog:
      printed = PrintDocument(viewer, kPrintRequestDialog);
      break;
    case kAutoPrintDirect:
      printed = PrintDocument(viewer, kPrintRequestDefaultPrinter);
      break;
    default:
      break;
  }
  if (viewer->events.printComplete) viewer->events.printComplete(viewer, printed ? 1 : 0);
}

void PostAutoPrintHook(ViewerInstance* viewer) {
  if (HWND plugin = PluginWindowOf(viewer)) PostMessageW(plugin, kAutoPrintMessage, 0, 0);
}

}  // namespace

LRESULT CALLBACK PluginWindowProcedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  ViewerInstance* viewer = ViewerOfPluginWindow(window);
  if (!viewer) return DefWindowProcW(window, message, wParam, lParam);
  InstanceCall call(viewer);
  switch (message) {
    case WM_DESTROY:
      CancelVersionCheck();
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
      if (viewer->input.suppressContextMenu) {
        viewer->input.suppressContextMenu = 0;  // the right button just ended a band
        return 0;
      }
      ShowMenu(viewer, GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam), 0);
      return 0;
    case WM_KEYDOWN:
      if (!ImageWindowOf(viewer) || !DecideKey(static_cast<int32_t>(wParam), 0).handled) break;
      OnKeyDown(viewer, wParam);
      return 0;
    case kAutoPrintMessage:
      OnAutoPrint(viewer);
      return 0;
    case WM_TIMER:
      if (OnVersionCheckTimer(viewer, window, wParam)) return 0;
      break;
    case kHostLookupMessage:
      return OnHostLookup(viewer, window, wParam, lParam);
    case kSocketMessage:
      return OnSocketEvent(viewer, window, wParam, lParam);
    default:
      if (IsWheelMessage(message)) {
        if (!(viewer->access.miscFlags & kMiscIgnoreWheel) && ImageWindowOf(viewer))
          PostMessageW(ImageWindowOf(viewer), message, wParam, lParam);
        return 0;
      }
      break;
  }
  return CallPrevious(viewer, window, message, wParam, lParam);
}

void LayoutChildren(ViewerInstance* viewer) {
  HWND plugin = PluginWindowOf(viewer), image = ImageWindowOf(viewer);
  if (!plugin || !image) return;
  RECT client;
  GetClientRect(plugin, &client);
  // Without a toolbar (none asked for, or none could be made) the image
  // window takes the whole plug-in window.
  const int32_t position = viewer->windows.toolbarWindow ? viewer->toolbar.toolbarPosition : kToolbarNone;
  const int32_t bar = position == kToolbarNone ? 0 : ToolbarHeight(viewer);
  const int32_t imageTop = position == kToolbarBottom ? 0 : bar;
  PlaceToolbar(viewer, position == kToolbarBottom ? client.bottom - bar : 0, client.right, bar);
  MoveWindow(image, 0, imageTop, client.right, client.bottom - bar, TRUE);
  FitStatusWindows(viewer);
}

int AttachWindow(ViewerInstance* viewer, HWND pluginWindow) {
  if (!pluginWindow) return 0;
  viewer->pluginWindow = pluginWindow;
  SetPropW(pluginWindow, kViewerProperty, viewer);
  viewer->previousWindowProcedure = reinterpret_cast<void*>(
      SetWindowLongPtrW(pluginWindow, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(PluginWindowProcedure)));
  HWND image = CreateImageWindow(viewer, pluginWindow);
  if (!image) return 0;
  // A viewer whose toolbar cannot be made still shows its pages.
  CreateToolbar(viewer);
  LayoutChildren(viewer);
  LayoutMainViewInWindow(viewer, 0);
  ShowWindow(image, SW_SHOW);
  // A window given during a download shows where the download stands.
  if (!ShowLoadStateText(viewer)) SetStatusText(viewer, u"*");
  UpdateWindow(pluginWindow);
  UpdateWindow(image);
  if (viewer->mode == kModeFullPage) SetFocus(pluginWindow);
  ArmVersionCheck(viewer);
  return 1;
}

void RefreshWindow(ViewerInstance* viewer) {
  if (HWND plugin = PluginWindowOf(viewer)) InvalidateRect(plugin, nullptr, TRUE);
  LayoutChildren(viewer);
  LayoutMainViewInWindow(viewer, 0);
}

void DetachWindow(ViewerInstance* viewer) {
  HWND plugin = PluginWindowOf(viewer);
  if (plugin && IsWindow(plugin)) {
    CloseMagnifier(viewer);
    viewer->windows.magnifierWindow = nullptr;
    SetStatusText(viewer, u"");
    DestroyToolbar(viewer);
    if (HWND image = ImageWindowOf(viewer)) DestroyWindow(image);
    CancelVersionCheckOf(plugin);
    if (viewer->previousWindowProcedure)
      SetWindowLongPtrW(plugin, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(viewer->previousWindowProcedure));
    RemovePropW(plugin, kViewerProperty);
  }
  ForgetToolbar(viewer);
  ForgetImageWindow(viewer);
  viewer->previousWindowProcedure = nullptr;
  viewer->pluginWindow = nullptr;
}

void InstallPluginWindowHooks(ViewerHooks* hooks) {
  hooks->attachWindow = AttachHook;
  hooks->refreshWindow = RefreshWindow;
  hooks->detachWindow = DetachWindow;
  hooks->postAutoPrint = PostAutoPrintHook;
}
