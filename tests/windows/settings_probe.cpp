// Saves a viewer's settings to the real registry so that a script can check
// them with Wine's own reg tool. "settings_probe low" saves with the
// low-integrity key present, "settings_probe main" without it; "settings_probe
// clear" removes what they wrote, so that later programs start from defaults.
#include <windows.h>

#include <cstdio>
#include <cstring>

#include "common/diagnostics.h"
#include "common/text_format.h"
#include "viewer/library.h"
#include "viewer/registry_store_win.h"
#include "viewer/settings.h"

int main(int argc, char** argv) {
  if (argc != 2 || (strcmp(argv[1], "low") && strcmp(argv[1], "main") && strcmp(argv[1], "clear"))) {
    fprintf(stderr, "usage: settings_probe low|main|clear\n");
    return 2;
  }
  const wchar_t* mainKey = L"SOFTWARE\\KOB\\Mervane";
  const wchar_t* lowKey = L"SOFTWARE\\AppDataLow\\Software\\KOB\\Mervane";
  RegDeleteTreeW(HKEY_CURRENT_USER, mainKey);
  RegDeleteTreeW(HKEY_CURRENT_USER, lowKey);
  RegDeleteTreeW(HKEY_LOCAL_MACHINE, mainKey);
  if (!strcmp(argv[1], "clear")) return 0;
  if (!strcmp(argv[1], "low")) {
    HKEY key;
    if (RegCreateKeyExW(HKEY_CURRENT_USER, lowKey, 0, nullptr, 0, KEY_WRITE, nullptr, &key, nullptr))
      return 3;
    RegCloseKey(key);
  }
  HKEY machine;
  if (RegCreateKeyExW(HKEY_LOCAL_MACHINE, mainKey, 0, nullptr, 0, KEY_WRITE, nullptr, &machine, nullptr))
    return 3;
  DWORD bottom = 2;
  RegSetValueExW(machine, L"toolbar", 0, REG_DWORD, reinterpret_cast<const BYTE*>(&bottom), sizeof bottom);
  RegCloseKey(machine);

  SetMessageBoxHook([](void*, const std::u16string& text, const std::u16string&, uint32_t) {
    fprintf(stderr, "message: %s\n", Utf16ToUtf8(text).c_str());
    return 1;
  });
  StartLibrary(kLibraryPlugin, CreateRegistryStore());
  const char16_t* names[] = {u"orient", u"negative", u"fit"};
  const char16_t* values[] = {u"left", u"yes", u"25"};
  ViewerInstance* viewer = nullptr;
  if (CreateInstance(&viewer, kModeEmbedded, nullptr, 3, names, values) != kStatusDone) return 4;
  viewer->prefs.zoomLocation = {12, -34};
  int saved = SaveSettings(viewer, Library().store.get(), kGroupView | kGroupPreferences);
  DestroyInstance(&viewer);
  StopLibrary();
  return saved ? 0 : 5;
}
