#include "document/area_average.h"

#include <cstdlib>
#include <cstring>

#include "common/diagnostics.h"

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
      s.total = to > from ? static_cast<uint32_t>(to - from) : 1;
      if (s.total > 16) s.total = 16;
      s.firstWeight = s.total;
      s.lastWeight = 0;
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

// Column spans flattened for the inner loop: per target column its first
// source column, count and reciprocal total; the weights one after another.
struct ColumnPlan {
  uint32_t* starts;
  uint32_t* counts;
  double* inverseTotals;
  uint16_t* weights;
};

// Weighted sums down each source sample, over the rows of one target row.
template <typename Sum>
void SumRows(const PageBitmap* source, const AreaSpan& r, size_t samples, Sum* sums) {
  bool firstRow = true;
  for (uint32_t y = r.first; y <= r.last; ++y) {
    const auto weight = static_cast<Sum>(WeightAt(r, y));
    if (!weight) continue;
    const uint8_t* in = RowOf(source, y);
    if (firstRow) {
      for (size_t k = 0; k < samples; ++k) sums[k] = static_cast<Sum>(weight * in[k]);
      firstRow = false;
    } else {
      for (size_t k = 0; k < samples; ++k) sums[k] = static_cast<Sum>(sums[k] + weight * in[k]);
    }
  }
  if (firstRow) memset(sums, 0, sizeof(Sum) * samples);
}

// Target value = (sum + 128) / (row total x column total), integer division.
// Computed as (sum + 128.5) times the reciprocal in double precision: the
// half keeps an exact quotient clear of rounding, and the error of the
// product stays far below half of 1 / (row total x column total).
template <typename Sum, uint32_t kChannels>
void WriteRow(const ColumnPlan& plan, uint32_t width, const Sum* sums, double inverseRowTotal, uint8_t* out) {
  const uint16_t* weights = plan.weights;
  for (uint32_t j = 0; j < width; ++j) {
    const Sum* at = sums + size_t{plan.starts[j]} * kChannels;
    uint64_t acc[kChannels] = {};
    for (uint32_t k = 0; k < plan.counts[j]; ++k, at += kChannels)
      for (uint32_t c = 0; c < kChannels; ++c) acc[c] += uint64_t{weights[k]} * at[c];
    weights += plan.counts[j];
    const double inverse = plan.inverseTotals[j] * inverseRowTotal;
    for (uint32_t c = 0; c < kChannels; ++c) {
      auto value = static_cast<uint32_t>((static_cast<double>(acc[c]) + 128.5) * inverse);
      out[size_t{j} * kChannels + c] = static_cast<uint8_t>(value > 255 ? 255 : value);
    }
  }
}

template <typename Sum, uint32_t kChannels>
void AverageRows(const PageBitmap* source, PageBitmap* target, const AreaSpan* rows, const ColumnPlan& plan,
                 Sum* sums) {
  const BitmapHeader* out = HeaderOf(target);
  const size_t samples = size_t(HeaderOf(source)->width) * kChannels;
  for (uint32_t i = 0; i < static_cast<uint32_t>(out->height); ++i) {
    SumRows(source, rows[i], samples, sums);
    WriteRow<Sum, kChannels>(plan, static_cast<uint32_t>(out->width), sums, 1.0 / rows[i].total,
                             RowOf(target, i));
  }
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
  if ((in->bitCount != 8 && in->bitCount != 24) || out->bitCount != in->bitCount || width < 3 || height < 3 ||
      width > sourceWidth || height > sourceHeight)
    return 0;

  AreaSpan* spans =
      static_cast<AreaSpan*>(AllocateOrReport(log, sizeof(AreaSpan) * (size_t{width} + height)));
  if (!spans) return 0;
  AreaSpan* columns = spans;
  AreaSpan* rows = spans + width;
  PlanSpans(sourceWidth, width, columns);
  PlanSpans(sourceHeight, height, rows);
  uint64_t weightCount = 0;
  uint32_t tallest = 0;
  for (uint32_t j = 0; j < width; ++j) weightCount += columns[j].last - columns[j].first + 1;
  for (uint32_t i = 0; i < height; ++i) tallest = rows[i].total > tallest ? rows[i].total : tallest;
  // Vertical sums reach 255 x the row total: 16 bits hold them for up to
  // 257 sixteenths (about 16 source rows per target row).
  const bool narrow = uint64_t{tallest} * 255 <= 0xFFFF;
  const size_t samples = size_t{sourceWidth} * channels;
  const size_t bytes = (sizeof(double) + 2 * sizeof(uint32_t)) * width + (narrow ? 2 : 4) * samples +
                       sizeof(uint16_t) * weightCount;
  auto* memory = static_cast<uint8_t*>(AllocateOrReport(log, bytes));
  if (!memory) {
    free(spans);
    return 0;
  }
  ColumnPlan plan;
  plan.inverseTotals = reinterpret_cast<double*>(memory);
  plan.starts = reinterpret_cast<uint32_t*>(plan.inverseTotals + width);
  plan.counts = plan.starts + width;
  void* sums = plan.counts + width;
  plan.weights = reinterpret_cast<uint16_t*>(static_cast<uint8_t*>(sums) + (narrow ? 2 : 4) * samples);
  uint16_t* weight = plan.weights;
  for (uint32_t j = 0; j < width; ++j) {
    const AreaSpan& c = columns[j];
    plan.starts[j] = c.first;
    plan.counts[j] = c.last - c.first + 1;
    plan.inverseTotals[j] = 1.0 / c.total;
    for (uint32_t x = c.first; x <= c.last; ++x) *weight++ = static_cast<uint16_t>(WeightAt(c, x));
  }

  if (channels == 3) {
    if (narrow)
      AverageRows<uint16_t, 3>(source, target, rows, plan, static_cast<uint16_t*>(sums));
    else
      AverageRows<uint32_t, 3>(source, target, rows, plan, static_cast<uint32_t*>(sums));
  } else {
    if (narrow)
      AverageRows<uint16_t, 1>(source, target, rows, plan, static_cast<uint16_t*>(sums));
    else
      AverageRows<uint32_t, 1>(source, target, rows, plan, static_cast<uint32_t*>(sums));
  }
  free(memory);
  free(spans);
  return 1;
}
