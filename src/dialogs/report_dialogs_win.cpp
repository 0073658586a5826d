#include "dialogs/report_dialogs_win.h"

#include <windows.h>

// clang-format off
#include <cstdio>  // before jpeglib.h, which uses FILE
#include <jpeglib.h>
#include <jerror.h>
// clang-format on
#include <tiffio.h>
#include <zlib.h>

#include <algorithm>
#include <string>
#include <utility>

#include "common/text_format.h"
#include "controls/context_menu.h"
#include "dialogs/information_report.h"
#include "viewer/library_win.h"
#include "viewer/window_calls.h"

extern "C" const char deflate_copyright[];  // zlib's own notice line

namespace {

constexpr int kReportBox = 1006;
constexpr int kLogBox = 1060;
constexpr int kHomePageButton = 40025;
constexpr int kCopyButton = 40016;
constexpr int kUserAgentMaximum = 1024;

std::u16string Wide(const char* text) { return Utf8ToUtf16(text ? text : ""); }

std::u16string Trimmed(std::u16string text) {
  const size_t first = text.find_first_not_of(u' ');
  if (first == std::u16string::npos) return u"";
  return text.substr(first, text.find_last_not_of(u' ') - first + 1);
}

EnvironmentFacts GatherEnvironment(ViewerInstance* viewer) {
  EnvironmentFacts facts;
  FILETIME now;
  GetSystemTimeAsFileTime(&now);
  facts.nowHigh = now.dwHighDateTime;
  if (viewer->events.userAgent) {
    char16_t agent[kUserAgentMaximum] = {};
    viewer->events.userAgent(viewer, agent, kUserAgentMaximum);
    facts.userAgent = agent;
  }
  OSVERSIONINFOEXW version{};
  version.dwOSVersionInfoSize = sizeof(version);
  if (GetVersionExW(reinterpret_cast<OSVERSIONINFOW*>(&version))) {
    facts.platform = static_cast<int32_t>(version.dwPlatformId);
    facts.major = static_cast<int32_t>(version.dwMajorVersion);
    facts.minor = static_cast<int32_t>(version.dwMinorVersion);
    facts.build = static_cast<int32_t>(version.dwBuildNumber);
    facts.servicePack = reinterpret_cast<const char16_t*>(version.szCSDVersion);
  }
  // A browser library never runs in a protected-mode host of its own; before
  // Windows Vista there is no such mode at all.
  facts.protectedMode = facts.major < 6 ? -1 : 0;
  wchar_t location[MAX_PATH] = {};
  GetModuleFileNameW(WindowLib().module, location, MAX_PATH);
  facts.location = reinterpret_cast<const char16_t*>(location);
  facts.tiffVersion = Wide(TIFFGetVersion());
  jpeg_error_mgr jpeg;
  jpeg_std_error(&jpeg);
  facts.jpegVersion = Wide(jpeg.jpeg_message_table[JMSG_VERSION]);
  facts.jpegNotice = Wide(jpeg.jpeg_message_table[JMSG_COPYRIGHT]);
  facts.zlibVersion = Wide(zlibVersion());
  facts.zlibNotice = Trimmed(Wide(deflate_copyright));
  return facts;
}

// "Copy Text": all of the box's text to the clipboard, the selection taken away again.
void CopyAllText(HWND box) {
  SendMessageW(box, EM_SETSEL, 0, -1);
  SendMessageW(box, WM_COPY, 0, 0);
  SendMessageW(box, EM_SETSEL, static_cast<WPARAM>(-1), 0);
}

// OK, Cancel and Copy Text, which both dialogs have; FALSE for any other command.
INT_PTR TextDialogCommand(HWND dialog, WORD id, int box) {
  if (id == IDOK || id == IDCANCEL) {
    EndDialog(dialog, 0);
    return TRUE;
  }
  if (id != kCopyButton) return FALSE;
  CopyAllText(GetDlgItem(dialog, box));
  return TRUE;
}

INT_PTR CALLBACK InformationProcedure(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_INITDIALOG: {
      HWND box = GetDlgItem(dialog, kReportBox);
      const UINT tabStop = 80;  // dialog units
      SendMessageW(box, EM_SETTABSTOPS, 1, reinterpret_cast<LPARAM>(&tabStop));
      SetWindowTextW(
          box, reinterpret_cast<const wchar_t*>(reinterpret_cast<const std::u16string*>(lParam)->c_str()));
      SetFocus(GetDlgItem(dialog, IDOK));
      return FALSE;  // the focus is set; the report is not selected
    }
    case WM_COMMAND:
      if (LOWORD(wParam) == kHomePageButton) {
        EndDialog(dialog, kHomePageButton);
        return TRUE;
      }
      return TextDialogCommand(dialog, LOWORD(wParam), kReportBox);
    default:
      return FALSE;
  }
}

int ShowInformationDialog(ViewerInstance* viewer) {
  HWND owner = static_cast<HWND>(viewer->pluginWindow);
  if (viewer->output.busy || !owner) return 0;
  CloseMagnifier(viewer);
  viewer->output.busy = 1;
  const std::u16string report = InformationReport(viewer, GatherEnvironment(viewer));
  const INT_PTR result = DialogBoxParamW(WindowLib().module, L"DLGABOUT", owner, InformationProcedure,
                                         reinterpret_cast<LPARAM>(&report));
  viewer->output.busy = 0;
  if (result == kHomePageButton) {
    RunMenuCommand(viewer, kHomePageButton);
  } else {
    SetFocus(owner);
  }
  return result != -1;
}

// Where the error log's controls sit against the right and bottom edges, as opened.
struct LogLayout {
  RECT box{};
  int boxRight = 0;   // distance of the box's right edge from the client's
  int boxBottom = 0;  // the same below it
  int buttonRight[2] = {};
  int buttonTop[2] = {};
};
constexpr int kLogButtons[2] = {IDOK, kCopyButton};
constexpr int kLogMinimumWidth = 50;
constexpr int kLogMinimumHeight = 20;

RECT ChildRect(HWND dialog, int id) {
  RECT r;
  GetWindowRect(GetDlgItem(dialog, id), &r);
  MapWindowPoints(nullptr, dialog, reinterpret_cast<POINT*>(&r), 2);
  return r;
}

void MeasureLog(HWND dialog, LogLayout* layout) {
  RECT client;
  GetClientRect(dialog, &client);
  layout->box = ChildRect(dialog, kLogBox);
  layout->boxRight = client.right - layout->box.right;
  layout->boxBottom = client.bottom - layout->box.bottom;
  for (int i = 0; i < 2; ++i) {
    const RECT button = ChildRect(dialog, kLogButtons[i]);
    layout->buttonRight[i] = client.right - button.left;
    layout->buttonTop[i] = button.top;
  }
}

void PlaceLog(HWND dialog, const LogLayout& layout, int width, int height) {
  const int boxWidth = std::max<int>(kLogMinimumWidth, width - layout.boxRight - layout.box.left);
  const int boxHeight = std::max<int>(kLogMinimumHeight, height - layout.boxBottom - layout.box.top);
  SetWindowPos(GetDlgItem(dialog, kLogBox), nullptr, 0, 0, boxWidth, boxHeight,
               SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
  for (int i = 0; i < 2; ++i) {
    SetWindowPos(GetDlgItem(dialog, kLogButtons[i]), nullptr, width - layout.buttonRight[i],
                 layout.buttonTop[i], 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
  }
  InvalidateRect(dialog, nullptr, TRUE);
}

INT_PTR CALLBACK ErrorLogProcedure(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
  auto* layout = reinterpret_cast<LogLayout*>(GetWindowLongPtrW(dialog, DWLP_USER));
  switch (message) {
    case WM_INITDIALOG: {
      auto* texts = reinterpret_cast<std::pair<LogLayout*, const std::u16string*>*>(lParam);
      SetWindowLongPtrW(dialog, DWLP_USER, reinterpret_cast<LONG_PTR>(texts->first));
      MeasureLog(dialog, texts->first);
      SetDlgItemTextW(dialog, kLogBox, reinterpret_cast<const wchar_t*>(texts->second->c_str()));
      SetFocus(GetDlgItem(dialog, IDOK));
      return FALSE;
    }
    case WM_SIZE:
      if (layout && wParam != SIZE_MINIMIZED) PlaceLog(dialog, *layout, LOWORD(lParam), HIWORD(lParam));
      return TRUE;
    case WM_COMMAND:
      return TextDialogCommand(dialog, LOWORD(wParam), kLogBox);
    default:
      return FALSE;
  }
}

int ShowErrorLogDialog(ViewerInstance* viewer) {
  HWND owner = static_cast<HWND>(viewer->pluginWindow);
  if (!owner) return 0;
  CloseMagnifier(viewer);
  const std::u16string text = ErrorLogText(viewer);
  LogLayout layout;
  std::pair<LogLayout*, const std::u16string*> start{&layout, &text};
  const INT_PTR result = DialogBoxParamW(WindowLib().module, L"DLGERRORLOG", owner, ErrorLogProcedure,
                                         reinterpret_cast<LPARAM>(&start));
  SetFocus(owner);
  return result != -1;
}

}  // namespace

void InstallReportDialogHooks(ViewerHooks* hooks) {
  hooks->showInformation = ShowInformationDialog;
  hooks->showErrorLog = ShowErrorLogDialog;
}
