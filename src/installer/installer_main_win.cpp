// mrvinstall: a maximised backdrop with the setup dialog over it.
#include <objbase.h>

#include "common/text_format.h"
#include "installer/installer_resources.h"
#include "installer/plugin_registration.h"
#include "installer/setup_dialog_win.h"
#include "platform/wide_text_win.h"
#include "viewer/settings.h"

namespace {

constexpr wchar_t kBackdropClass[] = L"TIFFInstClass";
SetupContext g_setup;

std::u16string CurrentFolder() {
  wchar_t folder[MAX_PATH] = {};
  DWORD length = GetCurrentDirectoryW(MAX_PATH, folder);
  std::u16string text = length && length < MAX_PATH ? FromWide(folder) : std::u16string(u".");
  if (!text.empty() && text.back() == u'\\') text.pop_back();
  return text;
}

int AlreadyInstalled() {
  HKEY key = nullptr;
  if (RegOpenKeyExW(HKEY_LOCAL_MACHINE, AsWide(kMainKeyPath), 0, KEY_READ, &key) != ERROR_SUCCESS) return 0;
  RegCloseKey(key);
  return 1;
}

int LibraryPresent() {
  DWORD attributes = GetFileAttributesW(AsWide(g_setup.sourceFolder + u"\\" + kPluginFileName));
  return attributes != INVALID_FILE_ATTRIBUTES && !(attributes & FILE_ATTRIBUTE_DIRECTORY);
}

void RunSetup(HWND window) {
  g_setup.owner = window;
  if (!LibraryPresent() &&
      MessageBoxW(
          window,
          L"The file \u2018npmrv64.dll\u2019 could not be found.\n\nThis file is included with the Mervane "
          L"distribution, and is necessary for installation. It is not necessary for uninstallation.\n\nDo "
          L"you "
          L"want to continue?",
          L"Mervane setup", MB_YESNO | MB_ICONWARNING) != IDYES) {
    return;
  }
  RunSetupDialog(GetModuleHandleW(nullptr), &g_setup);
}

LRESULT CALLBACK BackdropProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_USER:
      ShowWindow(window, SW_SHOWMAXIMIZED);
      RunSetup(window);
      DestroyWindow(window);
      return 0;
    case WM_COMMAND:
      if (LOWORD(wParam) == IDM_CLOSE_SETUP) DestroyWindow(window);
      return 0;
    case WM_CLOSE:
      DestroyWindow(window);
      return 0;
    case WM_DESTROY:
      PostQuitMessage(0);
      return 0;
  }
  return DefWindowProcW(window, message, wParam, lParam);
}

int RegisterBackdrop(HINSTANCE module) {
  WNDCLASSW windowClass = {};
  windowClass.lpfnWndProc = BackdropProc;
  windowClass.hInstance = module;
  windowClass.hIcon = LoadIconW(module, L"MAINICON");
  windowClass.hCursor = LoadCursorW(nullptr, IDC_ARROW);
  windowClass.hbrBackground = CreateSolidBrush(0x404000);
  windowClass.lpszClassName = kBackdropClass;
  return RegisterClassW(&windowClass) != 0;
}

}  // namespace

int WINAPI wWinMain(HINSTANCE module, HINSTANCE, PWSTR commandLine, int) {
  InstallerOptions requested;
  ApplyCommandLine(&requested, FromWide(commandLine));
  if (requested.conditional && AlreadyInstalled()) return 0;

  if (!RegisterBackdrop(module)) return 0;
  g_setup.sourceFolder = CurrentFolder();
  ReadOptionsFile(&g_setup.options, g_setup.sourceFolder + u"\\options.txt");
  ApplyCommandLine(&g_setup.options, FromWide(commandLine));

  char16_t title[64];
  FormatBounded(title, sizeof title / sizeof title[0], "Mervane Plug-in V%s Setup", kSetupVersion);
  HWND window = CreateWindowExW(
      0, kBackdropClass, AsWide(title),
      WS_OVERLAPPED | WS_CAPTION | WS_THICKFRAME | WS_MINIMIZEBOX | WS_MAXIMIZEBOX | WS_MAXIMIZE,
      CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, nullptr, nullptr, module, nullptr);
  if (!window) return 0;
  CoInitialize(nullptr);
  ShowWindow(window, SW_SHOWMAXIMIZED);
  PostMessageW(window, WM_USER, 0, 0);
  MSG message;
  while (GetMessageW(&message, nullptr, 0, 0) > 0) {
    TranslateMessage(&message);
    DispatchMessageW(&message);
  }
  CoUninitialize();
  return 0;
}
