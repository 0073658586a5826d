#include "dialogs/settings_sheet_win.h"

#include <windows.h>
// after windows.h, which they need
#include <commctrl.h>
#include <prsht.h>

#include <algorithm>
#include <string>
#include <vector>

#include "common/text_format.h"
#include "controls/colour_chooser_win.h"
#include "controls/monitor_areas_win.h"
#include "controls/toolbar_win.h"
#include "dialogs/settings_sheet.h"
#include "platform/platform.h"
#include "viewer/library.h"
#include "viewer/library_win.h"
#include "viewer/page_view.h"
#include "viewer/plugin_window_win.h"
#include "viewer/settings.h"
#include "viewer/window_calls.h"

namespace {

// Controls of "General".
constexpr int kToolbarList = 1049;
constexpr int kZoomSizeList = 1050;
constexpr int kPanList = 1051;
constexpr int kWheelList = 1067;
constexpr int kButtonSizeBox = 1075;
constexpr int kButtonSizeArrows = 1076;
constexpr int kColourButton = 1043;
constexpr int kSwatch = 1059;
// Controls of "Advanced".
constexpr int kMonitorList = 1071;
constexpr int kScripting = 1054;
constexpr int kAutoPrint = 1055;
constexpr int kLocalFilesLabel = 1070;
constexpr int kLocalFilesList = 1069;
constexpr int kDefaults = 1058;  // on both pages

constexpr UINT kTitleGeneral = 320, kTitleAdvanced = 321, kSheetCaption = 322, kMonitorAt = 328;

// A check box and the preference it shows.
struct CheckRow {
  int page;
  int control;
  int32_t Preferences::*value;
  int32_t bit;  // 0: the whole value is the flag
};
// clang-format off
const CheckRow kChecks[] = {
    {kSheetGeneral,  1052, &Preferences::printFull,             0},
    {kSheetGeneral,  1073, &Preferences::printCenter,           0},
    {kSheetGeneral,  1074, &Preferences::printAutoRotate,       0},
    {kSheetGeneral,  1056, &Preferences::autoUpdate,            0},
    {kSheetAdvanced, 1044, &Preferences::toolTips,              0},
    {kSheetAdvanced, 1045, &Preferences::fixRatio,              0},
    {kSheetAdvanced, 1046, &Preferences::ignoreSpecialImages,   1},
    {kSheetAdvanced, 1064, &Preferences::ignoreSpecialImages,   2},
    {kSheetAdvanced, 1053, &Preferences::printStretched,        0},
    {kSheetAdvanced, 1072, &Preferences::supportMultipleCopies, 0},
    {kSheetAdvanced, 1054, &Preferences::allowScript,           0},
    {kSheetAdvanced, 1055, &Preferences::allowAutoPrint,        0},
};
// A drop-down list's string-table entries.
const UINT kToolbarTexts[] = {290, 291, 292};
const UINT kZoomSizeTexts[] = {293, 294, 295, 296, 307, 308};
const UINT kPanTexts[] = {297, 298, 299, 300, 301};
const UINT kWheelTexts[] = {341, 342};
const UINT kLocalFilesTexts[] = {323, 324, 325};
const UINT kMonitorTexts[] = {326, 327};
// clang-format on

struct SheetState {
  ViewerInstance* viewer = nullptr;
  Preferences working;
  int applied = 0;
  int32_t lastPage = 0;
  HBRUSH swatch = nullptr;
  std::vector<IntPoint> monitors;
};

std::wstring Text(UINT id) {
  wchar_t text[256] = {};
  LoadStringW(WindowLib().module, id, text, 256);
  return text;
}

void FillList(HWND dialog, int id, const UINT* texts, size_t count, int32_t choice) {
  HWND list = GetDlgItem(dialog, id);
  SendMessageW(list, CB_RESETCONTENT, 0, 0);
  for (size_t i = 0; i < count; ++i)
    SendMessageW(list, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(Text(texts[i]).c_str()));
  SendMessageW(list, CB_SETCURSEL, static_cast<WPARAM>(choice), 0);
}

int32_t Chosen(HWND dialog, int id) {
  const LRESULT choice = SendDlgItemMessageW(dialog, id, CB_GETCURSEL, 0, 0);
  return choice < 0 ? 0 : static_cast<int32_t>(choice);
}

void ShowChecks(HWND dialog, int page, const Preferences& prefs) {
  for (const CheckRow& row : kChecks) {
    if (row.page != page) continue;
    const int32_t value = prefs.*row.value;
    CheckDlgButton(dialog, row.control, (row.bit ? (value & row.bit) : value) ? BST_CHECKED : BST_UNCHECKED);
  }
}

void ReadChecks(HWND dialog, int page, Preferences* prefs) {
  for (const CheckRow& row : kChecks) {
    if (row.page != page) continue;
    const bool on = IsDlgButtonChecked(dialog, row.control) == BST_CHECKED;
    int32_t& value = prefs->*row.value;
    value = row.bit ? ((value & ~row.bit) | (on ? row.bit : 0)) : (on ? 1 : 0);
  }
}

void ShowSwatch(HWND dialog, SheetState* state) {
  if (state->swatch) DeleteObject(state->swatch);
  state->swatch = CreateSolidBrush(static_cast<COLORREF>(state->working.backgroundColour & 0xFFFFFF));
  InvalidateRect(GetDlgItem(dialog, kSwatch), nullptr, TRUE);
}

void ShowGeneral(HWND dialog, SheetState* state) {
  const Preferences& p = state->working;
  FillList(dialog, kToolbarList, kToolbarTexts, 3, ToolbarChoice(p.toolbar));
  const int32_t sizes = ZoomSizeEntries(p);
  FillList(dialog, kZoomSizeList, kZoomSizeTexts, static_cast<size_t>(sizes),
           CountedChoice(p.zoomSize, sizes));
  FillList(dialog, kPanList, kPanTexts, 5, CountedChoice(p.panSensitivity, 5));
  FillList(dialog, kWheelList, kWheelTexts, 2, WheelChoice(p.mouseWheelDirection));
  SendDlgItemMessageW(dialog, kButtonSizeArrows, UDM_SETPOS32, 0, p.toolbarHeight - 4);
  ShowChecks(dialog, kSheetGeneral, p);
  ShowSwatch(dialog, state);
}

void ReadGeneral(HWND dialog, SheetState* state) {
  Preferences& p = state->working;
  p.toolbar = ToolbarFromChoice(Chosen(dialog, kToolbarList));
  p.zoomSize = Chosen(dialog, kZoomSizeList) + 1;
  p.panSensitivity = Chosen(dialog, kPanList) + 1;
  p.mouseWheelDirection = WheelFromChoice(Chosen(dialog, kWheelList));
  BOOL read = FALSE;
  const UINT typed = GetDlgItemInt(dialog, kButtonSizeBox, &read, FALSE);
  if (read) p.toolbarHeight = ToolbarHeightFor(static_cast<int32_t>(std::min<UINT>(typed, 1000)));
  ReadChecks(dialog, kSheetGeneral, &p);
}

// Scripting decides whether its three dependants can be used.
void EnableScriptDependants(HWND dialog) {
  const BOOL on = IsDlgButtonChecked(dialog, kScripting) == BST_CHECKED;
  for (int id : {kAutoPrint, kLocalFilesLabel, kLocalFilesList}) EnableWindow(GetDlgItem(dialog, id), on);
}

void ShowAdvanced(HWND dialog, SheetState* state) {
  const Preferences& p = state->working;
  ShowChecks(dialog, kSheetAdvanced, p);
  FillList(dialog, kLocalFilesList, kLocalFilesTexts, 3, std::clamp(p.localAccess, 0, 2));
  HWND list = GetDlgItem(dialog, kMonitorList);
  FillList(dialog, kMonitorList, kMonitorTexts, 2, 0);
  const std::wstring at = Text(kMonitorAt);
  for (const IntPoint& corner : state->monitors) {
    wchar_t entry[300];
    _snwprintf(entry, 300, L"%ls (%d,%d)", at.c_str(), corner.x, corner.y);
    entry[299] = 0;
    SendMessageW(list, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(entry));
  }
  SendMessageW(list, CB_SETCURSEL, static_cast<WPARAM>(ZoomMonitorChoice(p, state->monitors)), 0);
  EnableScriptDependants(dialog);
}

void ReadAdvanced(HWND dialog, SheetState* state) {
  Preferences& p = state->working;
  ReadChecks(dialog, kSheetAdvanced, &p);
  p.localAccess = Chosen(dialog, kLocalFilesList);
  SetZoomMonitorChoice(&p, Chosen(dialog, kMonitorList), state->monitors);
}

void ChooseBackground(HWND dialog, SheetState* state) {
  uint32_t colour = static_cast<uint32_t>(state->working.backgroundColour);
  if (ChooseColourFor(dialog, &colour)) {
    state->working.backgroundColour = static_cast<int32_t>(colour & 0xFFFFFF);
    ShowSwatch(dialog, state);
  }
}

// What both pages do; each page's procedure names its index.
INT_PTR PageProcedure(int page, HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
  auto* state = reinterpret_cast<SheetState*>(GetWindowLongPtrW(dialog, DWLP_USER));
  switch (message) {
    case WM_INITDIALOG: {
      state = reinterpret_cast<SheetState*>(reinterpret_cast<const PROPSHEETPAGEW*>(lParam)->lParam);
      SetWindowLongPtrW(dialog, DWLP_USER, reinterpret_cast<LONG_PTR>(state));
      if (page == kSheetGeneral) {
        SendDlgItemMessageW(dialog, kButtonSizeBox, EM_LIMITTEXT, 3, 0);
        SendDlgItemMessageW(dialog, kButtonSizeArrows, UDM_SETBUDDY,
                            reinterpret_cast<WPARAM>(GetDlgItem(dialog, kButtonSizeBox)), 0);
        SendDlgItemMessageW(dialog, kButtonSizeArrows, UDM_SETRANGE32, kButtonSizeLeast, kButtonSizeMost);
        ShowGeneral(dialog, state);
      } else {
        state->monitors = OtherMonitorCorners(kListedMonitorsMost);
        ShowAdvanced(dialog, state);
      }
      return TRUE;
    }
    case WM_CTLCOLORSTATIC:
      if (state && state->swatch && reinterpret_cast<HWND>(lParam) == GetDlgItem(dialog, kSwatch)) {
        SetBkMode(reinterpret_cast<HDC>(wParam), TRANSPARENT);
        return reinterpret_cast<INT_PTR>(state->swatch);
      }
      return FALSE;
    case WM_COMMAND:
      if (!state) return FALSE;
      switch (LOWORD(wParam)) {
        case kColourButton:
          ChooseBackground(dialog, state);
          return TRUE;
        case kScripting:
          EnableScriptDependants(dialog);
          return TRUE;
        case kDefaults:
          RestorePageDefaults(&state->working, page);
          if (page == kSheetGeneral) {
            ShowGeneral(dialog, state);
          } else {
            ShowAdvanced(dialog, state);
          }
          return TRUE;
        default:
          return FALSE;
      }
    case WM_NOTIFY: {
      if (!state) return FALSE;
      switch (reinterpret_cast<const NMHDR*>(lParam)->code) {
        case PSN_SETACTIVE:
          state->lastPage = page;
          SetWindowLongPtrW(dialog, DWLP_MSGRESULT, 0);
          return TRUE;
        case PSN_APPLY:
          if (page == kSheetGeneral) {
            ReadGeneral(dialog, state);
          } else {
            ReadAdvanced(dialog, state);
          }
          state->applied = 1;
          SetWindowLongPtrW(dialog, DWLP_MSGRESULT, PSNRET_NOERROR);
          return TRUE;
        default:
          return FALSE;
      }
    }
    default:
      return FALSE;
  }
}

INT_PTR CALLBACK GeneralProcedure(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
  return PageProcedure(kSheetGeneral, dialog, message, wParam, lParam);
}

INT_PTR CALLBACK AdvancedProcedure(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
  return PageProcedure(kSheetAdvanced, dialog, message, wParam, lParam);
}

// No help button: the context-help style comes off the template the sheet
// is made from, in either of its two forms.
// Over the middle of the viewer, as its other dialogs open.
void CentreOnOwner(HWND sheet) {
  HWND owner = GetWindow(sheet, GW_OWNER);
  RECT around, own;
  if (!owner || !GetWindowRect(owner, &around) || !GetWindowRect(sheet, &own)) return;
  const LONG width = own.right - own.left, height = own.bottom - own.top;
  const LONG left = std::max<LONG>(0, (around.left + around.right - width) / 2);
  const LONG top = std::max<LONG>(0, (around.top + around.bottom - height) / 2);
  SetWindowPos(sheet, nullptr, left, top, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

int CALLBACK SheetCallback(HWND sheet, UINT message, LPARAM lParam) {
  if (message == PSCB_INITIALIZED) CentreOnOwner(sheet);
  if (message != PSCB_PRECREATE || !lParam) return 0;
  // The extended form, which the headers do not declare: its style follows
  // the version, the signature, the help id and the extended style.
  struct ExtendedTemplateStart {
    WORD version;
    WORD signature;
    DWORD helpId;
    DWORD extendedStyle;
    DWORD style;
  };
  auto* extended = reinterpret_cast<ExtendedTemplateStart*>(lParam);
  if (extended->version == 1 && extended->signature == 0xFFFF) {
    extended->style &= ~static_cast<DWORD>(DS_CONTEXTHELP);
  } else {
    reinterpret_cast<DLGTEMPLATE*>(lParam)->style &= ~static_cast<DWORD>(DS_CONTEXTHELP);
  }
  return 0;
}

// After OK: the stored settings, then what the open viewer must change, in order.
void ApplySheet(ViewerInstance* viewer, const Preferences& before) {
  const Preferences& after = viewer->prefs;
  SaveSettings(viewer, Library().store.get(), kGroupPreferences);
  const SheetConsequences c = ConsequencesOf(viewer, before, after);
  if (c.adoptPosition) viewer->toolbar.toolbarPosition = after.toolbar;
  if (c.rebuildToolbar) RebuildToolbar(viewer);
  if (c.relayout) LayoutChildren(viewer);
  if (c.replaceBrush) {
    viewer->params.background = static_cast<uint32_t>(after.backgroundColour);
    FreeWindowResources(viewer);
    MakeWindowResources(viewer);
  }
  if (c.tooltips) SetTooltipsActive(viewer, after.toolTips);
  if (c.renumber) {
    RenumberPages(viewer);
  } else if (c.reloadPage) {
    ShowPage(viewer, viewer->download.currentPage);
  }
  if (c.renumber || c.reloadPage || c.repaint) Invalidate(viewer, kEraseBackground);
}

int ShowSettingsSheetHook(ViewerInstance* viewer) {
  HWND owner = static_cast<HWND>(viewer->pluginWindow);
  if (viewer->output.busy || !owner) return 0;
  CloseMagnifier(viewer);
  viewer->output.busy = 1;
  SheetState state;
  state.viewer = viewer;
  state.working = viewer->prefs;
  const Preferences before = viewer->prefs;
  const std::wstring titles[2] = {Text(kTitleGeneral), Text(kTitleAdvanced)};
  const wchar_t* templates[2] = {L"DLGMORESETGEN", L"DLGMORESETADV"};
  const DLGPROC procedures[2] = {GeneralProcedure, AdvancedProcedure};
  PROPSHEETPAGEW pages[2] = {};
  for (int i = 0; i < 2; ++i) {
    pages[i].dwSize = sizeof(PROPSHEETPAGEW);
    pages[i].dwFlags = PSP_USETITLE;
    pages[i].hInstance = WindowLib().module;
    pages[i].pszTemplate = templates[i];
    pages[i].pfnDlgProc = procedures[i];
    pages[i].pszTitle = titles[i].c_str();
    pages[i].lParam = reinterpret_cast<LPARAM>(&state);
  }
  const std::wstring caption = Text(kSheetCaption);
  PROPSHEETHEADERW header = {};
  header.dwSize = sizeof(header);
  header.dwFlags = PSH_PROPSHEETPAGE | PSH_NOAPPLYNOW | PSH_USECALLBACK;
  header.hwndParent = owner;
  header.hInstance = WindowLib().module;
  header.pszCaption = caption.c_str();
  header.nPages = 2;
  header.nStartPage = static_cast<UINT>(std::clamp(viewer->prefs.lastSettingsPage, 0, 1));
  header.ppsp = pages;
  header.pfnCallback = SheetCallback;
  state.lastPage = static_cast<int32_t>(header.nStartPage);
  PropertySheetW(&header);
  SetFocus(owner);
  if (state.swatch) DeleteObject(state.swatch);
  if (state.applied) {
    viewer->prefs = state.working;
    viewer->prefs.lastSettingsPage = state.lastPage;
    ApplySheet(viewer, before);
  }
  // Cancel too: the sheet opens next time where the user left it.
  viewer->prefs.lastSettingsPage = state.lastPage;
  viewer->output.busy = 0;
  return state.applied;
}

}  // namespace

void InstallSettingsSheetHook(ViewerHooks* hooks) { hooks->showSettingsSheet = ShowSettingsSheetHook; }
