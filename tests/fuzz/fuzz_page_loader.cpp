// Untrusted bytes through the page loader: every page of the document, with a
// memory limit as the viewer may be configured.
#include <cstddef>
#include <cstdint>

#include "decode/page_loader.h"
#include "document/page_directory.h"
#include "raster/page_bitmap.h"

namespace {

// Bounded so that a fuzzed header cannot make one input run for seconds.
constexpr int32_t kMaximumPages = 8;

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size > 0xFFFFFFFFu) return 0;
  Document document;
  MessageLog documentLog;
  document.sourceKind = kSourceMemory;
  document.bytes = data;
  document.size = static_cast<uint32_t>(size);
  document.sizeKnown = 1;
  if (!ReadPageDirectory(&document, &documentLog)) return 0;
  NumberPages(&document, &documentLog);
  PageLoadOptions options;
  options.memoryLimitMb = 64;
  options.readPrintTags = 1;
  for (int32_t page = 0; page < document.pageCount && page < kMaximumPages; ++page) {
    PageInfo info;
    PageBitmap bitmap;
    MessageLog log;
    int loaded = LoadPage(&document, PageToIfd(&document, page), &options, &info, &bitmap, &log);
    if (loaded) {
      const BitmapHeader* header = HeaderOf(&bitmap);
      // The facts and the bitmap must agree on the picture's size.
      if (static_cast<uint32_t>(header->width) != info.width || static_cast<uint32_t>(header->height) != info.height ||
          bitmap.blockSize > 64u * 1048576u) {
        __builtin_trap();
      }
    } else if (bitmap.block) {
      __builtin_trap();
    }
    ReleasePageBitmap(&bitmap);
    ReleasePageInfo(&info);
  }
  return 0;
}
