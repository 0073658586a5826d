#include "output/open_command_win.h"

// clang-format off
// The dialog declarations need the ones of windows.h first.
#include <windows.h>
#include <commdlg.h>
// clang-format on

#include "viewer/download_intake.h"
#include "viewer/status_line.h"
#include "viewer/window_calls.h"

namespace {

int OpenCommand(ViewerInstance* viewer) {
  if (IsRestricted(viewer, kRestrictOpenLocal) || viewer->download.loadState == kLoadDownloading) return 0;
  CloseMagnifier(viewer);
  HWND owner = static_cast<HWND>(viewer->pluginWindow);
  // The status and progress of the document being replaced go first.
  SetStatusText(viewer, u"");
  wchar_t chosen[256] = {0};
  OPENFILENAMEW dialog{};
  dialog.lStructSize = sizeof(dialog);
  dialog.hwndOwner = owner;
  dialog.lpstrFilter = L"TIFF (*.tif, *.tiff)\0*.tif;*.tiff\0All files\0*.*\0";
  dialog.nFilterIndex = 1;
  dialog.lpstrFile = chosen;
  dialog.nMaxFile = 256;
  dialog.lpstrTitle = L"Open TIFF File";
  dialog.Flags = OFN_FILEMUSTEXIST | OFN_HIDEREADONLY;
  int opened = 0;
  if (GetOpenFileNameW(&dialog)) opened = OpenLocalFile(viewer, reinterpret_cast<const char16_t*>(chosen));
  if (owner) SetFocus(owner);
  return opened;
}

}  // namespace

void InstallOpenHooks(ViewerHooks* hooks) { hooks->openLocalFile = OpenCommand; }
