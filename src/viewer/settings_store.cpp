#include "viewer/settings_store.h"

#include "common/text_format.h"

namespace {

std::u16string Folded(const std::u16string& text) {
  std::u16string folded = text;
  for (char16_t& c : folded) c = AsciiLower(c);
  return folded;
}

}  // namespace

StoredValue DwordValue(uint32_t value) {
  StoredValue stored;
  stored.type = kValueDword;
  for (int i = 0; i < 4; ++i) stored.bytes.push_back(static_cast<uint8_t>(value >> (8 * i)));
  return stored;
}

StoredValue TextValue(const std::u16string& text) {
  StoredValue stored;
  stored.type = kValueText;
  for (char16_t c : text) {
    stored.bytes.push_back(static_cast<uint8_t>(c & 0xFF));
    stored.bytes.push_back(static_cast<uint8_t>(c >> 8));
  }
  stored.bytes.push_back(0);
  stored.bytes.push_back(0);
  return stored;
}

class MemoryKey : public StoreKey {
 public:
  MemoryKey(MemoryStore* store, std::u16string key, int writable)
      : store_(store), key_(std::move(key)), writable_(writable) {}

  int Query(const std::u16string& name, StoredValue* value) override {
    auto key = store_->keys_.find(key_);
    if (key == store_->keys_.end()) return 0;
    auto found = key->second.find(Folded(name));
    if (found == key->second.end()) return 0;
    *value = found->second;
    return 1;
  }

  int Set(const std::u16string& name, const StoredValue& value) override {
    if (!writable_) return 0;
    store_->journal.push_back("set " + Utf16ToUtf8(key_) + ":" + Utf16ToUtf8(Folded(name)));
    store_->keys_[key_][Folded(name)] = value;
    return 1;
  }

  int Delete(const std::u16string& name) override {
    if (!writable_) return 0;
    store_->journal.push_back("delete " + Utf16ToUtf8(key_) + ":" + Utf16ToUtf8(Folded(name)));
    return store_->keys_[key_].erase(Folded(name)) != 0;
  }

 private:
  MemoryStore* store_;
  std::u16string key_;
  int writable_;
};

std::u16string MemoryStore::KeyName(StoreRoot root, const std::u16string& path) {
  return (root == StoreRoot::kMachine ? u"hklm\\" : u"hkcu\\") + Folded(path);
}

std::unique_ptr<StoreKey> MemoryStore::Open(StoreRoot root, const std::u16string& path, KeyAccess access) {
  std::u16string key = KeyName(root, path);
  bool writing = access == KeyAccess::kCreateForWriting;
  journal.push_back((writing ? "create " : "open ") + Utf16ToUtf8(key));
  if (writing) {
    if (refuseWrites) return nullptr;
    keys_[key];
  } else if (!keys_.count(key)) {
    return nullptr;
  }
  return std::make_unique<MemoryKey>(this, key, writing);
}

void MemoryStore::Put(StoreRoot root, const std::u16string& path, const std::u16string& name,
                      const StoredValue& value) {
  keys_[KeyName(root, path)][Folded(name)] = value;
}

const StoredValue* MemoryStore::Find(StoreRoot root, const std::u16string& path,
                                     const std::u16string& name) const {
  auto key = keys_.find(KeyName(root, path));
  if (key == keys_.end()) return nullptr;
  auto found = key->second.find(Folded(name));
  return found == key->second.end() ? nullptr : &found->second;
}

int MemoryStore::HasKey(StoreRoot root, const std::u16string& path) const {
  return keys_.count(KeyName(root, path)) != 0;
}
