#include "viewer/library_win.h"

#include <commctrl.h>

#include "common/diagnostics.h"
#include "controls/colour_chooser_win.h"
#include "controls/context_menu_win.h"
#include "controls/magnifier_win.h"
#include "controls/toolbar_win.h"
#include "dialogs/report_dialogs_win.h"
#include "dialogs/settings_sheet_win.h"
#include "document/tag_viewer_win.h"
#include "output/clipboard_win.h"
#include "output/desktop_background_win.h"
#include "output/mail_command_win.h"
#include "output/open_command_win.h"
#include "output/print_job_win.h"
#include "output/save_command_win.h"
#include "output/upload_win.h"
#include "update/version_check_win.h"
#include "viewer/image_window_win.h"
#include "viewer/library.h"
#include "viewer/plugin_window_win.h"
#include "viewer/status_line_win.h"

namespace {

// The library's own cursors by resource name; the link cursor is the
// system's hand where there is one.
struct CursorSource {
  CursorKind kind;
  const wchar_t* resource;
  int atStart;
};
constexpr CursorSource kCursorSources[] = {
    {kCursorLink, L"HOTSPOT2", 1},    {kCursorMagnify, L"MAGNIFY", 1},   {kCursorPanOpen, L"CUR_PAN1", 1},
    {kCursorPanHeld, L"CUR_PAN2", 1}, {kCursorPencil, L"CUR_PENCIL", 0}, {kCursorEraser, L"CUR_ERASER", 0},
};

HCURSOR LoadOwnCursor(CursorKind kind) {
  for (const CursorSource& source : kCursorSources) {
    if (source.kind == kind) return LoadCursorW(WindowLib().module, source.resource);
  }
  return nullptr;
}

void InitCommonControlsForViewer() {
  INITCOMMONCONTROLSEX controls{sizeof(controls), ICC_BAR_CLASSES | ICC_UPDOWN_CLASS | ICC_PROGRESS_CLASS};
  if (!InitCommonControlsEx(&controls))
    ShowMessage(nullptr, kIconError, "Failed to initialize common controls");
}

void LoadCursors() {
  WindowLibrary& lib = WindowLib();
  lib.cursors[kCursorArrow] = LoadCursorW(nullptr, IDC_ARROW);
  lib.cursors[kCursorCross] = LoadCursorW(nullptr, IDC_CROSS);
  for (const CursorSource& source : kCursorSources) {
    if (source.atStart) lib.cursors[source.kind] = LoadOwnCursor(source.kind);
  }
}

void RegisterImageClass() {
  WNDCLASSEXW wc{};
  wc.cbSize = sizeof(wc);
  wc.style = CS_DBLCLKS;
  wc.lpfnWndProc = ImageWindowProcedure;
  wc.hInstance = WindowLib().module;
  wc.hCursor = nullptr;  // chosen on every set-cursor message
  wc.lpszClassName = kImageWindowClass;
  WindowLib().imageClass = RegisterClassExW(&wc);
}

void MakeFonts() {
  WindowLibrary& lib = WindowLib();
  NONCLIENTMETRICSW metrics{};
  metrics.cbSize = sizeof(metrics);
  int32_t height = 16;
  const wchar_t* face = L"Arial";
  if (SystemParametersInfoW(SPI_GETNONCLIENTMETRICS, sizeof(metrics), &metrics, 0)) {
    height = MessageFontHeight(metrics.lfMessageFont.lfHeight);
    if (metrics.lfMessageFont.lfFaceName[0]) face = metrics.lfMessageFont.lfFaceName;
  }
  lib.messageHeight = height;
  lib.smallFont = CreateFontW(10, 0, 0, 0, FW_NORMAL, 0, 0, 0, DEFAULT_CHARSET, OUT_DEFAULT_PRECIS,
                              CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY, DEFAULT_PITCH, L"Small Fonts");
  lib.messageFont = CreateFontW(14, 0, 0, 0, FW_NORMAL, 0, 0, 0, DEFAULT_CHARSET, OUT_DEFAULT_PRECIS,
                                CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY, DEFAULT_PITCH, face);
  lib.statusFont = CreateFontW(16, 0, 0, 0, FW_NORMAL, 0, 0, 0, DEFAULT_CHARSET, OUT_DEFAULT_PRECIS,
                               CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY, DEFAULT_PITCH, face);
  Library().verticalBarWidth = GetSystemMetrics(SM_CXVSCROLL);
  Library().horizontalBarHeight = GetSystemMetrics(SM_CYHSCROLL);
}

// Systems before NT 4 and the 9x line knew the wheel only as a registered message.
void ChooseWheelMessage() {
  DWORD version = GetVersion();
  const DWORD major = LOBYTE(LOWORD(version));
  const bool nt = (version & 0x80000000u) == 0;
  WindowLib().wheelMessage =
      major < 4 || (major == 4 && !nt) ? RegisterWindowMessageW(L"MSWHEEL_ROLLMSG") : WM_MOUSEWHEEL;
}

void CreateWindowResources(ViewerInstance* viewer) {
  HCURSOR hand = LoadCursorW(nullptr, IDC_HAND);
  viewer->windows.linkCursor = hand ? hand : WindowLib().cursors[kCursorLink];
  viewer->windows.backgroundBrush = CreateSolidBrush(viewer->params.background & 0xFFFFFF);
}

void ReleaseWindowResources(ViewerInstance* viewer) {
  if (viewer->windows.backgroundBrush) DeleteObject(static_cast<HBRUSH>(viewer->windows.backgroundBrush));
  viewer->windows.backgroundBrush = nullptr;
  viewer->windows.linkCursor = nullptr;  // shared cursors are never destroyed
}

void DeleteFont(HFONT* font) {
  if (*font) DeleteObject(*font);
  *font = nullptr;
}

}  // namespace

WindowLibrary& WindowLib() {
  static WindowLibrary library;
  return library;
}

int32_t MessageFontHeight(LONG height) {
  int32_t pixels = height;
  if (height < 0) pixels = static_cast<int32_t>(-height * 16.0 / 11.0 + 0.5);
  return pixels < 16 ? 16 : pixels;
}

HCURSOR CursorOf(CursorKind kind) {
  WindowLibrary& lib = WindowLib();
  if (kind < 0 || kind >= kCursorCount) kind = kCursorArrow;
  if (!lib.cursors[kind]) lib.cursors[kind] = LoadOwnCursor(kind);
  return lib.cursors[kind] ? lib.cursors[kind] : LoadCursorW(nullptr, IDC_ARROW);
}

void StartWindowLibrary(HINSTANCE module) {
  WindowLibrary& lib = WindowLib();
  lib = WindowLibrary{};
  lib.module = module;
  if (!module) ShowMessage(nullptr, kIconError, "Cannot load resources");
  InitCommonControlsForViewer();
  LoadCursors();
  RegisterImageClass();
  StartToolbarLibrary(module);
  RegisterMagnifierClass(module);
  MakeFonts();
  ChooseWheelMessage();
  ViewerHooks& hooks = Library().hooks;
  InstallPluginWindowHooks(&hooks);
  InstallImageWindowHooks(&hooks);
  InstallStatusLineHooks(&hooks);
  InstallToolbarHooks(&hooks);
  InstallMagnifierHooks(&hooks);
  InstallPrintHooks(&hooks);
  InstallContextMenuHooks(&hooks);
  InstallTagViewerHooks(&hooks);
  InstallPenColourHook(&hooks);
  InstallClipboardHooks(&hooks);
  InstallSaveHooks(&hooks);
  InstallOpenHooks(&hooks);
  InstallDesktopHooks(&hooks);
  InstallMailHooks(&hooks);
  InstallReportDialogHooks(&hooks);
  InstallSettingsSheetHook(&hooks);
  InstallUploadHook(&hooks);
  hooks.checkVersion = CheckVersionNow;
  ResetVersionCheck();
  hooks.createWindowResources = CreateWindowResources;
  hooks.releaseWindowResources = ReleaseWindowResources;
}

void StopWindowLibrary() {
  CancelVersionCheck();
  WindowLibrary& lib = WindowLib();
  DeleteFont(&lib.smallFont);
  DeleteFont(&lib.messageFont);
  DeleteFont(&lib.statusFont);
  if (lib.whiteoutBrush) DeleteObject(lib.whiteoutBrush);
  if (lib.imageClass) UnregisterClassW(kImageWindowClass, lib.module);
  StopToolbarLibrary();
  UnregisterMagnifierClass(lib.module);
  Library().hooks = ViewerHooks{};
  lib = WindowLibrary{};
}
