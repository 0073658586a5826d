#include "update/update_settings.h"

#include <algorithm>

#include "viewer/library.h"
#include "viewer/settings.h"

namespace {

constexpr char16_t kDefaultUpdateServer[] = u"update.mervane.example";
constexpr char16_t kDefaultUpdateResource[] = u"/mervane/version-pl-w64.txt";

}  // namespace

void SetUpdateDefaults(LibraryValues* library) {
  library->updateServer = kDefaultUpdateServer;
  library->updateResource = kDefaultUpdateResource;
}

void ReadUpdateSettings(LibraryValues* library, SettingsStore* store) {
  std::unique_ptr<StoreKey> machine = store->Open(StoreRoot::kMachine, kMainKeyPath, KeyAccess::kRead);
  if (machine) {
    ReadDword(machine.get(), u"updateinterval", &library->updateInterval);
    ReadDword(machine.get(), u"updateretry", &library->updateRetry);
    ReadText(machine.get(), u"updateserver", kUpdateTextMaximum, &library->updateServer);
    ReadText(machine.get(), u"updateresource", kUpdateTextMaximum, &library->updateResource);
    ReadDword(machine.get(), u"updatelastchecked", &library->lastChecked);
    ReadDword(machine.get(), u"updatelastattempt", &library->lastAttempt);
  }
  // The user's own time stamps count when they are later than the machine's.
  uint32_t user;
  if (ReadUserDword(store, u"updatelastchecked", &user))
    library->lastChecked = std::max(library->lastChecked, user);
  if (ReadUserDword(store, u"updatelastattempt", &user))
    library->lastAttempt = std::max(library->lastAttempt, user);
}
