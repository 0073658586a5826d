#include "document/bitmap_ops.h"

#include <algorithm>
#include <cstdlib>
#include <cstring>

#include "common/diagnostics.h"
#include "document/sample_placement.h"

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

// Transposes an 8 x 8 bit matrix held as 8 bytes, most significant bit
// leftmost: bit (7 - j) of out[i] is bit (7 - i) of in[j].
uint64_t TransposeBits8(uint64_t x) {
  uint64_t t;
  t = (x ^ (x >> 7)) & 0x00AA00AA00AA00AAull;
  x = x ^ t ^ (t << 7);
  t = (x ^ (x >> 14)) & 0x0000CCCC0000CCCCull;
  x = x ^ t ^ (t << 14);
  t = (x ^ (x >> 28)) & 0x00000000F0F0F0F0ull;
  return x ^ t ^ (t << 28);
}

// Eight source rows by eight columns at a time: a page of faxes turned on its
// side costs about as much as copying it.
void TransposeBilevel(const PageBitmap* source, PageBitmap* result) {
  uint32_t width = WidthOf(source), height = HeightOf(source);
  uint32_t columnBytes = (width + 7) / 8;
  for (uint32_t y0 = 0; y0 < height; y0 += 8) {
    for (uint32_t cb = 0; cb < columnBytes; ++cb) {
      uint64_t block = 0;  // source row y0 + i in byte 7 - i
      for (uint32_t i = 0; i < 8 && y0 + i < height; ++i)
        block |= uint64_t{RowOf(source, y0 + i)[cb]} << (56 - 8 * i);
      if (block == 0) continue;  // the result starts out zero
      uint64_t turned = TransposeBits8(block);
      for (uint32_t k = 0; k < 8 && cb * 8 + k < width; ++k) {
        RowOf(result, cb * 8 + k)[y0 / 8] = static_cast<uint8_t>(turned >> (56 - 8 * k));
      }
    }
  }
}

void TransposeNibbles(const PageBitmap* source, PageBitmap* result) {
  uint32_t width = WidthOf(source), height = HeightOf(source);
  for (uint32_t y = 0; y < height; ++y) {
    const uint8_t* row = RowOf(source, y);
    for (uint32_t x = 0; x < width; ++x) {
      uint32_t v = x & 1 ? row[x / 2] & 0x0F : row[x / 2] >> 4;
      RowOf(result, x)[y / 2] |= static_cast<uint8_t>(y & 1 ? v : v << 4);
    }
  }
}

// In square tiles, so that both the rows read and the rows written stay in cache.
void TransposeBytes(const PageBitmap* source, PageBitmap* result, uint32_t bytesPerPixel) {
  constexpr uint32_t kTile = 64;
  uint32_t width = WidthOf(source), height = HeightOf(source);
  for (uint32_t y0 = 0; y0 < height; y0 += kTile) {
    for (uint32_t x0 = 0; x0 < width; x0 += kTile) {
      for (uint32_t x = x0; x < x0 + kTile && x < width; ++x) {
        uint8_t* out = RowOf(result, x);
        for (uint32_t y = y0; y < y0 + kTile && y < height; ++y) {
          memcpy(out + y * bytesPerPixel, RowOf(source, y) + x * bytesPerPixel, bytesPerPixel);
        }
      }
    }
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
    InvertBytes(bitmap->pixels, uint64_t{bitmap->stride} * HeightOf(bitmap));
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
      case 1:
        MirrorBitRow(row, width, scratch);
        break;
      case 4:
        MirrorNibbleRow(row, width);
        break;
      case 8:
        MirrorByteRow(row, width);
        break;
      default:
        MirrorTripleRow(row, width);
        break;
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
  // Zeroed: padding stays zero so that saved bitmaps are reproducible.
  auto* block = static_cast<uint8_t*>(AllocateZeroedOrReport(log, headerSize + pixelBytes));
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
  switch (bits) {
    case 1:
      TransposeBilevel(bitmap, &result);
      break;
    case 4:
      TransposeNibbles(bitmap, &result);
      break;
    default:
      TransposeBytes(bitmap, &result, bits / 8);
      break;
  }
  free(bitmap->block);
  *bitmap = result;
  return 1;
}

// Each turn is ordered so that the step that may fail for want of memory
// comes first, or can be undone by a step that cannot fail.
int TurnBitmap(PageBitmap* bitmap, int32_t quarters, MessageLog* log) {
  switch (((quarters % 4) + 4) % 4) {
    case 1:  // a mirrored picture transposed is the picture turned clockwise
      MirrorRows(bitmap);
      if (Transpose(bitmap, log)) return 1;
      MirrorRows(bitmap);
      return 0;
    case 2:
      if (!ReverseRowOrder(bitmap, log)) return 0;
      MirrorRows(bitmap);
      return 1;
    case 3:
      if (!Transpose(bitmap, log)) return 0;
      MirrorRows(bitmap);
      return 1;
    default:
      return 1;
  }
}
