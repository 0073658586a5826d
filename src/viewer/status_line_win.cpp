#include "viewer/status_line_win.h"

#include <commctrl.h>

#include "viewer/library_win.h"

namespace {

constexpr int kStatusHeight = 19;
constexpr int kProgressHeight = 10;

HWND ImageWindowOf(const ViewerInstance* viewer) { return static_cast<HWND>(viewer->windows.imageWindow); }

void ShowStatus(ViewerInstance* viewer, HWND image, const RECT& inside) {
  HWND status = static_cast<HWND>(viewer->windows.statusWindow);
  const char16_t* text = TextOf(&viewer->status.statusText);
  if (*text) {
    if (!status) {
      status =
          CreateWindowExW(0, L"STATIC", L"", WS_CHILD | WS_VISIBLE | SS_LEFTNOWORDWRAP | SS_CENTERIMAGE, 0, 0,
                          inside.right, kStatusHeight, image, nullptr, GetModuleHandleW(nullptr), nullptr);
      if (status && WindowLib().statusFont)
        SendMessageW(status, WM_SETFONT, reinterpret_cast<WPARAM>(WindowLib().statusFont), 0);
      viewer->windows.statusWindow = status;
    }
    if (status) SetWindowTextW(status, reinterpret_cast<const wchar_t*>(text));
  } else if (status) {
    DestroyWindow(status);
    viewer->windows.statusWindow = nullptr;
  }
}

void ShowProgress(ViewerInstance* viewer, HWND image, const RECT& inside) {
  HWND progress = static_cast<HWND>(viewer->windows.progressWindow);
  if (viewer->status.progressPercent >= 0) {
    if (!progress) {
      progress =
          CreateWindowExW(0, PROGRESS_CLASSW, L"", WS_CHILD | WS_VISIBLE, 0, kStatusHeight, inside.right,
                          kProgressHeight, image, nullptr, GetModuleHandleW(nullptr), nullptr);
      viewer->windows.progressWindow = progress;
    }
    if (progress) SendMessageW(progress, PBM_SETPOS, static_cast<WPARAM>(viewer->status.progressPercent), 0);
  } else if (progress) {
    DestroyWindow(progress);
    viewer->windows.progressWindow = nullptr;
  }
}

void StatusChangedHook(ViewerInstance* viewer) {
  HWND image = ImageWindowOf(viewer);
  if (!image) return;
  RECT inside;
  GetClientRect(image, &inside);
  ShowStatus(viewer, image, inside);
  ShowProgress(viewer, image, inside);
  if (!viewer->windows.statusWindow && !viewer->windows.progressWindow) InvalidateRect(image, nullptr, TRUE);
}

}  // namespace

void FitStatusWindows(ViewerInstance* viewer) {
  HWND image = ImageWindowOf(viewer);
  if (!image) return;
  RECT inside;
  GetClientRect(image, &inside);
  constexpr UINT kResizeOnly = SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE;
  if (HWND status = static_cast<HWND>(viewer->windows.statusWindow))
    SetWindowPos(status, nullptr, 0, 0, inside.right, kStatusHeight, kResizeOnly);
  if (HWND progress = static_cast<HWND>(viewer->windows.progressWindow))
    SetWindowPos(progress, nullptr, 0, 0, inside.right, kProgressHeight, kResizeOnly);
}

void InstallStatusLineHooks(ViewerHooks* hooks) { hooks->statusChanged = StatusChangedHook; }
