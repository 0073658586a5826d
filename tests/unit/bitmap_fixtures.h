// Page bitmaps with reproducible content for the raster tests.
#pragma once

#include <cstdint>
#include <vector>

#include "document/page_bitmap.h"

namespace fixtures {

// A small linear congruential generator: the same pixels on every platform.
struct Noise {
  uint32_t state;
  explicit Noise(uint32_t seed) : state(seed * 2654435761u + 1) {}
  uint32_t Next() {
    state = state * 1664525u + 1013904223u;
    return state >> 8;
  }
};

// Reads picture pixel (x, y) (y counted from the top) as an index or, for
// 24 bits, as 0xRRGGBB.
inline uint32_t PixelAt(const PageBitmap* b, int32_t x, int32_t y) {
  const BitmapHeader* h = HeaderOf(b);
  const uint8_t* row = RowOf(b, static_cast<uint32_t>(h->height - 1 - y));
  switch (h->bitCount) {
    case 1:
      return (row[x >> 3] >> (7 - (x & 7))) & 1;
    case 4:
      return (x & 1) ? row[x >> 1] & 0x0F : row[x >> 1] >> 4;
    case 8:
      return row[x];
    default:
      return uint32_t{row[3 * x + 2]} << 16 | uint32_t{row[3 * x + 1]} << 8 | row[3 * x];
  }
}

inline void SetPixel(PageBitmap* b, int32_t x, int32_t y, uint32_t value) {
  const BitmapHeader* h = HeaderOf(b);
  uint8_t* row = RowOf(b, static_cast<uint32_t>(h->height - 1 - y));
  switch (h->bitCount) {
    case 1: {
      uint8_t bit = static_cast<uint8_t>(0x80 >> (x & 7));
      row[x >> 3] = static_cast<uint8_t>(value & 1 ? row[x >> 3] | bit : row[x >> 3] & ~bit);
      break;
    }
    case 4:
      row[x >> 1] = static_cast<uint8_t>((x & 1) ? (row[x >> 1] & 0xF0) | (value & 15)
                                                 : (row[x >> 1] & 0x0F) | (value & 15) << 4);
      break;
    case 8:
      row[x] = static_cast<uint8_t>(value);
      break;
    default:
      row[3 * x] = static_cast<uint8_t>(value);
      row[3 * x + 1] = static_cast<uint8_t>(value >> 8);
      row[3 * x + 2] = static_cast<uint8_t>(value >> 16);
  }
}

// Distinct table colours (so that colour matching maps every index to
// itself): black and white for 1 bit, a grey ramp for 8 bits, 16 colours for
// 4 bits.
inline void FillDistinctTable(PageBitmap* b) {
  const uint32_t bits = HeaderOf(b)->bitCount;
  uint8_t* t = ColourTableOf(b);
  if (bits == 24) return;
  const uint32_t entries = 1u << bits;
  for (uint32_t i = 0; i < entries; ++i) {
    uint8_t grey = static_cast<uint8_t>(i * 255 / (entries - 1));
    t[4 * i] = grey;
    t[4 * i + 1] = bits == 4 ? static_cast<uint8_t>(i * 37) : grey;
    t[4 * i + 2] = bits == 4 ? static_cast<uint8_t>(255 - i * 13) : grey;
    t[4 * i + 3] = 0;
  }
  b->greyRamp = bits != 4;
}

// Every pixel random; the row padding random too, so that nothing may read it.
inline bool MakeNoiseBitmap(PageBitmap* b, int32_t bitCount, int32_t width, int32_t height, uint32_t seed) {
  if (!CreatePageBitmap(nullptr, nullptr, b, width, height, bitCount, 0)) return false;
  FillDistinctTable(b);
  Noise noise(seed);
  for (uint64_t i = 0; i < uint64_t{b->stride} * static_cast<uint32_t>(height); ++i)
    b->pixels[i] = static_cast<uint8_t>(noise.Next());
  return true;
}

}  // namespace fixtures
