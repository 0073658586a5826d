// Untrusted bytes through the directory walk and the page numbering.
#include <cstddef>
#include <cstdint>

#include "document/page_directory.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size > 0xFFFFFFFFu) return 0;
  for (int32_t ignore = 0; ignore < 4; ignore += 3) {
    Document document;
    MessageLog log;
    PointAtMemory(&document, data, static_cast<uint32_t>(size));
    document.ignoreSpecialImages = ignore;
    if (ReadPageDirectory(&document, &log)) NumberPages(&document, &log);
    for (int32_t page = 0; page < document.pageCount; ++page) {
      int index = PageToIfd(&document, page);
      if (index < 0 || IfdToPage(&document, index) != page) __builtin_trap();
    }
  }
  return 0;
}
