#include "viewer/library.h"

#include "document/disabled_compressions.h"
#include "update/update_settings.h"
#include "viewer/settings.h"
#include "viewer/view_geometry.h"

LibraryValues& Library() {
  static LibraryValues values;
  return values;
}

int StartLibrary(int32_t kind, std::unique_ptr<SettingsStore> store) {
  LibraryValues& library = Library();
  library = LibraryValues{};
  library.kind = kind;
  library.store = std::move(store);
  library.defaultScaleIndex = ScaleIndex(100);
  library.defaultZoomIndex = ZoomIndex(100);
  SetUpdateDefaults(&library);
  ClearDisabledCompressions();
  if (library.store) {
    ReadUpdateSettings(&library, library.store.get());
    ReadDisabledCompressions(library.store.get());
  }
  library.started = 1;
  return 1;
}

void StopLibrary() {
  ClearDisabledCompressions();
  Library() = LibraryValues{};
}
