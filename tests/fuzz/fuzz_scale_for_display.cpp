// Any page geometry, table and pixels through the display scaler: the sizes
// and flags come from the first bytes, the table and rows from the rest.
#include <cstddef>
#include <cstdint>
#include <cstring>

#include "document/scale_for_display.h"

namespace {

int32_t Read16(const uint8_t* p) { return p[0] | p[1] << 8; }

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size < 12) return 0;
  const int32_t bitCounts[] = {1, 4, 8, 24};
  const int32_t bitCount = bitCounts[data[0] & 3];
  const int32_t width = 1 + Read16(data + 1) % 200;
  const int32_t height = 1 + Read16(data + 3) % 200;
  const int32_t targetWidth = Read16(data + 5) % 320 - 2;
  const int32_t targetHeight = Read16(data + 7) % 320 - 2;
  const uint8_t flags = data[9];
  RasterSettings settings;
  settings.resample = flags & 1;
  settings.memoryLimitMb = data[10] & 3;
  data += 12;
  size -= 12;

  PageBitmap source, target;
  if (!CreatePageBitmap(nullptr, nullptr, &source, width, height, bitCount, 1)) return 0;
  source.greyRamp = (flags >> 2) & 1;
  source.twoBit = (flags >> 3) & 1;
  const size_t headerRoom = static_cast<size_t>(source.pixels - source.block) - sizeof(BitmapHeader);
  const size_t room = headerRoom + size_t{source.stride} * static_cast<uint32_t>(height);
  memcpy(source.block + sizeof(BitmapHeader), data, size < room ? size : room);

  MessageLog log;
  if (ScaleForDisplay(&settings, &log, &source, &target, targetWidth, targetHeight, (flags >> 1) & 1)) {
    const BitmapHeader* out = HeaderOf(&target);
    if (out->width != (targetWidth < 1 ? 1 : targetWidth) ||
        out->height != (targetHeight < 1 ? 1 : targetHeight))
      __builtin_trap();
    // Every byte of the rows must lie inside the block (the sanitizer checks).
    uint32_t sum = 0;
    for (uint64_t i = 0; i < uint64_t{target.stride} * static_cast<uint32_t>(out->height); ++i)
      sum += target.pixels[i];
    asm volatile("" : : "r"(sum));
  } else if (target.block) {
    __builtin_trap();
  }
  ReleasePageBitmap(&source);
  ReleasePageBitmap(&target);
  return 0;
}
