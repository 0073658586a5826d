#include "analysis/ink_measure.h"

#include <cstring>

namespace {

// trunc(0.3 R + 0.59 G + 0.11 B) >= 128 in exact integers: in floating point
// a plain grey 128 sums to 127.99999999999999 and would count as ink.
int LuminanceIsLight(uint8_t red, uint8_t green, uint8_t blue) {
  return 30 * red + 59 * green + 11 * blue >= 12800;
}

const uint8_t* StoredRow(const LightTest* test, int32_t y) {
  return RowOf(test->page, static_cast<uint32_t>(test->height - 1 - y));
}

// 64 pixels from byte `at`, the left-most in the top bit. Bytes past the row
// read as 0; callers never look at pixels beyond their end column.
uint64_t Load64(const uint8_t* row, uint32_t rowBytes, uint32_t at) {
  uint64_t word = 0;
  if (at + 8 <= rowBytes) {
    memcpy(&word, row + at, 8);
#if __BYTE_ORDER__ == __ORDER_LITTLE_ENDIAN__
    word = __builtin_bswap64(word);
#endif
    return word;
  }
  for (int i = 0; i < 8; ++i) word = word << 8 | (at + i < rowBytes ? row[at + i] : 0);
  return word;
}

// Bilevel rows word by word: a pixel that differs from its left neighbour
// (the first from light) ends a run, so runs come from the set bits of
// word ^ (word shifted by one), and blank stretches cost one test per 64 pixels.
int32_t BilevelRuns(const uint8_t* row, uint32_t rowBytes, int32_t x, int32_t count, uint32_t* runs) {
  int32_t end = x + count, runStart = x, n = 0;
  uint64_t previous = 1;
  for (int32_t base = x & ~63; base < end; base += 64) {
    uint64_t word = Load64(row, rowBytes, static_cast<uint32_t>(base) >> 3);
    if (base < x) word |= ~(~uint64_t{0} >> (x - base));  // pixels before x read as light
    uint64_t changes = word ^ (word >> 1 | previous << 63);
    previous = word & 1;
    while (changes) {
      int32_t bit = __builtin_clzll(changes);
      int32_t at = base + bit;
      if (at >= end) break;
      runs[n++] = static_cast<uint32_t>(at - runStart);
      runStart = at;
      changes ^= uint64_t{1} << (63 - bit);
    }
  }
  runs[n++] = static_cast<uint32_t>(end - runStart);
  return n;
}

// Runs of pixels classified one at a time by `light`.
template <typename Light>
int32_t ClassifiedRuns(int32_t x, int32_t count, uint32_t* runs, Light light) {
  int32_t n = 0;
  int current = 1;
  uint32_t length = 0;
  for (int32_t i = x; i < x + count; ++i) {
    int pixel = light(i);
    if (pixel != current) {
      runs[n++] = length;
      length = 0;
      current = pixel;
    }
    ++length;
  }
  runs[n++] = length;
  return n;
}

int32_t GenericRuns(const LightTest* test, int32_t y, int32_t x, int32_t count, uint32_t* runs) {
  const uint8_t* row = StoredRow(test, y);
  const uint8_t* lightIndex = test->lightIndex;
  switch (test->bitCount) {
    case 4:
      return ClassifiedRuns(x, count, runs,
                            [=](int32_t i) { return lightIndex[(row[i >> 1] >> (i & 1 ? 0 : 4)) & 15]; });
    case 8:
      return ClassifiedRuns(x, count, runs, [=](int32_t i) { return lightIndex[row[i]]; });
    default:
      return ClassifiedRuns(x, count, runs, [=](int32_t i) {
        const uint8_t* bgr = row + 3 * static_cast<int64_t>(i);
        return LuminanceIsLight(bgr[2], bgr[1], bgr[0]);
      });
  }
}

}  // namespace

int IsLightColour(uint8_t red, uint8_t green, uint8_t blue) { return LuminanceIsLight(red, green, blue); }

int PrepareLightTest(LightTest* test, const PageBitmap* page) {
  *test = LightTest{};
  if (!page || !page->block) return 0;
  const BitmapHeader* header = HeaderOf(page);
  if (header->width < 1 || header->height < 1) return 0;
  int32_t bits = header->bitCount;
  if (bits != 1 && bits != 4 && bits != 8 && bits != 24) return 0;
  test->page = page;
  test->width = header->width;
  test->height = header->height;
  test->bitCount = bits;
  if (bits == 4 || bits == 8) {
    // Indices beyond the table's entries have no colour; they count as ink.
    uint32_t entries = ColourTableEntries(header);
    const uint8_t* table = ColourTableOf(page);
    for (uint32_t i = 0; i < entries && i < (1u << bits); ++i) {
      test->lightIndex[i] =
          static_cast<uint8_t>(LuminanceIsLight(table[4 * i + 2], table[4 * i + 1], table[4 * i]));
    }
  }
  return 1;
}

int IsLightPixel(const LightTest* test, int32_t x, int32_t y) {
  const uint8_t* row = StoredRow(test, y);
  switch (test->bitCount) {
    case 1:
      return row[x >> 3] >> (7 - (x & 7)) & 1;
    case 4:
      return test->lightIndex[(row[x >> 1] >> (x & 1 ? 0 : 4)) & 15];
    case 8:
      return test->lightIndex[row[x]];
    default: {
      const uint8_t* bgr = row + 3 * static_cast<int64_t>(x);
      return LuminanceIsLight(bgr[2], bgr[1], bgr[0]);
    }
  }
}

int32_t NextBitChange(const uint8_t* row, uint32_t rowBytes, int32_t from, int32_t end, int bit) {
  int32_t at = from;
  while (at < end) {
    uint32_t shift = static_cast<uint32_t>(at) & 7;
    uint64_t word = Load64(row, rowBytes, static_cast<uint32_t>(at) >> 3);
    if (bit) word = ~word;  // now a 1 marks a pixel that differs
    word <<= shift;
    if (word) {
      int32_t change = at + __builtin_clzll(word);
      return change < end ? change : end;
    }
    at += 64 - static_cast<int32_t>(shift);
  }
  return end;
}

int32_t RowRuns(const LightTest* test, int32_t y, int32_t x, int32_t count, uint32_t* runs) {
  if (count <= 0) return 0;
  if (test->bitCount != 1) return GenericRuns(test, y, x, count, runs);
  return BilevelRuns(StoredRow(test, y), test->page->stride, x, count, runs);
}
