#include "raster/area_average.h"

#include <cstdlib>
#include <cstring>

#include "common/diagnostics.h"
#include "raster/fast_divide.h"

namespace {

// The source positions one target row (or column) covers: `first` with
// weight firstWeight, then whole ones of weight 16, then `last` with
// lastWeight, all in sixteenths of a pixel.
struct AreaSpan {
  uint32_t first;
  uint32_t last;
  uint32_t firstWeight;
  uint32_t lastWeight;
  uint32_t total;
};

// The interval of target position i is [i * step, (i + 1) * step) rounded to
// sixteenths, with step = 16 * source / target in single precision. An
// interval reaching past the source ends on its last position with weight 15;
// if that leaves nothing before it, it starts one position earlier with
// weight 1.
void PlanSpans(uint32_t sourceLength, uint32_t targetLength, AreaSpan* spans) {
  const float step = static_cast<float>(sourceLength) * 16.0f / static_cast<float>(targetLength);
  for (uint32_t i = 0; i < targetLength; ++i) {
    auto from = static_cast<uint64_t>(static_cast<float>(i) * step + 0.5f);
    auto to = static_cast<uint64_t>(static_cast<float>(i + 1) * step + 0.5f);
    uint64_t first = from >> 4, last = to >> 4;
    uint32_t firstWeight = 16 - static_cast<uint32_t>(from & 15);
    uint32_t lastWeight = static_cast<uint32_t>(to & 15);
    if (last >= sourceLength) {
      last = sourceLength - 1;
      lastWeight = 15;
      if (first >= last) {
        first = sourceLength - 2;
        firstWeight = 1;
      }
    }
    AreaSpan& s = spans[i];
    if (first >= last) {
      // Only where single precision runs out on huge pages: one position,
      // weighted by what the interval covers of it (never nothing).
      s.first = s.last = static_cast<uint32_t>(last);
      s.firstWeight = s.lastWeight = 0;
      s.total = to > from ? static_cast<uint32_t>(to - from) : 1;
      if (s.total > 16) s.total = 16;
      s.firstWeight = s.total;
      continue;
    }
    s.first = static_cast<uint32_t>(first);
    s.last = static_cast<uint32_t>(last);
    s.firstWeight = firstWeight;
    s.lastWeight = lastWeight;
    s.total = firstWeight + lastWeight + 16 * static_cast<uint32_t>(last - first - 1);
  }
}

inline uint32_t WeightAt(const AreaSpan& s, uint32_t position) {
  if (position == s.first) return s.firstWeight;
  if (position == s.last) return s.lastWeight;
  return 16;
}

}  // namespace

int AreaAverage(MessageLog* log, const PageBitmap* source, PageBitmap* target) {
  const BitmapHeader* in = HeaderOf(source);
  const BitmapHeader* out = HeaderOf(target);
  const uint32_t channels = in->bitCount == 24 ? 3 : 1;
  const uint32_t sourceWidth = static_cast<uint32_t>(in->width);
  const uint32_t sourceHeight = static_cast<uint32_t>(in->height);
  const uint32_t width = static_cast<uint32_t>(out->width);
  const uint32_t height = static_cast<uint32_t>(out->height);
  if ((in->bitCount != 8 && in->bitCount != 24) || out->bitCount != in->bitCount || width < 3 ||
      height < 3 || width > sourceWidth || height > sourceHeight)
    return 0;

  const size_t samples = size_t{sourceWidth} * channels;
  const size_t bytes =
      sizeof(FastDivisor) * width + sizeof(AreaSpan) * (width + height) + sizeof(uint32_t) * samples;
  auto* memory = static_cast<uint8_t*>(AllocateOrReport(log, bytes));
  if (!memory) return 0;
  auto* columnDivisors = reinterpret_cast<FastDivisor*>(memory);
  auto* columns = reinterpret_cast<AreaSpan*>(memory + sizeof(FastDivisor) * width);
  AreaSpan* rows = columns + width;
  auto* columnSums = reinterpret_cast<uint32_t*>(rows + height);
  PlanSpans(sourceWidth, width, columns);
  PlanSpans(sourceHeight, height, rows);

  // Dividing by the row total and then by the column total gives the same
  // integer as dividing once by their product.
  for (uint32_t j = 0; j < width; ++j) columnDivisors[j] = MakeFastDivisor(columns[j].total);

  for (uint32_t i = 0; i < height; ++i) {
    // Weighted sums down each source column, over the rows of target row i.
    const AreaSpan& r = rows[i];
    memset(columnSums, 0, sizeof(uint32_t) * samples);
    for (uint32_t y = r.first; y <= r.last; ++y) {
      const uint32_t weight = WeightAt(r, y);
      if (!weight) continue;
      const uint8_t* in8 = RowOf(source, y);
      for (size_t k = 0; k < samples; ++k) columnSums[k] += weight * in8[k];
    }
    const FastDivisor rowDivisor = MakeFastDivisor(r.total);
    uint8_t* outRow = RowOf(target, i);
    for (uint32_t j = 0; j < width; ++j) {
      const AreaSpan& c = columns[j];
      const uint64_t limit = uint64_t{r.total} * c.total * 255 + 128;
      for (uint32_t ch = 0; ch < channels; ++ch) {
        uint64_t sum = 0;
        for (uint32_t x = c.first; x <= c.last; ++x)
          sum += uint64_t{WeightAt(c, x)} * columnSums[size_t{x} * channels + ch];
        sum += 128;
        uint32_t value = limit <= UINT32_MAX
                             ? FastDivide(FastDivide(static_cast<uint32_t>(sum), columnDivisors[j]), rowDivisor)
                             : static_cast<uint32_t>(sum / (uint64_t{r.total} * c.total));
        outRow[size_t{j} * channels + ch] = static_cast<uint8_t>(value > 255 ? 255 : value);
      }
    }
  }
  free(memory);
  return 1;
}
