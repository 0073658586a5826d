#include "document/stretch_copy.h"

#include <cstring>

namespace {

// GDI walks the longer axis one position at a time with a Bresenham error term
// whose first step aims at pixel centres (3 * short - 2 * long). When the
// target is shorter, every source position is visited and the target advances
// on a positive error: columns are overwritten by each source pixel of a run
// (so the last one stays), while rows are drawn only for the first source row
// of a run and the rest are dropped.
void ShrinkPositions(int32_t sourceLength, int32_t targetLength, bool lastOfRun,
                     std::vector<int32_t>* positions) {
  int64_t err = 3 * int64_t{targetLength} - 2 * int64_t{sourceLength};
  const int64_t advance = 2 * int64_t{targetLength} - 2 * int64_t{sourceLength};
  const int64_t stay = 2 * int64_t{targetLength};
  int32_t t = 0;
  bool fresh = true;
  for (int32_t s = 0; s < sourceLength && t < targetLength; ++s) {
    if (fresh || lastOfRun) (*positions)[t] = s;
    fresh = false;
    if (err > 0) {
      ++t;
      fresh = true;
      err += advance;
    } else {
      err += stay;
    }
  }
}

// When the target is at least as long, every target position is visited and
// the source advances on a positive error, repeating source pixels.
void EnlargePositions(int32_t sourceLength, int32_t targetLength, std::vector<int32_t>* positions) {
  int64_t err = 3 * int64_t{sourceLength} - 2 * int64_t{targetLength};
  const int64_t advance = 2 * int64_t{sourceLength} - 2 * int64_t{targetLength};
  const int64_t stay = 2 * int64_t{sourceLength};
  int32_t s = 0;
  for (int32_t t = 0; t < targetLength; ++t) {
    (*positions)[t] = s < sourceLength ? s : sourceLength - 1;
    if (err > 0) {
      ++s;
      err += advance;
    } else {
      err += stay;
    }
  }
}

void CopyRow1(const uint8_t* in, uint8_t* out, const std::vector<int32_t>& columns) {
  const size_t width = columns.size();
  for (size_t x = 0; x < width; x += 8) {
    uint8_t byte = 0;
    const size_t end = width - x < 8 ? width - x : 8;
    for (size_t k = 0; k < end; ++k) {
      int32_t c = columns[x + k];
      byte |= static_cast<uint8_t>(((in[c >> 3] >> (7 - (c & 7))) & 1) << (7 - k));
    }
    out[x >> 3] = byte;
  }
}

void CopyRow4(const uint8_t* in, uint8_t* out, const std::vector<int32_t>& columns) {
  const size_t width = columns.size();
  for (size_t x = 0; x < width; ++x) {
    int32_t c = columns[x];
    uint8_t nibble = (c & 1) ? in[c >> 1] & 0x0F : in[c >> 1] >> 4;
    if (x & 1)
      out[x >> 1] = static_cast<uint8_t>(out[x >> 1] | nibble);
    else
      out[x >> 1] = static_cast<uint8_t>(nibble << 4);
  }
}

void CopyRow8(const uint8_t* in, uint8_t* out, const std::vector<int32_t>& columns) {
  const size_t width = columns.size();
  for (size_t x = 0; x < width; ++x) out[x] = in[columns[x]];
}

void CopyRow24(const uint8_t* in, uint8_t* out, const std::vector<int32_t>& columns) {
  const size_t width = columns.size();
  for (size_t x = 0; x < width; ++x) {
    const uint8_t* p = in + 3 * size_t(columns[x]);
    out[3 * x] = p[0];
    out[3 * x + 1] = p[1];
    out[3 * x + 2] = p[2];
  }
}

}  // namespace

void StretchPositions(int32_t sourceLength, int32_t targetLength, StretchAxis axis,
                      std::vector<int32_t>* positions) {
  positions->assign(targetLength > 0 ? size_t(targetLength) : 0, 0);
  if (sourceLength < 1 || targetLength < 1) return;
  if (sourceLength > targetLength)
    ShrinkPositions(sourceLength, targetLength, axis == StretchAxis::kColumns, positions);
  else
    EnlargePositions(sourceLength, targetLength, positions);
}

int StretchCopy(const PageBitmap* source, PageBitmap* target, int32_t width, int32_t height) {
  if (!source || !source->block || !target || target == source) return 0;
  const BitmapHeader* in = HeaderOf(source);
  const int32_t sourceWidth = in->width;
  const int32_t sourceHeight = in->height;
  const uint32_t bitCount = in->bitCount;
  if (sourceWidth < 1 || sourceHeight < 1) return 0;
  if (!CreatePageBitmap(nullptr, nullptr, target, width, height, bitCount, 1)) return 0;

  BitmapHeader* out = HeaderOf(target);
  out->xPixelsPerMetre = in->xPixelsPerMetre;
  out->yPixelsPerMetre = in->yPixelsPerMetre;
  out->coloursImportant = in->coloursImportant;
  uint32_t entries = ColourTableEntries(in);
  uint32_t room = ColourTableEntries(out);
  memcpy(ColourTableOf(target), ColourTableOf(source), 4 * size_t(entries < room ? entries : room));
  target->greyRamp = source->greyRamp;
  target->twoBit = source->twoBit;

  std::vector<int32_t> columns, rows;
  StretchPositions(sourceWidth, width, StretchAxis::kColumns, &columns);
  StretchPositions(sourceHeight, height, StretchAxis::kRows, &rows);
  void (*copyRow)(const uint8_t*, uint8_t*, const std::vector<int32_t>&) = bitCount == 1   ? CopyRow1
                                                                           : bitCount == 4 ? CopyRow4
                                                                           : bitCount == 8 ? CopyRow8
                                                                                           : CopyRow24;
  const size_t rowBytes = StrideFor(static_cast<uint32_t>(width), bitCount);
  const size_t usedBytes = (size_t(width) * bitCount + 7) / 8;
  const uint8_t lastByteMask = static_cast<uint8_t>(0xFF00 >> ((size_t(width) * bitCount - 1) % 8 + 1));
  const bool sameWidth = width == sourceWidth;

  // Rows are chosen from the top of the picture, and the stored rows run
  // bottom-up; a repeated source row is copied from the row just built.
  for (int32_t y = 0; y < height; ++y) {
    uint8_t* outRow = RowOf(target, static_cast<uint32_t>(height - 1 - y));
    if (y > 0 && rows[y] == rows[y - 1]) {
      memcpy(outRow, outRow + target->stride, rowBytes);
      continue;
    }
    const uint8_t* inRow = RowOf(source, static_cast<uint32_t>(sourceHeight - 1 - rows[y]));
    if (sameWidth) {
      // Only the picture's own bits: whatever the source holds in its row
      // padding stays out of the result.
      memcpy(outRow, inRow, usedBytes);
      outRow[usedBytes - 1] &= lastByteMask;
    } else
      copyRow(inRow, outRow, columns);
  }
  return 1;
}
