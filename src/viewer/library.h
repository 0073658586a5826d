// Values every viewer instance of the process shares, set once when the
// browser loads the library and before any instance exists.
#pragma once

#include <cstdint>
#include <memory>
#include <string>

#include "viewer/settings_store.h"
#include "viewer/viewer_instance.h"

// The kind of host that starts the library: the browser, through the
// plug-in exports (the command-line tools start it the same way).
constexpr int32_t kLibraryPlugin = 1;
constexpr int32_t kCompressionListMaximum = 200;

struct LibraryValues {
  int32_t started = 0;
  int32_t kind = 0;
  int32_t browserMajorVersion = 0;  // the browser's plug-in API, for the information report
  int32_t browserMinorVersion = 0;
  int32_t defaultScaleIndex = 5;  // the index of 100 percent in each table
  int32_t defaultZoomIndex = 5;
  // System metrics for the layout; the window side reads them at start.
  int32_t verticalBarWidth = 0;
  int32_t horizontalBarHeight = 0;
  // Version check
  uint32_t updateInterval = 10;
  uint32_t updateRetry = 2;
  std::u16string updateServer;
  std::u16string updateResource;
  uint32_t lastChecked = 0;  // upper 32 bits of a FILETIME
  uint32_t lastAttempt = 0;
  // -1 not yet known, 0 absent, 1 present: user values then go to the low-integrity key.
  int32_t lowIntegrityKey = -1;
  std::unique_ptr<SettingsStore> store;
  ViewerHooks hooks;  // copied into each new instance
  ViewerEvents events;
};

LibraryValues& Library();

// The portable half of library start: tables, defaults and the update-check
// settings from `store`, which the library keeps. The window side registers
// its classes, cursors and fonts after this.
int StartLibrary(int32_t kind, std::unique_ptr<SettingsStore> store);
void StopLibrary();
