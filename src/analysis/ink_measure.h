// Which pixels of a page carry ink, and the row run lengths that the barcode
// reader and the blank-page measure are built on.
#pragma once

#include <cstdint>

#include "document/page_bitmap.h"

// The light/dark test prepared for one page. A 1-bit pixel is light when its
// bit is 1: the decoder always orders a bilevel table dark entry first. Pixels
// with a colour table (4 and 8 bits) are light when their entry's luminance
// 0.3 R + 0.59 G + 0.11 B
// (computed exactly) is at least 128, 24-bit pixels by the same
// luminance of their own bytes. 4-bit pages use the 8-bit rule through their
// table, so that a 2-bit grey page reads the same as its 8-bit rendering.
struct LightTest {
  const PageBitmap* page = nullptr;
  int32_t width = 0;
  int32_t height = 0;
  int32_t bitCount = 0;
  uint8_t lightIndex[256] = {};  // 4 and 8 bits: 1 when the table entry is light
};

int IsLightColour(uint8_t red, uint8_t green, uint8_t blue);
// Zero for a page without pixels or of a bit count other than 1, 4, 8 or 24.
int PrepareLightTest(LightTest* test, const PageBitmap* page);
// Pixel (x, y) in page coordinates, y counted from the top row; both inside the page.
int IsLightPixel(const LightTest* test, int32_t x, int32_t y);

// The run lengths of `count` pixels of row y from column x, alternately light
// and dark and always beginning with a light run (of length 0 when the first
// pixel is dark). The pixels must lie inside the page; `runs` has room for
// count + 1 entries. Returns the number of runs.
int32_t RowRuns(const LightTest* test, int32_t y, int32_t x, int32_t count, uint32_t* runs);

// For bilevel rows: the first column at or after `from` and before `end` whose
// bit differs from `bit`, or `end` when there is none. `rowBytes` bytes of the
// row may be read.
int32_t NextBitChange(const uint8_t* row, uint32_t rowBytes, int32_t from, int32_t end, int bit);
