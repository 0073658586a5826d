#include "controls/toolbar_win.h"

#include <commctrl.h>
#include <windowsx.h>

#include "common/diagnostics.h"
#include "common/text_format.h"
#include "controls/home_page.h"
#include "controls/toolbar_items.h"
#include "controls/toolbar_layout.h"
#include "controls/toolbar_state.h"
#include "plugin/browser_services.h"
#include "viewer/library.h"
#include "viewer/library_win.h"
#include "viewer/page_view.h"
#include "viewer/window_calls.h"

namespace {

constexpr int32_t kPageListDropHeight = 400;
constexpr int kTipTextLength = 80;

struct ToolbarLibrary {
  HINSTANCE module = nullptr;
  ATOM windowClass = 0;
  HICON sharedIcons[kItemCount] = {};  // default size, for the 26-pixel toolbar
  const BITMAPINFO* logo = nullptr;    // the 16-colour picture in the module's data
  const void* logoBits = nullptr;
};

ToolbarLibrary& ToolbarLib() {
  static ToolbarLibrary library;
  return library;
}

// Which way the up-down control was pressed, from its first notification of a
// click to the end of it. One pointer makes one click at a time.
int32_t g_zoomDirection = kZoomUnknown;

// Set while the left button went down on the logo link.
int g_logoPressed = 0;

ViewerInstance* ViewerOfToolbar(HWND window) {
  return reinterpret_cast<ViewerInstance*>(GetWindowLongPtrW(window, GWLP_USERDATA));
}
HWND ToolbarOf(const ViewerInstance* viewer) { return static_cast<HWND>(viewer->windows.toolbarWindow); }
HWND ControlOf(const ViewerInstance* viewer, int32_t item) {
  return item >= 0 && item < kItemCount ? static_cast<HWND>(viewer->toolbar.controls[item]) : nullptr;
}

int32_t ItemOfControl(const ViewerInstance* viewer, HWND control) {
  for (int32_t item = 0; item < kItemCount; ++item) {
    if (control && viewer->toolbar.controls[item] == control) return item;
  }
  return -1;
}

ToolbarMetrics MetricsOf(const ViewerInstance* viewer) {
  return ToolbarMetricsFor(viewer->prefs.toolbarHeight, WindowLib().messageHeight);
}

void LoadLogo(HINSTANCE module) {
  HRSRC found = FindResourceW(module, L"TOOLBARLOGO", MAKEINTRESOURCEW(2) /* RT_BITMAP */);
  HGLOBAL loaded = found ? LoadResource(module, found) : nullptr;
  const auto* info = loaded ? static_cast<const BITMAPINFO*>(LockResource(loaded)) : nullptr;
  if (!info || SizeofResource(module, found) < sizeof(BITMAPINFOHEADER) + 16 * sizeof(RGBQUAD)) return;
  const DWORD colours =
      info->bmiHeader.biClrUsed ? info->bmiHeader.biClrUsed : 1u << info->bmiHeader.biBitCount;
  ToolbarLib().logo = info;
  ToolbarLib().logoBits =
      reinterpret_cast<const uint8_t*>(info) + info->bmiHeader.biSize + colours * sizeof(RGBQUAD);
}

HICON LoadScaledIcon(int32_t iconId, int32_t size) {
  return static_cast<HICON>(
      LoadImageW(ToolbarLib().module, MAKEINTRESOURCEW(iconId), IMAGE_ICON, size, size, 0));
}

// ---- controls

HWND CreateUpDown(HWND toolbar, int32_t item, int32_t x, int32_t width, const ToolbarMetrics& metrics,
                  DWORD style) {
  HWND control =
      CreateWindowExW(0, UPDOWN_CLASSW, nullptr, WS_CHILD | style, x, kControlTop, width, metrics.buttonSize,
                      toolbar, reinterpret_cast<HMENU>(static_cast<INT_PTR>(kToolbarControlBase + item)),
                      ToolbarLib().module, nullptr);
  if (!control) return nullptr;
  // The upper end is 0: the arrow toward it magnifies, the other one shrinks.
  SendMessageW(control, UDM_SETRANGE, 0, MAKELPARAM(0, 2));
  SendMessageW(control, UDM_SETPOS, 0, MAKELPARAM(1, 0));
  ShowWindow(control, SW_SHOWNA);
  return control;
}

HFONT PageListFont(int32_t pageListHeight) {
  NONCLIENTMETRICSW metrics{};
  metrics.cbSize = sizeof(metrics);
  const wchar_t* face = L"Arial";
  if (SystemParametersInfoW(SPI_GETNONCLIENTMETRICS, sizeof(metrics), &metrics, 0) &&
      metrics.lfMessageFont.lfFaceName[0])
    face = metrics.lfMessageFont.lfFaceName;
  return CreateFontW(pageListHeight - 8, 0, 0, 0, FW_NORMAL, 0, 0, 0, DEFAULT_CHARSET, OUT_DEFAULT_PRECIS,
                     CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY, VARIABLE_PITCH | FF_SWISS, face);
}

HWND CreatePageList(ViewerInstance* viewer, HWND toolbar, int32_t item, int32_t x, int32_t width,
                    DWORD style) {
  HWND control = CreateWindowExW(
      0, L"COMBOBOX", nullptr, WS_CHILD | WS_VISIBLE | WS_VSCROLL | CBS_DROPDOWNLIST | CBS_HASSTRINGS | style,
      x, kControlTop, width, kPageListDropHeight, toolbar,
      reinterpret_cast<HMENU>(static_cast<INT_PTR>(kToolbarControlBase + item)), ToolbarLib().module,
      nullptr);
  if (!control) return nullptr;
  if (!viewer->toolbar.pageListFont)
    viewer->toolbar.pageListFont = PageListFont(viewer->toolbar.pageListHeight);
  if (viewer->toolbar.pageListFont)
    SendMessageW(control, WM_SETFONT, reinterpret_cast<WPARAM>(viewer->toolbar.pageListFont), FALSE);
  return control;
}

HWND CreateButton(ToolbarEntry* entry, HWND toolbar, int32_t x, int32_t width, const ToolbarMetrics& metrics,
                  DWORD style) {
  const int32_t item = entry->item;
  HWND control = CreateWindowExW(0, L"BUTTON", nullptr, WS_CHILD | WS_VISIBLE | BS_ICON | style, x,
                                 kControlTop, width, metrics.buttonSize, toolbar,
                                 reinterpret_cast<HMENU>(static_cast<INT_PTR>(kToolbarControlBase + item)),
                                 ToolbarLib().module, nullptr);
  if (!control) return nullptr;
  HICON icon = ToolbarLib().sharedIcons[item];
  if (metrics.height != 26 && kToolbarItems[item].iconId) {
    // Larger buttons get their own copy drawn from the larger images of the icon.
    const int32_t size = (metrics.buttonSize * 32 + 11) / 22;
    entry->ownIcon = LoadScaledIcon(kToolbarItems[item].iconId, size);
    icon = static_cast<HICON>(entry->ownIcon);
  }
  if (icon) SendMessageW(control, BM_SETIMAGE, IMAGE_ICON, reinterpret_cast<LPARAM>(icon));
  return control;
}

DWORD StyleBits(int32_t item) {
  switch (kToolbarItems[item].style) {
    case kStyleDisabled:
      return WS_DISABLED;
    case kStyleToggle:
      return BS_PUSHLIKE | BS_CHECKBOX;
    default:
      return 0;
  }
}

void CreateControls(ViewerInstance* viewer, HWND toolbar) {
  const ToolbarMetrics metrics = MetricsOf(viewer);
  const int32_t barWidth = Library().verticalBarWidth;
  for (ToolbarEntry& entry : viewer->toolbar.entries) {
    const int32_t item = entry.item;
    const int32_t width = ToolbarItemWidth(item, metrics, barWidth);
    HWND control = nullptr;
    switch (kToolbarItems[item].control) {
      case kControlUpDown:
        control = CreateUpDown(toolbar, item, entry.x, width, metrics, StyleBits(item));
        break;
      case kControlPageList:
        control = CreatePageList(viewer, toolbar, item, entry.x, width, StyleBits(item));
        break;
      case kControlButton:
        control = CreateButton(&entry, toolbar, entry.x, width, metrics, StyleBits(item));
        break;
      default:
        break;
    }
    entry.control = control;
    viewer->toolbar.controls[item] = control;
  }
}

// ---- tooltips

void CreateTooltips(ViewerInstance* viewer, HWND toolbar) {
  HWND tips = CreateWindowExW(WS_EX_TOPMOST, TOOLTIPS_CLASSW, nullptr, WS_POPUP | TTS_ALWAYSTIP,
                              CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, toolbar, nullptr,
                              ToolbarLib().module, nullptr);
  if (!tips) {
    ShowMessage(nullptr, kIconWarning, "Failed to create tooltips (error code %u)",
                static_cast<unsigned>(GetLastError()));
    return;
  }
  viewer->toolbar.tooltipWindow = tips;
  for (const ToolbarEntry& entry : viewer->toolbar.entries) {
    if (!entry.control) continue;
    TTTOOLINFOW tool{};
    tool.cbSize = TTTOOLINFOW_V2_SIZE;
    tool.uFlags = TTF_IDISHWND | TTF_SUBCLASS;
    tool.hwnd = toolbar;
    tool.uId = reinterpret_cast<UINT_PTR>(entry.control);
    const int32_t tip = kToolbarItems[entry.item].tipId;
    tool.hinst = tip ? ToolbarLib().module : nullptr;
    tool.lpszText = tip ? MAKEINTRESOURCEW(tip) : LPSTR_TEXTCALLBACKW;
    SendMessageW(tips, TTM_ADDTOOLW, 0, reinterpret_cast<LPARAM>(&tool));
  }
  SetTooltipsActive(viewer, viewer->prefs.toolTips);
}

LRESULT OnNotify(ViewerInstance* viewer, const NMHDR* header) {
  if (header->code != TTN_GETDISPINFOW) return 0;
  auto* info = reinterpret_cast<NMTTDISPINFOW*>(const_cast<NMHDR*>(header));
  const int32_t item = ItemOfControl(viewer, reinterpret_cast<HWND>(header->idFrom));
  if (item < 0) return 0;
  const std::u16string text = ToolbarTipText(viewer, item);
  CopyBounded(reinterpret_cast<char16_t*>(info->szText), kTipTextLength, text);
  info->lpszText = info->szText;
  info->hinst = nullptr;
  return 0;
}

// ---- commands

void OnZoomStep(ViewerInstance* viewer, WPARAM wParam) {
  switch (LOWORD(wParam)) {
    case SB_THUMBPOSITION:
      if (g_zoomDirection == kZoomUnknown) g_zoomDirection = HIWORD(wParam) == 0 ? kZoomIn : kZoomOut;
      break;
    case SB_ENDSCROLL: {
      if (HWND upDown = ControlOf(viewer, kItemZoomStep))
        SendMessageW(upDown, UDM_SETPOS, 0, MAKELPARAM(1, 0));
      const int32_t direction = g_zoomDirection;
      g_zoomDirection = kZoomUnknown;
      StepScale(viewer, direction);
      break;
    }
    default:
      break;
  }
}

void SetEnabled(ToolbarEntry* entry, int enabled) {
  if (!entry->control || enabled < 0 || entry->enabled == (enabled != 0)) return;
  entry->enabled = enabled != 0;
  EnableWindow(static_cast<HWND>(entry->control), enabled ? TRUE : FALSE);
}

void SetChecked(ToolbarEntry* entry, int checked) {
  if (!entry->control || checked < 0 || entry->checked == (checked != 0)) return;
  entry->checked = checked != 0;
  SendMessageW(static_cast<HWND>(entry->control), BM_SETCHECK, checked ? BST_CHECKED : BST_UNCHECKED, 0);
}

ToolbarEntry* EntryOf(ViewerInstance* viewer, HWND control) {
  for (ToolbarEntry& entry : viewer->toolbar.entries) {
    if (entry.control == control) return &entry;
  }
  return nullptr;
}

void OpenMenuFromButton(ViewerInstance* viewer, HWND button) {
  if (ToolbarEntry* entry = EntryOf(viewer, button)) SetChecked(entry, 1);
  UpdateWindow(button);
  // The menu hangs from the button's lower-left corner; it releases the
  // button when it closes.
  RECT area;
  GetWindowRect(button, &area);
  if (!ShowMenu(viewer, area.left, area.bottom, 1)) RefreshCheckStates(viewer);
}

void OnCommand(ViewerInstance* viewer, WPARAM wParam, LPARAM lParam) {
  DismissMagnifier(viewer);
  HWND control = reinterpret_cast<HWND>(lParam);
  const int32_t item = ItemOfControl(viewer, control);
  if (item < 0) return;
  const WORD code = HIWORD(wParam);
  if (item == kItemPageList) {
    if (code != CBN_SELCHANGE) return;
    const LRESULT selected = SendMessageW(control, CB_GETCURSEL, 0, 0);
    if (selected != CB_ERR) SetCurrentPage(viewer, static_cast<int32_t>(selected));
    return;
  }
  if (code != BN_CLICKED) return;
  if (HWND plugin = static_cast<HWND>(viewer->pluginWindow)) SetFocus(plugin);
  if (item == kItemMenu) {
    OpenMenuFromButton(viewer, control);
    return;
  }
  RunToolbarItem(viewer, item);
}

// ---- painting and the logo link

void Paint(ViewerInstance* viewer, HWND window) {
  PAINTSTRUCT ps;
  HDC dc = BeginPaint(window, &ps);
  RECT client;
  GetClientRect(window, &client);
  FillRect(dc, &client, GetSysColorBrush(COLOR_BTNFACE));
  const int right = client.right - 1, bottom = client.bottom - 1;
  HPEN light = CreatePen(PS_SOLID, 1, GetSysColor(COLOR_BTNHIGHLIGHT));
  HPEN shadow = CreatePen(PS_SOLID, 1, GetSysColor(COLOR_BTNSHADOW));
  HGDIOBJ before = SelectObject(dc, light);
  MoveToEx(dc, 0, bottom, nullptr);
  LineTo(dc, 0, 0);
  LineTo(dc, right, 0);
  SelectObject(dc, shadow);
  LineTo(dc, right, bottom);
  LineTo(dc, -1, bottom);
  SelectObject(dc, before);
  DeleteObject(light);
  DeleteObject(shadow);
  const ToolbarLibrary& lib = ToolbarLib();
  if (LogoShown(viewer->access.logoControl) && lib.logo) {
    StretchDIBits(dc, viewer->toolbar.logoPosition, kControlTop, kLogoWidth, kLogoHeight, 0, 0, kLogoWidth,
                  kLogoHeight, lib.logoBits, lib.logo, DIB_RGB_COLORS, SRCCOPY);
  }
  EndPaint(window, &ps);
}

int OnLogo(const ViewerInstance* viewer, LPARAM lParam) {
  return LogoIsLink(viewer->access.logoControl) &&
         PointOnLogo(viewer->toolbar.logoPosition, GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam));
}

int OnSetCursor(ViewerInstance* viewer, HWND window, WORD hit) {
  if (hit != HTCLIENT) return 0;
  POINT pointer;
  GetCursorPos(&pointer);
  ScreenToClient(window, &pointer);
  const int onLogo = OnLogo(viewer, MAKELPARAM(pointer.x, pointer.y));
  HCURSOR cursor = onLogo && viewer->windows.linkCursor ? static_cast<HCURSOR>(viewer->windows.linkCursor)
                                                        : CursorOf(onLogo ? kCursorLink : kCursorArrow);
  SetCursor(cursor);
  return 1;
}

void OnButtonDown(ViewerInstance* viewer, HWND window, LPARAM lParam) {
  if (OnLogo(viewer, lParam)) {
    g_logoPressed = 1;
    SetCapture(window);
    return;
  }
  DismissMagnifier(viewer);
  if (HWND plugin = static_cast<HWND>(viewer->pluginWindow)) SetFocus(plugin);
}

void OnButtonUp(ViewerInstance* viewer, LPARAM lParam) {
  if (!g_logoPressed) return;
  g_logoPressed = 0;
  ReleaseCapture();
  if (OnLogo(viewer, lParam) && viewer->browserInstance)
    OpenUrl(static_cast<NPP>(viewer->browserInstance), kMakerHomePage, kMakerHomePageTarget);
}

// ---- the entries and what they own

void LayOutEntries(ViewerInstance* viewer) {
  const ToolbarMetrics metrics = MetricsOf(viewer);
  const std::vector<int32_t> items = ToolbarItemsOf(viewer);
  const ToolbarPlacement placement = PlaceToolbarItems(items, metrics, Library().verticalBarWidth);
  viewer->toolbar.entries.clear();
  for (size_t i = 0; i < items.size(); ++i) viewer->toolbar.entries.push_back({items[i], placement.x[i]});
  viewer->toolbar.layoutWidth = placement.width;
  viewer->toolbar.pageListHeight = metrics.pageListHeight;
}

void ReleaseOwned(ViewerInstance* viewer) {
  for (ToolbarEntry& entry : viewer->toolbar.entries) {
    if (entry.ownIcon) DestroyIcon(static_cast<HICON>(entry.ownIcon));
    entry.ownIcon = nullptr;
    entry.control = nullptr;
  }
  if (viewer->toolbar.pageListFont) DeleteObject(static_cast<HFONT>(viewer->toolbar.pageListFont));
  viewer->toolbar.pageListFont = nullptr;
  for (void*& control : viewer->toolbar.controls) control = nullptr;
  viewer->toolbar.tooltipWindow = nullptr;
  viewer->windows.toolbarWindow = nullptr;
}

void RefreshHook(ViewerInstance* viewer, int now) {
  if (!ToolbarOf(viewer)) return;
  RefreshEnableStates(viewer);
  RefreshCheckStates(viewer);
  if (now) UpdateWindow(ToolbarOf(viewer));
}

}  // namespace

LRESULT CALLBACK ToolbarWindowProcedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  ViewerInstance* viewer = ViewerOfToolbar(window);
  if (!viewer) return DefWindowProcW(window, message, wParam, lParam);
  InstanceCall call(viewer);
  switch (message) {
    case WM_PAINT:
      Paint(viewer, window);
      return 0;
    case WM_ERASEBKGND:
      return 1;  // painting fills the whole window
    case WM_COMMAND:
      OnCommand(viewer, wParam, lParam);
      return 0;
    case WM_VSCROLL:
      if (lParam && reinterpret_cast<HWND>(lParam) == ControlOf(viewer, kItemZoomStep))
        OnZoomStep(viewer, wParam);
      return 0;
    case WM_NOTIFY:
      return OnNotify(viewer, reinterpret_cast<const NMHDR*>(lParam));
    case WM_SETCURSOR:
      if (reinterpret_cast<HWND>(wParam) == window && OnSetCursor(viewer, window, LOWORD(lParam)))
        return TRUE;
      break;
    case WM_LBUTTONDOWN:
      OnButtonDown(viewer, window, lParam);
      return 0;
    case WM_LBUTTONUP:
      OnButtonUp(viewer, lParam);
      return 0;
    case WM_CAPTURECHANGED:
      g_logoPressed = 0;
      return 0;
    default:
      break;
  }
  return DefWindowProcW(window, message, wParam, lParam);
}

void StartToolbarLibrary(HINSTANCE module) {
  ToolbarLibrary& lib = ToolbarLib();
  lib = ToolbarLibrary{};
  lib.module = module;
  WNDCLASSEXW wc{};
  wc.cbSize = sizeof(wc);
  wc.lpfnWndProc = ToolbarWindowProcedure;
  wc.hInstance = module;
  wc.hCursor = nullptr;  // the arrow, or the hand over the logo link
  wc.lpszClassName = kToolbarClass;
  lib.windowClass = RegisterClassExW(&wc);
  for (int32_t item = 0; item < kItemCount; ++item) {
    if (kToolbarItems[item].iconId)
      lib.sharedIcons[item] =
          static_cast<HICON>(LoadImageW(module, MAKEINTRESOURCEW(kToolbarItems[item].iconId), IMAGE_ICON, 0,
                                        0, LR_SHARED | LR_DEFAULTSIZE));
  }
  LoadLogo(module);
}

void StopToolbarLibrary() {
  ToolbarLibrary& lib = ToolbarLib();
  if (lib.windowClass) UnregisterClassW(kToolbarClass, lib.module);
  lib = ToolbarLibrary{};
}

int32_t ToolbarHeight(const ViewerInstance* viewer) { return MetricsOf(viewer).height; }

int CreateToolbar(ViewerInstance* viewer) {
  HWND plugin = static_cast<HWND>(viewer->pluginWindow);
  if (!plugin) return 0;
  LayOutEntries(viewer);
  HWND toolbar = CreateWindowExW(0, kToolbarClass, nullptr, WS_CHILD | WS_CLIPSIBLINGS, 0, 0, 0, 0, plugin,
                                 nullptr, ToolbarLib().module, nullptr);
  if (!toolbar) {
    ShowMessage(nullptr, kIconWarning, "Failed to create toolbar window (error code %u)",
                static_cast<unsigned>(GetLastError()));
    return 0;
  }
  SetWindowLongPtrW(toolbar, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(viewer));
  viewer->windows.toolbarWindow = toolbar;
  CreateControls(viewer, toolbar);
  FillPageList(viewer);
  RefreshEnableStates(viewer);
  RefreshCheckStates(viewer);
  CreateTooltips(viewer, toolbar);
  return 1;
}

void DestroyToolbar(ViewerInstance* viewer) {
  if (HWND tips = static_cast<HWND>(viewer->toolbar.tooltipWindow)) DestroyWindow(tips);
  if (HWND toolbar = ToolbarOf(viewer)) DestroyWindow(toolbar);
  ReleaseOwned(viewer);
}

void ForgetToolbar(ViewerInstance* viewer) { ReleaseOwned(viewer); }

int RebuildToolbar(ViewerInstance* viewer) {
  DestroyToolbar(viewer);
  if (!CreateToolbar(viewer)) return 0;
  FillPageList(viewer);
  RefreshEnableStates(viewer);
  return 1;
}

void RefreshEnableStates(ViewerInstance* viewer) {
  if (!ToolbarOf(viewer)) return;
  for (ToolbarEntry& entry : viewer->toolbar.entries) {
    if (entry.item == kItemZoomStep) continue;  // follows the size mode with the check states
    SetEnabled(&entry, ItemEnabled(viewer, entry.item));
  }
  HWND pages = ControlOf(viewer, kItemPageList);
  if (!pages) return;
  const int loaded = viewer->download.loadState == kLoadDone && viewer->download.hasPages;
  const LRESULT count = SendMessageW(pages, CB_GETCOUNT, 0, 0);
  if (count != (loaded ? viewer->download.document.pageCount : 0)) FillPageList(viewer);
  if (loaded && SendMessageW(pages, CB_GETCURSEL, 0, 0) != viewer->download.currentPage)
    SendMessageW(pages, CB_SETCURSEL, static_cast<WPARAM>(viewer->download.currentPage), 0);
}

void RefreshCheckStates(ViewerInstance* viewer) {
  if (!ToolbarOf(viewer)) return;
  for (ToolbarEntry& entry : viewer->toolbar.entries) {
    if (entry.item == kItemZoomStep) {
      SetEnabled(&entry, ItemEnabled(viewer, entry.item));
      continue;
    }
    SetChecked(&entry, ItemChecked(viewer, entry.item));
  }
}

void FillPageList(ViewerInstance* viewer) {
  HWND pages = ControlOf(viewer, kItemPageList);
  if (!pages) return;
  SendMessageW(pages, CB_RESETCONTENT, 0, 0);
  if (viewer->download.loadState != kLoadDone || !viewer->download.hasPages) return;
  for (int32_t page = 1; page <= viewer->download.document.pageCount; ++page) {
    wchar_t number[16];
    wsprintfW(number, L"%d", page);
    SendMessageW(pages, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(number));
  }
}

void SetTooltipsActive(ViewerInstance* viewer, int on) {
  if (HWND tips = static_cast<HWND>(viewer->toolbar.tooltipWindow))
    SendMessageW(tips, TTM_ACTIVATE, on ? TRUE : FALSE, 0);
}

void PlaceToolbar(ViewerInstance* viewer, int32_t y, int32_t width, int32_t height) {
  HWND toolbar = ToolbarOf(viewer);
  if (!toolbar) return;
  if (height <= 0) {
    ShowWindow(toolbar, SW_HIDE);
    return;
  }
  const int32_t logo = ToolbarLogoPosition(viewer->toolbar.layoutWidth, width, viewer->access.logoControl);
  if (logo != viewer->toolbar.logoPosition) {
    viewer->toolbar.logoPosition = logo;
    InvalidateRect(toolbar, nullptr, FALSE);
  }
  MoveWindow(toolbar, 0, y, width, height, TRUE);
  ShowWindow(toolbar, SW_SHOW);
}

void InstallToolbarHooks(ViewerHooks* hooks) { hooks->refreshToolbar = RefreshHook; }
