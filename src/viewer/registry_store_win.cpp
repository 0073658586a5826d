#include "viewer/registry_store_win.h"

#include <windows.h>

#include "platform/wide_text_win.h"

namespace {

// Larger values are not settings of ours; they are not read at all.
constexpr DWORD kValueSizeMaximum = 1 << 20;

class RegistryKey : public StoreKey {
 public:
  explicit RegistryKey(HKEY key) : key_(key) {}
  ~RegistryKey() override { RegCloseKey(key_); }
  RegistryKey(const RegistryKey&) = delete;
  RegistryKey& operator=(const RegistryKey&) = delete;

  int Query(const std::u16string& name, StoredValue* value) override {
    DWORD type = 0, size = 0;
    if (RegQueryValueExW(key_, AsWide(name), nullptr, &type, nullptr, &size) != ERROR_SUCCESS) return 0;
    if (size > kValueSizeMaximum) return 0;
    // The value may change between the two calls; the second call's size is the one that counts.
    std::vector<uint8_t> bytes(size ? size : 1);
    DWORD got = static_cast<DWORD>(bytes.size());
    if (RegQueryValueExW(key_, AsWide(name), nullptr, &type, bytes.data(), &got) != ERROR_SUCCESS) return 0;
    bytes.resize(got);
    value->type = type;
    value->bytes = std::move(bytes);
    return 1;
  }

  int Set(const std::u16string& name, const StoredValue& value) override {
    return RegSetValueExW(key_, AsWide(name), 0, value.type, value.bytes.data(),
                          static_cast<DWORD>(value.bytes.size())) == ERROR_SUCCESS;
  }

  int Delete(const std::u16string& name) override {
    return RegDeleteValueW(key_, AsWide(name)) == ERROR_SUCCESS;
  }

 private:
  HKEY key_;
};

class RegistryStore : public SettingsStore {
 public:
  std::unique_ptr<StoreKey> Open(StoreRoot root, const std::u16string& path, KeyAccess access) override {
    HKEY top = root == StoreRoot::kMachine ? HKEY_LOCAL_MACHINE : HKEY_CURRENT_USER;
    HKEY key = nullptr;
    LONG result;
    if (access == KeyAccess::kCreateForWriting) {
      result = RegCreateKeyExW(top, AsWide(path), 0, nullptr, REG_OPTION_NON_VOLATILE, KEY_READ | KEY_WRITE,
                               nullptr, &key, nullptr);
    } else {
      result = RegOpenKeyExW(top, AsWide(path), 0, KEY_READ, &key);
    }
    if (result != ERROR_SUCCESS) return nullptr;
    return std::make_unique<RegistryKey>(key);
  }
};

}  // namespace

std::unique_ptr<SettingsStore> CreateRegistryStore() { return std::make_unique<RegistryStore>(); }
