// Untrusted bytes through the structure dump: the whole file as Rich Text,
// which must stay balanced, and one directory as plain text.
#include <cstddef>
#include <cstdint>

#include "document/document_dump.h"

namespace {

struct RichTextCheck {
  int64_t depth = 0;
  bool escaped = false;
};

int CheckRichText(void* user, const char* text, size_t length) {
  RichTextCheck* check = static_cast<RichTextCheck*>(user);
  for (size_t i = 0; i < length; ++i) {
    char c = text[i];
    if (check->escaped) {
      check->escaped = false;
    } else if (c == '\\') {
      check->escaped = true;
    } else if (c == '{') {
      ++check->depth;
    } else if (c == '}' && --check->depth < 0) {
      __builtin_trap();
    }
  }
  return 1;
}

int Discard(void*, const char*, size_t) { return 1; }

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size > 0xFFFFFFFFu) return 0;
  Document document;
  PointAtMemory(&document, data, static_cast<uint32_t>(size));
  MessageLog log;
  RichTextCheck check;
  DumpDocument(&document, -1, kDumpRichText, CheckRichText, &check, &log);
  if (check.depth != 0 || check.escaped) __builtin_trap();
  if (size >= 8) {
    document.ifds.push_back({static_cast<uint32_t>(data[4] | data[5] << 8), 0, 0});
    DumpDocument(&document, 0, kDumpPlainText, Discard, nullptr, &log);
  }
  return 0;
}
