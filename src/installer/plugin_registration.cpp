#include "installer/plugin_registration.h"

#include "viewer/settings.h"

namespace {

// clang-format off
const std::vector<RegistrationRow> kRows = {
    {u"",                                     u"Description", u"Mervane TIFF image viewer"},
    {u"",                                     u"Path",        nullptr},
    {u"",                                     u"ProductName", u"Mervane"},
    {u"",                                     u"Vendor",      u"Velorin"},
    {u"",                                     u"Version",     u"2.0.8"},
    {u"MimeTypes\\application/x-mervane",     u"Description", u"TIFF Image"},
    {u"MimeTypes\\application/x-mervane",     u"Suffixes",    u"mrvtif"},
    {u"MimeTypes\\image/tiff",                u"Description", u"TIFF Image"},
    {u"MimeTypes\\image/tiff",                u"Suffixes",    u"tif;tiff"},
    {u"MimeTypes\\image/x-tiff",              u"Description", u"TIFF Image"},
    {u"Suffixes\\mrvtif",                     u"",            u""},
    {u"Suffixes\\tif",                        u"",            u""},
    {u"Suffixes\\tiff",                       u"",            u""},
};
// clang-format on

std::u16string RowKeyPath(const RegistrationRow& row) {
  std::u16string path = RegistrationKeyPath();
  if (row.subkey[0]) {
    path += u'\\';
    path += row.subkey;
  }
  return path;
}

}  // namespace

const std::vector<RegistrationRow>& RegistrationRows() { return kRows; }

std::u16string RegistrationKeyPath() {
  std::u16string path = kBrowserPluginsKey;
  path += u'\\';
  path += kPluginIdentifier;
  return path;
}

std::u16string InstalledLibraryPath(const std::u16string& folder) { return folder + u"\\" + kPluginFileName; }

int WriteRegistration(SettingsStore* store, const std::u16string& libraryPath) {
  int written = 1;
  for (const RegistrationRow& row : kRows) {
    std::unique_ptr<StoreKey> key =
        store->Open(StoreRoot::kMachine, RowKeyPath(row), KeyAccess::kCreateForWriting);
    if (!key) {
      written = 0;
      continue;
    }
    if (!row.name[0]) continue;
    std::u16string text = row.text ? std::u16string(row.text) : libraryPath;
    if (!key->Set(row.name, TextValue(text))) written = 0;
  }
  return written;
}

void WritePresetSettings(SettingsStore* store, const InstallerOptions& options) {
  struct Preset {
    const char16_t* name;
    int32_t value;
  };
  const Preset presets[] = {
      {u"access", options.access}, {u"mousemode", options.mouseMode}, {u"allowscript", options.allowScript}};
  std::unique_ptr<StoreKey> key;
  auto userKey = [&]() -> StoreKey* {
    if (!key) key = store->Open(StoreRoot::kUser, kMainKeyPath, KeyAccess::kCreateForWriting);
    return key.get();
  };
  for (const Preset& preset : presets) {
    if (preset.value >= 0 && userKey())
      userKey()->Set(preset.name, DwordValue(static_cast<uint32_t>(preset.value)));
  }
  if (!options.toolbarItems.empty() && userKey())
    userKey()->Set(u"toolbaritems", TextValue(options.toolbarItems));
}

int WriteInstallPath(SettingsStore* store, const std::u16string& folder) {
  std::unique_ptr<StoreKey> key =
      store->Open(StoreRoot::kMachine, kMainKeyPath, KeyAccess::kCreateForWriting);
  return key && key->Set(kInstallPathValue, TextValue(folder));
}
