// The Windows registry as the settings store: HKEY_LOCAL_MACHINE and
// HKEY_CURRENT_USER in the process's own view.
#pragma once

#include <memory>

#include "viewer/settings_store.h"

std::unique_ptr<SettingsStore> CreateRegistryStore();
