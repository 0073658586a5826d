#include "installer/setup_dialog_win.h"

#include <shlobj.h>

#include "common/text_format.h"
#include "installer/installer_resources.h"
#include "platform/wide_text_win.h"

namespace {

// The folder field holds at most this many characters for an install.
constexpr int kFolderFieldLimit = 255;

int CALLBACK StartBrowsingAt(HWND window, UINT message, LPARAM, LPARAM start) {
  if (message == BFFM_INITIALIZED) SendMessageW(window, BFFM_SETSELECTIONW, TRUE, start);
  return 0;
}

std::u16string FieldText(HWND dialog, int id) {
  int length = GetWindowTextLengthW(GetDlgItem(dialog, id));
  std::wstring text(static_cast<size_t>(length) + 1, L'\0');
  GetDlgItemTextW(dialog, id, text.data(), length + 1);
  return FromWide(text.c_str());
}

void ChooseFolder(HWND dialog) {
  std::u16string start = FieldText(dialog, IDC_FOLDER);
  if (start.size() > 3 && start.back() == u'\\') start.pop_back();
  BROWSEINFOW browse = {};
  browse.hwndOwner = dialog;
  browse.lpszTitle = L"Select your Plugins folder";
  browse.ulFlags = BIF_RETURNONLYFSDIRS | BIF_NEWDIALOGSTYLE;
  browse.lpfn = StartBrowsingAt;
  browse.lParam = reinterpret_cast<LPARAM>(AsWide(start));
  PIDLIST_ABSOLUTE chosen = SHBrowseForFolderW(&browse);
  if (!chosen) return;
  wchar_t path[MAX_PATH] = {};
  if (SHGetPathFromIDListW(chosen, path)) SetDlgItemTextW(dialog, IDC_FOLDER, path);
  CoTaskMemFree(chosen);
}

void Install(HWND dialog, SetupContext* setup) {
  std::u16string folder = FieldText(dialog, IDC_FOLDER);
  setup->owner = dialog;
  if (folder.size() > kFolderFieldLimit) {
    // Cutting the text would install into a folder nobody chose.
    if (setup->options.showErrors > 0) {
      SetupMessage(dialog, u"Mervane Install", MB_OK | MB_ICONWARNING,
                   "Installation to %s failed!\n(Failed to create folder)", Utf16ToUtf8(folder).c_str());
    }
    if (setup->options.showResult > 0) {
      SetupMessage(dialog, u"Mervane Installation", MB_OK | MB_ICONWARNING, "Plug-in installation failed!");
    }
  } else {
    InstallPlugin(*setup, folder);
  }
  EndDialog(dialog, IDOK);
}

void OnInitDialog(HWND dialog, SetupContext* setup) {
  SetWindowLongPtrW(dialog, DWLP_USER, reinterpret_cast<LONG_PTR>(setup));
  char16_t intro[1024];
  FormatBounded(intro, sizeof intro / sizeof intro[0],
                "To install the %d-bit Mervane plug-in onto your computer, press the Install "
                "button.\r\n\r\nTo uninstall "
                "Mervane, press Uninstall.\r\n\r\nNote: The installation is not specific to one web browser. "
                "You should "
                "not need to change the suggested folder.",
                64);
  SetDlgItemTextW(dialog, IDC_INTRO_TEXT, AsWide(intro));
  SetDlgItemTextW(dialog, IDC_FOLDER, AsWide(SuggestedFolder()));
  // An administrator's silent install presses Install the moment the dialog is up.
  if (setup->options.showConfig <= 0) PostMessageW(dialog, WM_COMMAND, IDOK, 0);
}

INT_PTR CALLBACK IntroProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_INITDIALOG) {
    OnInitDialog(dialog, reinterpret_cast<SetupContext*>(lParam));
    return TRUE;
  }
  auto* setup = reinterpret_cast<SetupContext*>(GetWindowLongPtrW(dialog, DWLP_USER));
  if (message != WM_COMMAND || !setup) return FALSE;
  switch (LOWORD(wParam)) {
    case IDOK:
      Install(dialog, setup);
      return TRUE;
    case IDC_UNINSTALL:
      setup->owner = dialog;
      UninstallPlugin(*setup);
      EndDialog(dialog, IDC_UNINSTALL);
      return TRUE;
    case IDC_CHOOSE_FOLDER:
      ChooseFolder(dialog);
      return TRUE;
    case IDCANCEL:
      EndDialog(dialog, IDCANCEL);
      return TRUE;
  }
  return FALSE;
}

}  // namespace

INT_PTR RunSetupDialog(HINSTANCE module, SetupContext* setup) {
  return DialogBoxParamW(module, L"DLG_INTRO", setup->owner, IntroProc, reinterpret_cast<LPARAM>(setup));
}
