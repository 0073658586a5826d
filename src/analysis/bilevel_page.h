// Pixel access on 1-bit pages in page coordinates (y from the top row), where
// bit value 0 is ink.
#pragma once

#include <cstdint>

#include "analysis/ink_measure.h"
#include "document/page_bitmap.h"

struct BilevelPage {
  uint8_t* pixels = nullptr;
  uint32_t stride = 0;
  int32_t width = 0;
  int32_t height = 0;
};

// Zero unless the bitmap has pixels and 1 bit per pixel.
inline int ViewBilevel(const PageBitmap* bitmap, BilevelPage* page) {
  *page = BilevelPage{};
  if (!bitmap || !bitmap->block) return 0;
  const BitmapHeader* header = HeaderOf(bitmap);
  if (header->bitCount != 1 || header->width < 1 || header->height < 1) return 0;
  *page = BilevelPage{bitmap->pixels, bitmap->stride, header->width, header->height};
  return 1;
}

inline uint8_t* BilevelRow(const BilevelPage* page, int32_t y) {
  return page->pixels + uint64_t(page->height - 1 - y) * page->stride;
}
inline int IsInk(const BilevelPage* page, int32_t x, int32_t y) {
  return !(BilevelRow(page, y)[x >> 3] >> (7 - (x & 7)) & 1);
}
inline void MakeLight(const BilevelPage* page, int32_t x, int32_t y) {
  BilevelRow(page, y)[x >> 3] |= static_cast<uint8_t>(0x80 >> (x & 7));
}
inline void InvertPixel(const BilevelPage* page, int32_t x, int32_t y) {
  BilevelRow(page, y)[x >> 3] ^= static_cast<uint8_t>(0x80 >> (x & 7));
}
// Whether any of the pixels x0 .. x1 (inclusive) of row y is ink.
inline int RowHasInk(const BilevelPage* page, int32_t y, int32_t x0, int32_t x1) {
  return NextBitChange(BilevelRow(page, y), page->stride, x0, x1 + 1, 1) <= x1;
}
