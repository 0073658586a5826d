// Persistent settings: built-in defaults, then the machine key, the user key
// and the low-integrity user key, each overriding the one before; user changes
// are written back to the low-integrity key when it exists.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "common/text_buffer.h"
#include "viewer/settings_store.h"
#include "viewer/viewer_instance.h"

constexpr char16_t kMainKeyPath[] = u"SOFTWARE\\KOB\\Mervane";
constexpr char16_t kLowIntegrityKeyPath[] = u"SOFTWARE\\AppDataLow\\Software\\KOB\\Mervane";

enum SettingsGroup : int32_t { kGroupView = 1, kGroupPreferences = 2 };

// A DWORD is taken only with the DWORD type and 4 bytes; a text only with the
// text type, cut to `capacity` - 1 characters.
int ReadDword(StoreKey* key, const char16_t* name, uint32_t* value);
int ReadText(StoreKey* key, const char16_t* name, int32_t capacity, std::u16string* text);
int ReadText(StoreKey* key, const char16_t* name, TextBuffer* text);
int WriteDword(StoreKey* key, const char16_t* name, uint32_t value);
int WriteText(StoreKey* key, const char16_t* name, const std::u16string& text);
int DeleteValue(StoreKey* key, const char16_t* name);

// The user key that takes writes: the low-integrity key while it exists.
const char16_t* UserKeyPath(SettingsStore* store);
int WriteUserDword(SettingsStore* store, const char16_t* name, uint32_t value);
// The main user key's value, replaced by the low-integrity key's when that holds one.
int ReadUserDword(SettingsStore* store, const char16_t* name, uint32_t* value);
int DeleteUserValue(SettingsStore* store, const char16_t* name);

// Non-zero when `value` lies in the named setting's range (both ends
// included), or the setting has none. Whatever stores a setting's value from
// outside checks it here first.
int SettingInRange(const char16_t* name, uint32_t value);

// Whether the viewer reads the named setting as text rather than as a DWORD.
int IsTextSetting(const char16_t* name);

void LoadSettings(ViewerInstance* viewer, SettingsStore* store);
// `groups` is a mask of SettingsGroup. Refused without a word under the
// save-settings restriction; "Unable to save settings!" when the key cannot be
// written.
int SaveSettings(ViewerInstance* viewer, SettingsStore* store, int32_t groups);

// The machine's list of compressions the viewer refuses to decode.
void ReadDisabledCompressions(SettingsStore* store);
// Comma-separated codes; every item that reads as a number of at least 1.
std::vector<int32_t> ParseCompressionList(const char16_t* text);
