#include "document/page_bitmap.h"

#include <cstdlib>
#include <cstring>

#include "common/diagnostics.h"

uint32_t ColourTableEntries(const BitmapHeader* header) {
  uint32_t entries = header->coloursUsed     ? header->coloursUsed
                     : header->bitCount < 32 ? uint32_t{1} << header->bitCount
                                             : 0xFFFFFFFFu;
  return entries > 256 ? 0 : entries;
}

int CreatePageBitmap(const RasterSettings* settings, MessageLog* log, PageBitmap* bitmap, int32_t width,
                     int32_t height, int32_t bitCount, int zeroed) {
  ReleasePageBitmap(bitmap);
  if (bitCount != 1 && bitCount != 4 && bitCount != 8 && bitCount != 24) {
    LogError(log, "internal error: incorrect bitcount");
    return 0;
  }
  if (width < 1 || height < 1) return 0;
  BitmapHeader header{};
  header.size = sizeof(BitmapHeader);
  header.width = width;
  header.height = height;
  header.planes = 1;
  header.bitCount = static_cast<uint16_t>(bitCount);
  uint32_t stride = StrideFor(static_cast<uint32_t>(width), static_cast<uint32_t>(bitCount));
  uint64_t pixelBytes = uint64_t{stride} * static_cast<uint32_t>(height);
  if (pixelBytes > kMaximumPixelBytes) return 0;
  uint64_t headerSize = sizeof(BitmapHeader) + 4 * uint64_t{ColourTableEntries(&header)};
  uint64_t blockSize = headerSize + pixelBytes;
  uint32_t limit = settings ? settings->memoryLimitMb : 0;
  if (limit != 0 && uint64_t{limit} * 1048576 < blockSize) {
    LogError(log, "Image too large, exceeds configured %uMB memory limit", limit);
    return 0;
  }
  auto* block = static_cast<uint8_t*>(zeroed ? AllocateZeroedOrReport(log, blockSize)
                                             : AllocateOrReport(log, blockSize));
  if (!block) return 0;
  memcpy(block, &header, sizeof header);
  // The table starts out zero whichever allocation was used.
  memset(block + sizeof header, 0, headerSize - sizeof header);
  bitmap->block = block;
  bitmap->pixels = block + headerSize;
  bitmap->stride = stride;
  bitmap->blockSize = blockSize;
  bitmap->greyRamp = 0;
  bitmap->twoBit = 0;
  return 1;
}

void ReleasePageBitmap(PageBitmap* bitmap) {
  free(bitmap->block);
  *bitmap = PageBitmap{};
}
