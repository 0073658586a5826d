#include "raster/bitmap_ops.h"

#include <algorithm>
#include <cstdlib>
#include <cstring>

#include "common/diagnostics.h"

namespace {

uint32_t WidthOf(const PageBitmap* bitmap) { return static_cast<uint32_t>(HeaderOf(bitmap)->width); }
uint32_t HeightOf(const PageBitmap* bitmap) { return static_cast<uint32_t>(HeaderOf(bitmap)->height); }
uint32_t BitCountOf(const PageBitmap* bitmap) { return HeaderOf(bitmap)->bitCount; }

// Bit-reversal of a byte, for mirroring 1-bit rows a byte at a time.
uint8_t ReverseBits(uint8_t b) {
  b = static_cast<uint8_t>((b & 0xF0) >> 4 | (b & 0x0F) << 4);
  b = static_cast<uint8_t>((b & 0xCC) >> 2 | (b & 0x33) << 2);
  return static_cast<uint8_t>((b & 0xAA) >> 1 | (b & 0x55) << 1);
}

void MirrorBitRow(uint8_t* row, uint32_t width, uint8_t* scratch) {
  uint32_t bytes = (width + 7) / 8;
  uint32_t pad = bytes * 8 - width;  // unused bits at the end of the last byte
  for (uint32_t i = 0; i < bytes; ++i) scratch[i] = ReverseBits(row[bytes - 1 - i]);
  if (pad == 0) {
    memcpy(row, scratch, bytes);
    return;
  }
  // The reversed row starts with the pad bits; shift them out to the left.
  for (uint32_t i = 0; i < bytes; ++i) {
    uint32_t next = i + 1 < bytes ? scratch[i + 1] : 0;
    row[i] = static_cast<uint8_t>(scratch[i] << pad | next >> (8 - pad));
  }
}

void MirrorNibbleRow(uint8_t* row, uint32_t width) {
  auto get = [row](uint32_t x) { return x & 1 ? row[x / 2] & 0x0F : row[x / 2] >> 4; };
  auto put = [row](uint32_t x, uint32_t v) {
    row[x / 2] = static_cast<uint8_t>(x & 1 ? (row[x / 2] & 0xF0) | v : (row[x / 2] & 0x0F) | v << 4);
  };
  for (uint32_t a = 0, b = width - 1; a < b; ++a, --b) {
    uint32_t va = get(a), vb = get(b);
    put(a, vb);
    put(b, va);
  }
}

void MirrorByteRow(uint8_t* row, uint32_t width) { std::reverse(row, row + width); }

void MirrorTripleRow(uint8_t* row, uint32_t width) {
  for (uint32_t a = 0, b = width - 1; a < b; ++a, --b) {
    uint8_t* p = row + 3 * a;
    uint8_t* q = row + 3 * b;
    std::swap(p[0], q[0]);
    std::swap(p[1], q[1]);
    std::swap(p[2], q[2]);
  }
}

// Stored column `column` of the source written as one stored row of the result.
void CopyColumn(const PageBitmap* source, uint32_t column, uint8_t* out) {
  uint32_t height = HeightOf(source);
  switch (BitCountOf(source)) {
    case 1: {
      memset(out, 0, (height + 7) / 8);
      uint32_t byte = column / 8;
      uint8_t mask = static_cast<uint8_t>(0x80 >> (column & 7));
      for (uint32_t y = 0; y < height; ++y) {
        if (RowOf(source, y)[byte] & mask) out[y / 8] |= static_cast<uint8_t>(0x80 >> (y & 7));
      }
      break;
    }
    case 4: {
      memset(out, 0, (height + 1) / 2);
      uint32_t byte = column / 2;
      int shift = column & 1 ? 0 : 4;
      for (uint32_t y = 0; y < height; ++y) {
        uint32_t v = RowOf(source, y)[byte] >> shift & 0x0F;
        out[y / 2] |= static_cast<uint8_t>(y & 1 ? v : v << 4);
      }
      break;
    }
    case 8:
      for (uint32_t y = 0; y < height; ++y) out[y] = RowOf(source, y)[column];
      break;
    default:
      for (uint32_t y = 0; y < height; ++y) memcpy(out + 3 * y, RowOf(source, y) + 3 * column, 3);
      break;
  }
}

}  // namespace

void MakeGreyRamp(PageBitmap* bitmap, int32_t bitCount, int reversed) {
  uint32_t entries = bitCount == 1 ? 2 : bitCount == 4 ? 16 : bitCount == 8 ? 256 : 0;
  if (entries == 0) return;
  uint32_t step = 255 / (entries - 1);
  uint8_t* table = ColourTableOf(bitmap);
  for (uint32_t i = 0; i < entries; ++i) {
    uint8_t grey = static_cast<uint8_t>((reversed ? entries - 1 - i : i) * step);
    uint8_t* entry = table + 4 * i;
    entry[0] = entry[1] = entry[2] = grey;
    entry[3] = 0;
  }
}

void MakeTwoColourBlend(const PageBitmap* source, PageBitmap* target, int32_t bitCount) {
  uint32_t entries = bitCount == 4 ? 16 : bitCount == 8 ? 256 : 0;
  if (entries == 0) return;
  const uint8_t* c0 = ColourTableOf(source);
  const uint8_t* c1 = c0 + 4;
  uint8_t* table = ColourTableOf(target);
  for (uint32_t i = 0; i < entries; ++i) {
    for (int k = 0; k < 3; ++k) {
      double v = c0[k] + (c1[k] - c0[k]) * static_cast<double>(i) / (entries - 1) + 0.5;
      table[4 * i + k] = static_cast<uint8_t>(v);
    }
    table[4 * i + 3] = 0;
  }
}

void CopyColourTable(const PageBitmap* source, PageBitmap* target) {
  uint32_t from = ColourTableEntries(HeaderOf(source));
  uint32_t to = ColourTableEntries(HeaderOf(target));
  memcpy(ColourTableOf(target), ColourTableOf(source), 4 * size_t{std::min(from, to)});
  if (from == to && BitCountOf(source) == BitCountOf(target)) target->greyRamp = source->greyRamp;
}

void Negative(PageBitmap* bitmap) {
  uint32_t entries = ColourTableEntries(HeaderOf(bitmap));
  if (BitCountOf(bitmap) == 1 || entries == 0) {
    // Whole rows at a time: padding bytes are never shown.
    uint64_t bytes = uint64_t{bitmap->stride} * HeightOf(bitmap);
    uint8_t* p = bitmap->pixels;
    uint64_t i = 0;
    for (; i + 8 <= bytes; i += 8) {
      uint64_t word;
      memcpy(&word, p + i, 8);
      word = ~word;
      memcpy(p + i, &word, 8);
    }
    for (; i < bytes; ++i) p[i] = static_cast<uint8_t>(~p[i]);
    return;
  }
  uint8_t* table = ColourTableOf(bitmap);
  for (uint32_t i = 0; i < entries; ++i) {
    for (int k = 0; k < 3; ++k) table[4 * i + k] = static_cast<uint8_t>(~table[4 * i + k]);
  }
}

void MirrorRows(PageBitmap* bitmap) {
  uint32_t width = WidthOf(bitmap), height = HeightOf(bitmap), bits = BitCountOf(bitmap);
  if (width < 2) return;
  uint8_t* scratch = nullptr;
  if (bits == 1) {
    scratch = static_cast<uint8_t*>(malloc(bitmap->stride));
    if (!scratch) {
      // Fall back to one pixel at a time rather than leave the page unmirrored.
      for (uint32_t y = 0; y < height; ++y) {
        uint8_t* row = RowOf(bitmap, y);
        for (uint32_t a = 0, b = width - 1; a < b; ++a, --b) {
          bool pa = row[a / 8] & (0x80 >> (a & 7)), pb = row[b / 8] & (0x80 >> (b & 7));
          if (pa != pb) {
            row[a / 8] ^= static_cast<uint8_t>(0x80 >> (a & 7));
            row[b / 8] ^= static_cast<uint8_t>(0x80 >> (b & 7));
          }
        }
      }
      return;
    }
  }
  for (uint32_t y = 0; y < height; ++y) {
    uint8_t* row = RowOf(bitmap, y);
    switch (bits) {
      case 1: MirrorBitRow(row, width, scratch); break;
      case 4: MirrorNibbleRow(row, width); break;
      case 8: MirrorByteRow(row, width); break;
      default: MirrorTripleRow(row, width); break;
    }
  }
  free(scratch);
}

int ReverseRowOrder(PageBitmap* bitmap, MessageLog* log) {
  uint32_t height = HeightOf(bitmap);
  auto* scratch = static_cast<uint8_t*>(AllocateOrReport(log, bitmap->stride));
  if (!scratch) return 0;
  for (uint32_t a = 0, b = height - 1; height > 1 && a < b; ++a, --b) {
    memcpy(scratch, RowOf(bitmap, a), bitmap->stride);
    memcpy(RowOf(bitmap, a), RowOf(bitmap, b), bitmap->stride);
    memcpy(RowOf(bitmap, b), scratch, bitmap->stride);
  }
  free(scratch);
  return 1;
}

int Transpose(PageBitmap* bitmap, MessageLog* log) {
  const BitmapHeader* header = HeaderOf(bitmap);
  uint32_t width = WidthOf(bitmap), height = HeightOf(bitmap), bits = BitCountOf(bitmap);
  uint32_t stride = StrideFor(height, bits);
  uint64_t pixelBytes = uint64_t{stride} * width;
  if (pixelBytes > kMaximumPixelBytes) return 0;
  uint64_t headerSize = static_cast<uint64_t>(bitmap->pixels - bitmap->block);
  auto* block = static_cast<uint8_t*>(AllocateOrReport(log, headerSize + pixelBytes));
  if (!block) return 0;
  memcpy(block, bitmap->block, headerSize);
  auto* turned = reinterpret_cast<BitmapHeader*>(block);
  turned->width = header->height;
  turned->height = header->width;
  turned->xPixelsPerMetre = header->yPixelsPerMetre;
  turned->yPixelsPerMetre = header->xPixelsPerMetre;
  PageBitmap result = *bitmap;
  result.block = block;
  result.pixels = block + headerSize;
  result.stride = stride;
  result.blockSize = headerSize + pixelBytes;
  for (uint32_t r = 0; r < width; ++r) {
    uint8_t* out = RowOf(&result, r);
    CopyColumn(bitmap, r, out);
    // Padding stays zero so that saved bitmaps are reproducible.
    uint32_t used = static_cast<uint32_t>((uint64_t{height} * bits + 7) / 8);
    memset(out + used, 0, stride - used);
  }
  free(bitmap->block);
  *bitmap = result;
  return 1;
}
