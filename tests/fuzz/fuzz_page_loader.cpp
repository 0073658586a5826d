// Untrusted bytes through the page loader and the display scaler: every page
// of the document, with a memory limit as the viewer may be configured.
#include <cstddef>
#include <cstdint>

#include "document/page_bitmap.h"
#include "document/page_directory.h"
#include "document/page_loader.h"
#include "document/scale_for_display.h"

namespace {

// Bounded so that a fuzzed header cannot make one input run for seconds.
constexpr int32_t kMaximumPages = 8;

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size > 0xFFFFFFFFu) return 0;
  Document document;
  MessageLog documentLog;
  PointAtMemory(&document, data, static_cast<uint32_t>(size));
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
      if (static_cast<uint32_t>(header->width) != info.width ||
          static_cast<uint32_t>(header->height) != info.height || bitmap.blockSize > 64u * 1048576u) {
        __builtin_trap();
      }
      // Smoothed to a size the input chooses, as a window of any shape would.
      RasterSettings raster{64, 1};
      int32_t width = 1 + data[size - 1] % 97, height = 1 + data[size / 2] % 89;
      PageBitmap scaled;
      if (ScaleForDisplay(&raster, &log, &bitmap, &scaled, width, height, 1) &&
          (HeaderOf(&scaled)->width != width || HeaderOf(&scaled)->height != height)) {
        __builtin_trap();
      }
      ReleasePageBitmap(&scaled);
    } else if (bitmap.block) {
      __builtin_trap();
    }
    ReleasePageBitmap(&bitmap);
    ReleasePageInfo(&info);
  }
  return 0;
}
