// The decoded page as Windows draws it: one block holding a 40-byte
// BITMAPINFOHEADER, the colour table and the bottom-up pixel rows.
#pragma once

#include <cstdint>

#include "common/message_log.h"

// The instance settings that bitmap creation and scaling read.
struct RasterSettings {
  uint32_t memoryLimitMb = 0;  // 0: no limit
  int32_t resample = 0;        // smoothing on
};

#pragma pack(push, 1)
// Byte for byte the Windows BITMAPINFOHEADER, so the block can be handed to GDI.
struct BitmapHeader {
  uint32_t size;
  int32_t width;
  int32_t height;  // positive: the first stored row is the bottom of the picture
  uint16_t planes;
  uint16_t bitCount;
  uint32_t compression;
  uint32_t imageSize;
  int32_t xPixelsPerMetre;
  int32_t yPixelsPerMetre;
  uint32_t coloursUsed;
  uint32_t coloursImportant;
};
#pragma pack(pop)
static_assert(sizeof(BitmapHeader) == 40);

struct PageBitmap {
  uint8_t* block = nullptr;   // owned: header, colour table, rows
  uint8_t* pixels = nullptr;  // first stored row, inside the block
  uint32_t stride = 0;        // bytes per stored row, a multiple of 4
  uint64_t blockSize = 0;
  uint8_t greyRamp = 0;  // the table is the plain black-to-white ramp
  uint8_t twoBit = 0;    // 2-bit samples held as 4 bits, entries 0-3 used
};

constexpr uint64_t kMaximumPixelBytes = 2000000000;

inline BitmapHeader* HeaderOf(const PageBitmap* bitmap) {
  return reinterpret_cast<BitmapHeader*>(bitmap->block);
}
// Table entries of 4 bytes (blue, green, red, 0) follow the header.
inline uint8_t* ColourTableOf(const PageBitmap* bitmap) { return bitmap->block + sizeof(BitmapHeader); }
inline uint32_t StrideFor(uint32_t width, uint32_t bitCount) {
  return static_cast<uint32_t>((uint64_t{width} * bitCount + 31) / 32 * 4);
}
// The header's colours-used value when set, else 2^bitcount; none above 256.
uint32_t ColourTableEntries(const BitmapHeader* header);
inline uint8_t* RowOf(const PageBitmap* bitmap, uint32_t storedRow) {
  return bitmap->pixels + uint64_t{storedRow} * bitmap->stride;
}

// Bit counts 1, 4, 8 and 24. The colour table is left zero; the rows are zero
// when `zeroed` is set.
int CreatePageBitmap(const RasterSettings* settings, MessageLog* log, PageBitmap* bitmap, int32_t width,
                     int32_t height, int32_t bitCount, int zeroed);
void ReleasePageBitmap(PageBitmap* bitmap);
