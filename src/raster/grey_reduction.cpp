#include "raster/grey_reduction.h"

#include <cstdlib>
#include <cstring>

#include "common/diagnostics.h"
#include "raster/fast_divide.h"

namespace {

constexpr int64_t kUnit = 4096;  // one source pixel
// A column is counted in one 64-bit window while it spans at most this many
// whole pixels (plus the pixel cut by its end and the bit offset in a byte).
constexpr uint32_t kWindowPixels = 56;

// Where target column m lies on the source row: the pixels wholly inside it,
// and how much of the next pixel its end covers (the rest of that pixel
// belongs to column m + 1).
struct GreyColumn {
  uint32_t fullStart;
  uint32_t fullCount;
  uint32_t tailWeight;
};

inline uint64_t Load64(const uint8_t* p) {
  uint64_t v = 0;
  for (int i = 0; i < 8; ++i) v = (v << 8) | p[i];
  return v;
}

// Pixel k of a 1-bit row is bit 7 - (k & 7) of byte k >> 3.
uint32_t CountOnes(const uint8_t* row, uint32_t start, uint32_t count) {
  uint32_t ones = 0;
  while (count > 0) {
    uint32_t n = count < kWindowPixels ? count : kWindowPixels;
    uint64_t window = Load64(row + (start >> 3)) << (start & 7);
    ones += static_cast<uint32_t>(__builtin_popcountll(window >> (64 - n)));
    start += n;
    count -= n;
  }
  return ones;
}

inline uint32_t BitAt(const uint8_t* row, uint32_t k) { return (row[k >> 3] >> (7 - (k & 7))) & 1; }

// A row of one colour throughout (blank paper, or a solid bar) needs no
// counting: every column is 0 or 255.
int UniformRow(const uint8_t* row, uint32_t width) {
  const uint8_t first = row[0] & 0x80 ? 0xFF : 0x00;
  uint32_t whole = width / 8;
  for (uint32_t i = 0; i < whole; ++i)
    if (row[i] != first) return -1;
  uint32_t rest = width % 8;
  if (rest) {
    uint8_t mask = static_cast<uint8_t>(0xFF00 >> rest);
    if ((row[whole] & mask) != (first & mask)) return -1;
  }
  return first;
}

// One source row into one value per target column: sum of covered parts of
// the 1 pixels, times 255, divided by the column width a (all in 1/4096).
void ReduceRow(const uint8_t* row, const GreyColumn* columns, uint32_t targetWidth, uint32_t sourceWidth,
               const FastDivisor& columnWidth, uint64_t a, uint8_t* work) {
  int uniform = UniformRow(row, sourceWidth);
  if (uniform >= 0) {
    memset(work, uniform, targetWidth);
    return;
  }
  const bool fast = a * 255 <= UINT32_MAX;
  uint64_t carry = 0;
  for (uint32_t m = 0; m < targetWidth; ++m) {
    const GreyColumn& c = columns[m];
    uint64_t sum = carry;
    uint32_t tailBit;
    if (c.fullCount < kWindowPixels) {
      uint64_t window = Load64(row + (c.fullStart >> 3)) << (c.fullStart & 7);
      if (c.fullCount) sum += kUnit * uint64_t(__builtin_popcountll(window >> (64 - c.fullCount)));
      tailBit = static_cast<uint32_t>(window >> (63 - c.fullCount)) & 1;
    } else {
      sum += kUnit * uint64_t(CountOnes(row, c.fullStart, c.fullCount));
      tailBit = BitAt(row, c.fullStart + c.fullCount);
    }
    carry = 0;
    if (c.tailWeight && tailBit) {
      sum += c.tailWeight;
      carry = kUnit - c.tailWeight;
    }
    work[m] = static_cast<uint8_t>(fast ? FastDivide(static_cast<uint32_t>(sum * 255), columnWidth)
                                        : sum * 255 / a);
  }
}

}  // namespace

int ReduceToGrey(MessageLog* log, const PageBitmap* source, PageBitmap* target) {
  const BitmapHeader* in = HeaderOf(source);
  const BitmapHeader* out = HeaderOf(target);
  const uint32_t sourceWidth = static_cast<uint32_t>(in->width);
  const uint32_t sourceHeight = static_cast<uint32_t>(in->height);
  const uint32_t width = static_cast<uint32_t>(out->width);
  const uint32_t height = static_cast<uint32_t>(out->height);
  if (in->bitCount != 1 || out->bitCount != 8 || width < 1 || height < 1 || width > sourceWidth ||
      height > sourceHeight)
    return 0;

  const uint64_t a = uint64_t{sourceWidth} * kUnit / width;
  const uint64_t v = uint64_t{sourceHeight} * kUnit / height;
  // Work memory: the column plan, one padded source row (windows read up to
  // 8 bytes past a column's first byte), one row of column values and one row
  // of vertical sums.
  const size_t rowBytes = (size_t{sourceWidth} + 7) / 8 + 8;
  const size_t bytes = sizeof(GreyColumn) * width + rowBytes + width + sizeof(uint64_t) * width;
  auto* memory = static_cast<uint8_t*>(AllocateOrReport(log, bytes));
  if (!memory) return 0;
  auto* sums = reinterpret_cast<uint64_t*>(memory);
  auto* columns = reinterpret_cast<GreyColumn*>(memory + sizeof(uint64_t) * width);
  uint8_t* row = memory + sizeof(uint64_t) * width + sizeof(GreyColumn) * width;
  uint8_t* work = row + rowBytes;

  for (uint32_t m = 0; m < width; ++m) {
    uint64_t start = m * a, end = start + a;
    uint64_t fullStart = (start + kUnit - 1) / kUnit;
    columns[m].fullStart = static_cast<uint32_t>(fullStart);
    columns[m].fullCount = static_cast<uint32_t>(end / kUnit - fullStart);
    columns[m].tailWeight = static_cast<uint32_t>(end % kUnit);
  }
  memset(row, 0, rowBytes);
  memset(sums, 0, sizeof(uint64_t) * width);
  const FastDivisor columnWidth = MakeFastDivisor(a * 255 <= UINT32_MAX ? static_cast<uint32_t>(a) : 1);
  const bool fastRows = v * 255 <= UINT32_MAX;
  const FastDivisor rowHeight = MakeFastDivisor(fastRows ? static_cast<uint32_t>(v) : 1);

  // Source rows are taken in stored order; each adds its covered part to the
  // target row whose interval it meets, and a row cut by an interval's end
  // carries the remainder into the next target row.
  uint32_t i = 0;
  uint64_t position = 0, end = v;
  const size_t sourceBytes = (size_t{sourceWidth} + 7) / 8;
  for (uint32_t r = 0; r < sourceHeight && i < height; ++r) {
    memcpy(row, RowOf(source, r), sourceBytes);
    ReduceRow(row, columns, width, sourceWidth, columnWidth, a, work);
    uint64_t remaining = kUnit;
    while (remaining > 0 && i < height) {
      uint64_t take = end - position < remaining ? end - position : remaining;
      for (uint32_t m = 0; m < width; ++m) sums[m] += take * work[m];
      position += take;
      remaining -= take;
      if (position == end) {
        uint8_t* outRow = RowOf(target, i);
        for (uint32_t m = 0; m < width; ++m)
          outRow[m] = static_cast<uint8_t>(fastRows ? FastDivide(static_cast<uint32_t>(sums[m]), rowHeight)
                                                    : sums[m] / v);
        memset(sums, 0, sizeof(uint64_t) * width);
        ++i;
        end += v;
      }
    }
  }
  free(memory);
  return 1;
}
