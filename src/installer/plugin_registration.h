// The registry entries the installer writes: the browser registration that
// lets browsers find the plug-in library, the viewer settings an administrator
// preset, and the machine key that records the installation.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "installer/install_options.h"
#include "viewer/settings_store.h"

// Browsers list plug-ins under this key, one subkey per plug-in identifier.
constexpr char16_t kBrowserPluginsKey[] = u"SOFTWARE\\MozillaPlugins";
// Our identifier: "@" + our domain + "/" + the product name.
constexpr char16_t kPluginIdentifier[] = u"@mervane.example/Mervane";
constexpr char16_t kPluginFileName[] = u"npmrv64.dll";
constexpr char16_t kInstallPathValue[] = u"installpath";
constexpr char kSetupVersion[] = "2.0.8";

// One value of the registration, or a key without values (empty name).
struct RegistrationRow {
  const char16_t* subkey;  // below the registration key; empty for the key itself
  const char16_t* name;    // empty: the key is only created
  const char16_t* text;    // null: the installed library's full path
};

const std::vector<RegistrationRow>& RegistrationRows();
// "SOFTWARE\MozillaPlugins\@mervane.example/Mervane"
std::u16string RegistrationKeyPath();
// "folder\npmrv64.dll" (the folder without its trailing separator).
std::u16string InstalledLibraryPath(const std::u16string& folder);

// Writes every row; non-zero only when every key and value was written.
int WriteRegistration(SettingsStore* store, const std::u16string& libraryPath);
// The viewer settings preset by the options, in the current user's key.
// Failures are not the installer's business: the viewer has defaults.
void WritePresetSettings(SettingsStore* store, const InstallerOptions& options);
// Records the folder under the machine's settings key; non-zero on success.
int WriteInstallPath(SettingsStore* store, const std::u16string& folder);
