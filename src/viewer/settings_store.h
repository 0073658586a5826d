// The key-value store the settings are kept in. On Windows the registry is the
// store; the in-memory store behaves the same way for tests and for mrvtool.
#pragma once

#include <cstdint>
#include <map>
#include <memory>
#include <string>
#include <vector>

enum class StoreRoot { kMachine, kUser };

// The registry's own type numbers, so values keep their type through any store.
enum StoreValueType : uint32_t { kValueNone = 0, kValueText = 1, kValueBinary = 3, kValueDword = 4 };

// A value as stored: texts are UTF-16 little-endian bytes with their terminator.
struct StoredValue {
  uint32_t type = kValueNone;
  std::vector<uint8_t> bytes;
};

StoredValue DwordValue(uint32_t value);
StoredValue TextValue(const std::u16string& text);

class StoreKey {
 public:
  virtual ~StoreKey() = default;
  // Non-zero when the value exists; its type and bytes are then in `value`.
  virtual int Query(const std::u16string& name, StoredValue* value) = 0;
  virtual int Set(const std::u16string& name, const StoredValue& value) = 0;
  virtual int Delete(const std::u16string& name) = 0;
};

enum class KeyAccess { kRead, kCreateForWriting };

class SettingsStore {
 public:
  virtual ~SettingsStore() = default;
  // Null when the key cannot be opened (for reading: when it does not exist).
  virtual std::unique_ptr<StoreKey> Open(StoreRoot root, const std::u16string& path, KeyAccess access) = 0;
};

// Keys and value names compare without regard to ASCII case, as in the
// registry. Every open, write and delete is recorded so that tests can see
// which keys were touched.
class MemoryStore : public SettingsStore {
 public:
  std::unique_ptr<StoreKey> Open(StoreRoot root, const std::u16string& path, KeyAccess access) override;

  void Put(StoreRoot root, const std::u16string& path, const std::u16string& name, const StoredValue& value);
  // Null when the key or value is missing.
  const StoredValue* Find(StoreRoot root, const std::u16string& path, const std::u16string& name) const;
  int HasKey(StoreRoot root, const std::u16string& path) const;

  int refuseWrites = 0;              // keys cannot be created or opened for writing
  std::vector<std::string> journal;  // "open|create|set|delete ROOT\path[:name]"

 private:
  friend class MemoryKey;
  using Values = std::map<std::u16string, StoredValue>;
  static std::u16string KeyName(StoreRoot root, const std::u16string& path);
  std::map<std::u16string, Values> keys_;
};
