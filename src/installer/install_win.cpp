#include <memory>

#include "common/text_format.h"
#include "installer/plugin_registration.h"
#include "installer/setup_win.h"
#include "platform/wide_text_win.h"
#include "viewer/registry_store_win.h"
#include "viewer/settings.h"

namespace {

constexpr char16_t kInstallCaption[] = u"Mervane Install";
constexpr char16_t kResultCaption[] = u"Mervane Installation";

std::string Utf8(const std::u16string& text) { return Utf16ToUtf8(text); }

int KeyExists(HKEY root, const std::u16string& path) {
  HKEY key = nullptr;
  if (RegOpenKeyExW(root, AsWide(path), 0, KEY_READ, &key) != ERROR_SUCCESS) return 0;
  RegCloseKey(key);
  return 1;
}

// Copies the library over the installed one; a file in use is the usual cause
// of failure, so the user may close the browser and retry.
int CopyLibrary(const SetupContext& setup, const std::u16string& folder, const std::u16string& target) {
  const std::u16string source = setup.sourceFolder + u"\\" + kPluginFileName;
  while (!CopyFileW(AsWide(source), AsWide(target), FALSE)) {
    DWORD error = GetLastError();
    if (setup.options.showErrors <= 0) return 0;
    int answer =
        SetupMessage(setup.owner, kInstallCaption, MB_RETRYCANCEL | MB_ICONWARNING,
                     "Installation to %s failed!\n(Failed to copy %s from current folder [%s] to %s; error "
                     "code %u)\n\nIf your web browser is running, please close it and press Retry.",
                     Utf8(folder).c_str(), Utf8(kPluginFileName).c_str(), Utf8(setup.sourceFolder).c_str(),
                     Utf8(target).c_str(), static_cast<unsigned>(error));
    if (answer != IDRETRY) return 0;
  }
  return 1;
}

// The steps that can fail, in order; non-zero when the plug-in is in place
// and registered.
int InstallSteps(const SetupContext& setup, SettingsStore* store, const std::u16string& folder) {
  WritePresetSettings(store, setup.options);
  WriteInstallPath(store, folder);
  if (!CreateFolderWithParents(folder)) {
    if (setup.options.showErrors > 0) {
      SetupMessage(setup.owner, kInstallCaption, MB_OK | MB_ICONWARNING,
                   "Installation to %s failed!\n(Failed to create folder)", Utf8(folder).c_str());
    }
    return 0;
  }
  const std::u16string target = InstalledLibraryPath(folder);
  if (!CopyLibrary(setup, folder, target)) return 0;
  // Browsers would list a half-written registration, or one without its MIME
  // types; what could not be written whole is taken away again.
  if (!WriteRegistration(store, target)) {
    DeleteKeyTree(HKEY_LOCAL_MACHINE, RegistrationKeyPath());
    return 0;
  }
  return 1;
}

}  // namespace

int InstallPlugin(const SetupContext& setup, const std::u16string& chosen) {
  std::u16string folder = chosen;
  if (!folder.empty() && folder.back() == u'\\') folder.pop_back();
  if (folder.empty()) return 0;

  HCURSOR previous = SetCursor(LoadCursorW(nullptr, IDC_WAIT));
  std::unique_ptr<SettingsStore> store = CreateRegistryStore();
  // "/cond" takes the machine's settings key as proof of an installation, so
  // a failed first install must not leave that key behind.
  const int hadMachineKey = KeyExists(HKEY_LOCAL_MACHINE, kMainKeyPath);
  int installed = InstallSteps(setup, store.get(), folder);
  if (!installed && !hadMachineKey) DeleteKeyTree(HKEY_LOCAL_MACHINE, kMainKeyPath);
  SetCursor(previous);

  if (!installed && setup.options.showResult > 0) {
    SetupMessage(setup.owner, kResultCaption, MB_OK | MB_ICONWARNING, "Plug-in installation failed!");
  } else if (installed && setup.options.showResult > 1) {
    SetupMessage(
        setup.owner, kResultCaption, MB_OK | MB_ICONINFORMATION,
        "Plug-in installed successfully.\r\n\r\nIf your web browser is currently running, you may need to "
        "restart it.");
  }
  return installed;
}
