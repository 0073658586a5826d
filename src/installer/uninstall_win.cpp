#include "common/text_format.h"
#include "installer/plugin_registration.h"
#include "installer/setup_win.h"
#include "platform/wide_text_win.h"
#include "viewer/settings.h"

namespace {

constexpr char16_t kQuestionCaption[] = u"Uninstall";
constexpr char16_t kDoneCaption[] = u"Mervane Uninstall";

// The "Path" of the registration, or empty when there is none that fits.
std::u16string RegisteredLibraryPath() {
  wchar_t path[260] = {};
  DWORD size = sizeof path - sizeof path[0];
  DWORD type = 0;
  if (RegGetValueW(HKEY_LOCAL_MACHINE, AsWide(RegistrationKeyPath()), L"Path", RRF_RT_REG_SZ, &type, path,
                   &size) != ERROR_SUCCESS) {
    return std::u16string();
  }
  return FromWide(path);
}

std::u16string LastPart(const std::u16string& path) {
  size_t cut = path.find_last_of(u"\\/");
  return cut == std::u16string::npos ? path : path.substr(cut + 1);
}

std::u16string ParentOf(const std::u16string& path) {
  size_t cut = path.find_last_of(u"\\/");
  return cut == std::u16string::npos ? std::u16string() : path.substr(0, cut);
}

// Deletes the library, asking for Retry while it stays; non-zero when this call deleted it.
int DeleteLibrary(const SetupContext& setup, const std::u16string& path) {
  if (GetFileAttributesW(AsWide(path)) == INVALID_FILE_ATTRIBUTES) return 0;
  for (;;) {
    DeleteFileW(AsWide(path));
    if (GetFileAttributesW(AsWide(path)) == INVALID_FILE_ATTRIBUTES) return 1;
    int answer = SetupMessage(
        setup.owner, kQuestionCaption, MB_RETRYCANCEL | MB_ICONWARNING,
        "Unable to delete the file %s. If your web browser is open, try closing it and pressing Retry.",
        Utf16ToUtf8(path).c_str());
    if (answer != IDRETRY) return 0;
  }
}

// Our folders go when empty: "...\KOB\Mervane" as the installer suggests it.
// Any other folder the plug-in was installed into belongs to someone else.
void RemoveOurFolders(const std::u16string& libraryPath) {
  std::u16string folder = ParentOf(libraryPath);
  if (!EqualsNoCase(LastPart(folder), u"mervane") || !RemoveDirectoryW(AsWide(folder))) return;
  std::u16string parent = ParentOf(folder);
  if (EqualsNoCase(LastPart(parent), u"kob")) RemoveDirectoryW(AsWide(parent));
}

// Removes what the registration points at; non-zero when there was an installation.
int RemoveInstallation(const SetupContext& setup) {
  std::u16string path = RegisteredLibraryPath();
  int counted = !path.empty();
  // The path comes from the registry: only a file of our name is ours to delete.
  if (counted && EqualsNoCase(LastPart(path), kPluginFileName) && DeleteLibrary(setup, path))
    RemoveOurFolders(path);
  DeleteKeyTree(HKEY_LOCAL_MACHINE, RegistrationKeyPath());
  return counted;
}

}  // namespace

int UninstallPlugin(const SetupContext& setup) {
  if (SetupMessage(setup.owner, kQuestionCaption, MB_YESNO | MB_ICONQUESTION | MB_DEFBUTTON2,
                   "This will remove the %d-bit Mervane plug-in from your computer.\n\nPlease shut down all "
                   "running web "
                   "browsers.\n\nDo you wish to continue?",
                   64) != IDYES) {
    return 0;
  }
  int settings =
      SetupMessage(setup.owner, kQuestionCaption, MB_YESNOCANCEL | MB_ICONQUESTION | MB_DEFBUTTON2,
                   "Do you also want to remove the stored Mervane settings of this computer and of your "
                   "user account?");
  if (settings == IDCANCEL) return 0;

  int counted = RemoveInstallation(setup);
  if (settings == IDYES) {
    DeleteKeyTree(HKEY_CURRENT_USER, kMainKeyPath);
    DeleteKeyTree(HKEY_CURRENT_USER, kLowIntegrityKeyPath);
    DeleteKeyTree(HKEY_LOCAL_MACHINE, kMainKeyPath);
  }
  if (!counted) {
    SetupMessage(setup.owner, kDoneCaption, MB_OK | MB_ICONWARNING,
                 "Unable to locate previous installations; cannot uninstall. Consult the documentation for "
                 "instructions on manual uninstallation.");
  } else {
    SetupMessage(setup.owner, kDoneCaption, MB_OK | MB_ICONINFORMATION, "Uninstall complete.");
  }
  return counted;
}
