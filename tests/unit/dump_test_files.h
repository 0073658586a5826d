// Hand-made TIFF, BigTIFF and MDI files for the structure dump tests: every
// entry, link and offset can be set, including the broken ones.
#pragma once

#include <cstdint>
#include <cstring>
#include <string>
#include <vector>

#include "document/document_dump.h"

namespace dumptest {

struct Entry {
  uint16_t tag = 0;
  uint16_t type = 0;
  uint64_t count = 0;
  std::vector<uint8_t> data;  // in the file's byte order; inline when it fits
  bool rawField = false;      // the value field holds `field` as is
  uint64_t field = 0;
  std::vector<int> children;  // directories whose offsets are the values
};

struct Ifd {
  std::vector<Entry> entries;
  int next = -1;         // index of the next directory
  uint64_t rawNext = 0;  // used when next is -1
};

class TiffBuilder {
 public:
  explicit TiffBuilder(bool bigTiff = false, bool bigEndian = false) : big_(bigTiff), bigEndian_(bigEndian) {}

  int AddIfd() {
    ifds_.emplace_back();
    return static_cast<int>(ifds_.size()) - 1;
  }
  // Integer values of any integer type; rationals take numerator, denominator pairs.
  void Add(int ifd, uint16_t tag, uint16_t type, const std::vector<uint64_t>& values) {
    Entry e{tag, type, 0, {}, false, 0, {}};
    uint32_t size = ItemSize(type);
    if (type == 5 || type == 10) {
      e.count = values.size() / 2;
      for (uint64_t v : values) Append(&e.data, v, 4);
    } else {
      e.count = values.size();
      for (uint64_t v : values) Append(&e.data, v, size);
    }
    ifds_[ifd].entries.push_back(e);
  }
  void AddString(int ifd, uint16_t tag, const std::string& text, bool terminate = true) {
    Entry e{tag, 2, text.size() + (terminate ? 1 : 0), {}, false, 0, {}};
    e.data.assign(text.begin(), text.end());
    if (terminate) e.data.push_back(0);
    ifds_[ifd].entries.push_back(e);
  }
  void AddRaw(int ifd, uint16_t tag, uint16_t type, uint64_t count, uint64_t field) {
    ifds_[ifd].entries.push_back(Entry{tag, type, count, {}, true, field, {}});
  }
  void AddChildren(int ifd, uint16_t tag, uint16_t type, const std::vector<int>& children) {
    Entry e{tag, type, children.size(), {}, false, 0, children};
    ifds_[ifd].entries.push_back(e);
  }
  void Link(int from, int to) { ifds_[from].next = to; }
  void LinkRaw(int from, uint64_t next) { ifds_[from].rawNext = next; }
  void SetFirstRaw(uint64_t offset) {
    firstRaw_ = offset;
    hasFirstRaw_ = true;
  }
  // Places each directory one byte later than the word boundary.
  void UseOddOffsets() { odd_ = true; }
  void SetMagic(const char* magic) { magic_ = magic; }
  void SetVersion(uint16_t version) { version_ = version; }

  uint64_t IfdOffset(int index) const { return offsets_.at(index); }

  std::vector<uint8_t> Build() {
    std::vector<uint8_t> b;
    const char* magic = magic_ ? magic_ : bigEndian_ ? "MM" : "II";
    b.push_back(static_cast<uint8_t>(magic[0]));
    b.push_back(static_cast<uint8_t>(magic[1]));
    Append(&b, version_ ? version_ : big_ ? 43 : 42, 2);
    if (big_) {
      Append(&b, 8, 2);
      Append(&b, 0, 2);
      Append(&b, 0, 8);
    } else {
      Append(&b, 0, 4);
    }
    const uint64_t countSize = big_ ? 8 : 2, entrySize = big_ ? 20 : 12, field = big_ ? 8 : 4;
    offsets_.clear();
    uint64_t pos = b.size();
    for (const Ifd& ifd : ifds_) {
      if (odd_) pos += 1;
      offsets_.push_back(pos);
      pos += countSize + entrySize * ifd.entries.size() + field;
      pos += pos & 1;
    }
    b.resize(pos, 0);
    uint64_t first = hasFirstRaw_ ? firstRaw_ : offsets_.empty() ? 0 : offsets_[0];
    Put(&b, big_ ? 8 : 4, first, big_ ? 8 : 4);
    for (size_t i = 0; i < ifds_.size(); ++i) {
      const Ifd& ifd = ifds_[i];
      uint64_t at = offsets_[i];
      Put(&b, at, ifd.entries.size(), static_cast<int>(countSize));
      for (size_t k = 0; k < ifd.entries.size(); ++k) {
        Entry e = ifd.entries[k];
        if (!e.children.empty()) {
          uint32_t width = ItemSize(e.type);
          e.data.clear();
          for (int c : e.children) Append(&e.data, offsets_[c], width);
        }
        uint64_t q = at + countSize + entrySize * k;
        Put(&b, q, e.tag, 2);
        Put(&b, q + 2, e.type, 2);
        Put(&b, q + 4, e.count, big_ ? 8 : 4);
        uint64_t f = q + (big_ ? 12 : 8);
        if (e.rawField) {
          Put(&b, f, e.field, static_cast<int>(field));
        } else if (e.data.size() <= field) {
          std::memcpy(b.data() + f, e.data.data(), e.data.size());
        } else {
          uint64_t dataAt = b.size();
          b.insert(b.end(), e.data.begin(), e.data.end());
          if (b.size() & 1) b.push_back(0);
          Put(&b, f, dataAt, static_cast<int>(field));
        }
      }
      uint64_t next = ifd.next >= 0 ? offsets_[ifd.next] : ifd.rawNext;
      Put(&b, at + countSize + entrySize * ifd.entries.size(), next, static_cast<int>(field));
    }
    return b;
  }

  static uint32_t ItemSize(uint16_t type) {
    static const uint32_t kSizes[] = {0, 1, 1, 2, 4, 8, 1, 1, 2, 4, 8, 4, 8, 4, 1, 8, 8, 8, 8};
    return type < 19 ? kSizes[type] : 0;
  }

 private:
  void Append(std::vector<uint8_t>* b, uint64_t v, uint32_t n) const {
    b->resize(b->size() + n);
    Put(b, b->size() - n, v, static_cast<int>(n));
  }
  void Put(std::vector<uint8_t>* b, uint64_t at, uint64_t v, int n) const {
    for (int i = 0; i < n; ++i) {
      (*b)[at + i] = static_cast<uint8_t>(v >> (8 * (bigEndian_ ? n - 1 - i : i)));
    }
  }

  bool big_, bigEndian_;
  bool odd_ = false;
  bool hasFirstRaw_ = false;
  uint64_t firstRaw_ = 0;
  const char* magic_ = nullptr;
  uint16_t version_ = 0;
  std::vector<Ifd> ifds_;
  std::vector<uint64_t> offsets_;
};

// A small page that most tests start from.
inline int AddPage(TiffBuilder* b) {
  int ifd = b->AddIfd();
  b->Add(ifd, 256, 3, {8});
  b->Add(ifd, 257, 3, {4});
  b->Add(ifd, 259, 3, {1});
  return ifd;
}

inline int CollectText(void* user, const char* text, size_t length) {
  static_cast<std::string*>(user)->append(text, length);
  return 1;
}

// The dump of the bytes as a memory document.
inline std::string DumpBytes(const std::vector<uint8_t>& bytes, int32_t mode = kDumpPlainText,
                             int32_t ifdIndex = -1, const std::vector<IfdEntry>& ifds = {}) {
  Document document;
  PointAtMemory(&document, bytes.data(), static_cast<uint32_t>(bytes.size()));
  document.ifds = ifds;
  MessageLog log;
  std::string text;
  DumpDocument(&document, ifdIndex, mode, CollectText, &text, &log);
  return text;
}

}  // namespace dumptest
