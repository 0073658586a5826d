#include "document/block_average.h"

#include <cstdlib>
#include <cstring>

#include "common/diagnostics.h"

namespace {

// Block starts: the source position nearest to target position i (single
// precision), kept n positions from the end.
void PlanStarts(uint32_t sourceLength, uint32_t targetLength, uint32_t n, uint32_t* starts) {
  const float step = static_cast<float>(sourceLength) / static_cast<float>(targetLength);
  for (uint32_t i = 0; i < targetLength; ++i) {
    auto start = static_cast<uint64_t>(step * static_cast<float>(i) + 0.5f);
    starts[i] = static_cast<uint32_t>(start < sourceLength - n ? start : sourceLength - n);
  }
}

struct BlockPlan {
  uint32_t n = 0;
  uint32_t sourceWidth = 0, sourceHeight = 0, width = 0, height = 0;
  uint32_t* rowStarts = nullptr;
  uint32_t* columnStarts = nullptr;
  uint32_t* columnSums = nullptr;  // per source column and channel, over a block's rows
  uint8_t* memory = nullptr;
};

int MakePlan(MessageLog* log, const PageBitmap* source, const PageBitmap* target, int32_t blockSize,
             uint32_t channels, BlockPlan* plan) {
  const BitmapHeader* in = HeaderOf(source);
  const BitmapHeader* out = HeaderOf(target);
  plan->sourceWidth = static_cast<uint32_t>(in->width);
  plan->sourceHeight = static_cast<uint32_t>(in->height);
  plan->width = static_cast<uint32_t>(out->width);
  plan->height = static_cast<uint32_t>(out->height);
  if (plan->width < 1 || plan->height < 1 || plan->width > plan->sourceWidth ||
      plan->height > plan->sourceHeight || blockSize < 1)
    return 0;
  uint32_t n = static_cast<uint32_t>(blockSize);
  if (n > plan->sourceWidth) n = plan->sourceWidth;
  if (n > plan->sourceHeight) n = plan->sourceHeight;
  plan->n = n;
  const size_t bytes = sizeof(uint32_t) * (plan->height + plan->width + size_t{plan->sourceWidth} * channels);
  plan->memory = static_cast<uint8_t*>(AllocateOrReport(log, bytes));
  if (!plan->memory) return 0;
  plan->rowStarts = reinterpret_cast<uint32_t*>(plan->memory);
  plan->columnStarts = plan->rowStarts + plan->height;
  plan->columnSums = plan->columnStarts + plan->width;
  PlanStarts(plan->sourceHeight, plan->height, n, plan->rowStarts);
  PlanStarts(plan->sourceWidth, plan->width, n, plan->columnStarts);
  return 1;
}

// Sums the column sums of each block into the target row, scaled by 1 / n^2
// in single precision and truncated.
void WriteBlocks(const BlockPlan& plan, uint32_t channels, uint8_t* outRow) {
  const float scale = 1.0f / static_cast<float>(plan.n * plan.n);
  for (uint32_t j = 0; j < plan.width; ++j) {
    const uint32_t* sums = plan.columnSums + size_t{plan.columnStarts[j]} * channels;
    for (uint32_t ch = 0; ch < channels; ++ch) {
      uint64_t sum = 0;
      for (uint32_t x = 0; x < plan.n; ++x) sum += sums[size_t{x} * channels + ch];
      auto value = static_cast<uint32_t>(static_cast<float>(sum) * scale);
      outRow[size_t{j} * channels + ch] = static_cast<uint8_t>(value > 255 ? 255 : value);
    }
  }
}

}  // namespace

int32_t BlockSizeFor(double minimumScale) {
  if (!(minimumScale > 0)) return 2;
  double n = 1.0 / minimumScale + 0.5;
  if (n > 0x7FFFFFFF) return 0x7FFFFFFF;
  auto size = static_cast<int32_t>(n);
  return size < 2 ? 2 : size;
}

int BlockAverage(MessageLog* log, const PageBitmap* source, PageBitmap* target, int32_t blockSize) {
  const uint32_t bitCount = HeaderOf(source)->bitCount;
  if ((bitCount != 8 && bitCount != 24) || HeaderOf(target)->bitCount != bitCount) return 0;
  const uint32_t channels = bitCount / 8;
  BlockPlan plan;
  if (!MakePlan(log, source, target, blockSize, channels, &plan)) return 0;
  const size_t samples = size_t{plan.sourceWidth} * channels;
  for (uint32_t i = 0; i < plan.height; ++i) {
    memset(plan.columnSums, 0, sizeof(uint32_t) * samples);
    for (uint32_t y = plan.rowStarts[i]; y < plan.rowStarts[i] + plan.n; ++y) {
      const uint8_t* in = RowOf(source, y);
      for (size_t k = 0; k < samples; ++k) plan.columnSums[k] += in[k];
    }
    WriteBlocks(plan, channels, RowOf(target, i));
  }
  free(plan.memory);
  return 1;
}

int PaletteBlockAverage(MessageLog* log, const PageBitmap* source, PageBitmap* target, int32_t blockSize) {
  const uint32_t bitCount = HeaderOf(source)->bitCount;
  const uint32_t targetBits = HeaderOf(target)->bitCount;
  if ((bitCount != 4 && bitCount != 8) || (targetBits != 8 && targetBits != 24)) return 0;
  const uint32_t channels = targetBits / 8;
  BlockPlan plan;
  if (!MakePlan(log, source, target, blockSize, channels, &plan)) return 0;
  const uint8_t* table = ColourTableOf(source);
  const uint32_t entries = ColourTableEntries(HeaderOf(source));
  const size_t samples = size_t{plan.sourceWidth} * channels;
  for (uint32_t i = 0; i < plan.height; ++i) {
    memset(plan.columnSums, 0, sizeof(uint32_t) * samples);
    for (uint32_t y = plan.rowStarts[i]; y < plan.rowStarts[i] + plan.n; ++y) {
      const uint8_t* in = RowOf(source, y);
      uint32_t* sums = plan.columnSums;
      for (uint32_t x = 0; x < plan.sourceWidth; ++x, sums += channels) {
        uint32_t index = bitCount == 8 ? in[x] : (x & 1) ? in[x >> 1] & 0x0F : in[x >> 1] >> 4;
        if (index >= entries) continue;  // a table cut short by its header: black
        const uint8_t* entry = table + 4 * index;
        for (uint32_t ch = 0; ch < channels; ++ch) sums[ch] += entry[ch];
      }
    }
    WriteBlocks(plan, channels, RowOf(target, i));
  }
  free(plan.memory);
  return 1;
}
