// mrvlaunch: copies the viewer's ActiveX control file into the system folder
// and starts regsvr32 on it. The form does its work while it loads and the
// program ends, so normally no window is ever shown.
#include <objbase.h>
#include <windows.h>

#include "launcher/file_copy_win.h"
#include "launcher/file_system_object_win.h"
#include "launcher/launcher_resources.h"
#include "platform/wide_text_win.h"

namespace {

constexpr wchar_t kFormClass[] = L"frmInstall";
constexpr char16_t kControlFile[] = u"mrvtiff.ocx";
// The system folder is fixed, not asked for: where Windows lives elsewhere the
// copy fails and regsvr32 reports the missing file itself.
constexpr char16_t kInstalledControl[] = u"c:\\windows\\system32\\mrvtiff.ocx";
constexpr char kRegisterCommand[] = "c:\\windows\\system32\\regsvr32.exe c:\\windows\\system32\\mrvtiff.ocx";

std::u16string ProgramFolder() {
  wchar_t path[MAX_PATH] = {};
  DWORD length = GetModuleFileNameW(nullptr, path, MAX_PATH);
  if (!length || length >= MAX_PATH) return std::u16string();
  std::u16string folder = FromWide(path);
  size_t cut = folder.find_last_of(u'\\');
  return cut == std::u16string::npos ? folder : folder.substr(0, cut);
}

// Starts the registration without waiting: regsvr32 reports on its own.
void StartRegistration() {
  STARTUPINFOA startup = {};
  startup.cb = sizeof startup;
  startup.dwFlags = STARTF_USESHOWWINDOW;
  startup.wShowWindow = SW_SHOWNORMAL;
  PROCESS_INFORMATION process = {};
  char command[sizeof kRegisterCommand];
  CopyMemory(command, kRegisterCommand, sizeof kRegisterCommand);
  if (CreateProcessA(nullptr, command, nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup, &process)) {
    CloseHandle(process.hThread);
    CloseHandle(process.hProcess);
  }
}

void ShowNotFound(HWND form) {
  wchar_t text[128] = {};
  LoadStringW(GetModuleHandleW(nullptr), IDS_NOT_FOUND, text, sizeof text / sizeof text[0]);
  std::u16string message = FromWide(text) + kControlFile;
  MessageBoxW(form, AsWide(message), L"mrvlaunch", MB_OK);
}

// cmdInstallOCX: the button's action, also run when the form loads.
void InstallControl(HWND form) {
  switch (FileSystemObjectFileExists(kControlFile)) {
    case FileCheck::kExists:
      // A failed copy is not reported: regsvr32 then names the problem.
      CopyFileAnsi(kControlFile, kInstalledControl, 0);
      StartRegistration();
      break;
    case FileCheck::kMissing:
      ShowNotFound(form);
      break;
    case FileCheck::kFailed:
      break;
  }
}

LRESULT CALLBACK FormProc(HWND form, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_COMMAND && LOWORD(wParam) == IDC_INSTALL_OCX) {
    InstallControl(form);
    return 0;
  }
  if (message == WM_DESTROY) {
    PostQuitMessage(0);
    return 0;
  }
  return DefWindowProcW(form, message, wParam, lParam);
}

HWND CreateForm(HINSTANCE module) {
  WNDCLASSW formClass = {};
  formClass.lpfnWndProc = FormProc;
  formClass.hInstance = module;
  formClass.hCursor = LoadCursorW(nullptr, IDC_ARROW);
  formClass.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
  formClass.lpszClassName = kFormClass;
  if (!RegisterClassW(&formClass)) return nullptr;
  HWND form = CreateWindowExW(0, kFormClass, L"Install PlugIn", WS_OVERLAPPEDWINDOW, CW_USEDEFAULT,
                              CW_USEDEFAULT, 320, 160, nullptr, nullptr, module, nullptr);
  if (form) {
    CreateWindowExW(0, L"BUTTON", L"Install Ocx", WS_CHILD | WS_VISIBLE | BS_PUSHBUTTON, 100, 40, 110, 30,
                    form, reinterpret_cast<HMENU>(static_cast<INT_PTR>(IDC_INSTALL_OCX)), module, nullptr);
  }
  return form;
}

}  // namespace

int WINAPI wWinMain(HINSTANCE module, HINSTANCE, PWSTR, int) {
  CoInitialize(nullptr);
  HWND form = CreateForm(module);
  // Form load: the caption names the program's folder, the action runs, and
  // the program ends before the form was ever shown.
  if (form) SetWindowTextW(form, AsWide(ProgramFolder()));
  InstallControl(form);
  if (form) DestroyWindow(form);
  CoUninitialize();
  return 0;
}
