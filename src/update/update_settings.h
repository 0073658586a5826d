// Where and how often the version check asks: built-in defaults, the machine
// key's values, and the time stamps of the last check and attempt, of which
// the user's own count when they are later.
#pragma once

#include <cstdint>

#include "viewer/settings_store.h"

struct LibraryValues;

constexpr int32_t kUpdateTextMaximum = 128;

void SetUpdateDefaults(LibraryValues* library);
void ReadUpdateSettings(LibraryValues* library, SettingsStore* store);
