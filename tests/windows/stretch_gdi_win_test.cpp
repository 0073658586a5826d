// The engine's StretchCopy against the real thing: the same source drawn with
// StretchDIBits in COLORONCOLOR mode into a DIB section and read back with
// GetDIBits must give the same pixels, byte for byte.
#include <gtest/gtest.h>
#include <windows.h>

#include <cstring>
#include <vector>

#include "bitmap_fixtures.h"
#include "document/stretch_copy.h"

namespace {

// The GDI path the viewer used to take: DIB section from the target header,
// memory DC, colour-on-colour stretch, read back.
bool GdiStretch(const PageBitmap* source, int32_t width, int32_t height, std::vector<uint8_t>* rows,
                uint32_t* stride) {
  const BitmapHeader* in = HeaderOf(source);
  const uint32_t entries = ColourTableEntries(in);
  std::vector<uint8_t> info(sizeof(BitmapHeader) + 4 * entries);
  memcpy(info.data(), source->block, info.size());
  auto* header = reinterpret_cast<BitmapHeader*>(info.data());
  header->width = width;
  header->height = height;
  *stride = StrideFor(static_cast<uint32_t>(width), in->bitCount);
  rows->assign(size_t{*stride} * static_cast<uint32_t>(height), 0);

  HDC dc = CreateCompatibleDC(nullptr);
  if (!dc) return false;
  void* bits = nullptr;
  auto* bitmapInfo = reinterpret_cast<BITMAPINFO*>(info.data());
  HBITMAP section = CreateDIBSection(dc, bitmapInfo, DIB_RGB_COLORS, &bits, nullptr, 0);
  bool ok = section != nullptr;
  if (ok) {
    HGDIOBJ old = SelectObject(dc, section);
    SetStretchBltMode(dc, COLORONCOLOR);
    ok = StretchDIBits(dc, 0, 0, width, height, 0, 0, in->width, in->height, source->pixels,
                       reinterpret_cast<const BITMAPINFO*>(source->block), DIB_RGB_COLORS, SRCCOPY) != 0;
    GdiFlush();
    SelectObject(dc, old);
    ok = ok && GetDIBits(dc, section, 0, static_cast<UINT>(height), rows->data(), bitmapInfo,
                         DIB_RGB_COLORS) == height;
    DeleteObject(section);
  }
  DeleteDC(dc);
  return ok;
}

// Compares the picture bits of every row (padding excluded) and reports the
// first difference.
void ExpectSamePixels(const PageBitmap* ours, const std::vector<uint8_t>& gdi, uint32_t stride,
                      const char* label) {
  const BitmapHeader* h = HeaderOf(ours);
  ASSERT_EQ(ours->stride, stride) << label;
  const size_t bits = size_t(h->width) * h->bitCount;
  const size_t whole = bits / 8;
  const uint8_t mask = static_cast<uint8_t>(0xFF00 >> (bits % 8));
  for (int32_t r = 0; r < h->height; ++r) {
    const uint8_t* a = RowOf(ours, static_cast<uint32_t>(r));
    const uint8_t* b = gdi.data() + size_t{stride} * r;
    for (size_t k = 0; k < whole; ++k)
      ASSERT_EQ(a[k], b[k]) << label << ": stored row " << r << ", byte " << k;
    if (bits % 8) {
      ASSERT_EQ(a[whole] & mask, b[whole] & mask) << label << ": stored row " << r << ", last byte";
    }
  }
}

struct StretchCase {
  int32_t sourceWidth, sourceHeight, width, height;
};

void CheckAgainstGdi(const StretchCase& c, int32_t bitCount, uint32_t seed) {
  char label[96];
  snprintf(label, sizeof label, "%d bits, %dx%d to %dx%d", bitCount, c.sourceWidth, c.sourceHeight, c.width,
           c.height);
  PageBitmap source, ours;
  ASSERT_TRUE(fixtures::MakeNoiseBitmap(&source, bitCount, c.sourceWidth, c.sourceHeight, seed)) << label;
  ASSERT_TRUE(StretchCopy(&source, &ours, c.width, c.height)) << label;
  std::vector<uint8_t> gdi;
  uint32_t stride = 0;
  ASSERT_TRUE(GdiStretch(&source, c.width, c.height, &gdi, &stride)) << label;
  ExpectSamePixels(&ours, gdi, stride, label);
  ReleasePageBitmap(&source);
  ReleasePageBitmap(&ours);
}

TEST(StretchCopyAgainstGdi, ChosenSizesAtEveryBitCount) {
  const StretchCase cases[] = {
      {7, 5, 7, 5},        // unchanged
      {7, 5, 14, 10},      // exactly twice
      {7, 5, 13, 11},      // enlarged by odd ratios
      {14, 10, 7, 5},      // exactly half
      {13, 11, 7, 5},      // reduced by odd ratios
      {100, 37, 33, 91},   // narrower and taller
      {33, 91, 100, 37},   // wider and shorter
      {1, 1, 9, 5},        // one pixel spread out
      {9, 5, 1, 1},        // down to one pixel
      {41, 3, 40, 2},      // one less each way
      {40, 2, 41, 3},      // one more each way
      {250, 300, 17, 23},  // strong reduction
      {3, 2, 250, 200},    // strong enlargement
      {64, 64, 63, 65},
  };
  for (int32_t bits : {1, 4, 8, 24}) {
    uint32_t seed = 1;
    for (const StretchCase& c : cases) CheckAgainstGdi(c, bits, seed++);
  }
}

TEST(StretchCopyAgainstGdi, RandomSizes) {
  fixtures::Noise sizes(77);
  for (int i = 0; i < 120; ++i) {
    StretchCase c{};
    c.sourceWidth = 1 + static_cast<int32_t>(sizes.Next() % 90);
    c.sourceHeight = 1 + static_cast<int32_t>(sizes.Next() % 90);
    c.width = 1 + static_cast<int32_t>(sizes.Next() % 120);
    c.height = 1 + static_cast<int32_t>(sizes.Next() % 120);
    const int32_t bits[] = {1, 4, 8, 24};
    CheckAgainstGdi(c, bits[i % 4], 1000 + i);
  }
}

}  // namespace
