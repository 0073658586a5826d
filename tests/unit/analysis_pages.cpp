#include "analysis_pages.h"

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <iterator>
#include <vector>

#include "tiff_fixture.h"

namespace {

uint8_t* PixelAddress(PageBitmap* page, int32_t x, int32_t y) {
  const BitmapHeader* header = HeaderOf(page);
  uint8_t* row = RowOf(page, static_cast<uint32_t>(header->height - 1 - y));
  return row + static_cast<int64_t>(x) * header->bitCount / 8;
}

void SetPixel(PageBitmap* page, int32_t x, int32_t y, uint32_t value) {
  uint8_t* p = PixelAddress(page, x, y);
  switch (HeaderOf(page)->bitCount) {
    case 1:
      *p = static_cast<uint8_t>(value ? *p | (0x80 >> (x & 7)) : *p & ~(0x80 >> (x & 7)));
      break;
    case 4:
      *p = static_cast<uint8_t>(x & 1 ? (*p & 0xF0) | value : (*p & 0x0F) | value << 4);
      break;
    case 8:
      *p = static_cast<uint8_t>(value);
      break;
    default:
      p[0] = static_cast<uint8_t>(value);
      p[1] = static_cast<uint8_t>(value >> 8);
      p[2] = static_cast<uint8_t>(value >> 16);
  }
}

void Fill(PageBitmap* page, int32_t x, int32_t y, int32_t w, int32_t h, uint32_t value) {
  const BitmapHeader* header = HeaderOf(page);
  for (int32_t row = std::max(y, 0); row < y + h && row < header->height; ++row) {
    for (int32_t col = std::max(x, 0); col < x + w && col < header->width; ++col)
      SetPixel(page, col, row, value);
  }
}

}  // namespace

bool MakeWhitePage(PageBitmap* page, int32_t width, int32_t height, int32_t bitCount) {
  if (!CreatePageBitmap(nullptr, nullptr, page, width, height, bitCount, 1)) return false;
  if (bitCount != 24) {
    uint32_t entries = 1u << bitCount;
    uint8_t* table = ColourTableOf(page);
    for (uint32_t i = 0; i < entries; ++i) {
      uint8_t grey = static_cast<uint8_t>(i * 255 / (entries - 1));
      table[4 * i] = table[4 * i + 1] = table[4 * i + 2] = grey;
    }
    page->greyRamp = 1;
  }
  memset(page->pixels, 0xFF, page->blockSize - (page->pixels - page->block));
  return true;
}

void FillRect(PageBitmap* page, int32_t x, int32_t y, int32_t w, int32_t h, bool black) {
  Fill(page, x, y, w, h, black ? 0 : 0xFFFFFFFFu >> (32 - HeaderOf(page)->bitCount));
}

void FillColour(PageBitmap* page, int32_t x, int32_t y, int32_t w, int32_t h, uint8_t red, uint8_t green,
                uint8_t blue) {
  Fill(page, x, y, w, h, HeaderOf(page)->bitCount == 24 ? uint32_t{blue} | green << 8 | red << 16 : red);
}

bool ReadTestPage(const std::string& path, PageBitmap* page) {
  std::ifstream in(path, std::ios::binary);
  std::vector<uint8_t> bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  if (bytes.empty()) return false;
  PageInfo info;
  MessageLog log;
  int loaded = LoadFirstPage(bytes, &info, page, &log);
  ReleasePageInfo(&info);
  return loaded;
}

std::string FixturePath(const char* name) {
  // The build names the folder; MERVANE_FIXTURES points elsewhere by hand.
  const char* folder = getenv("MERVANE_FIXTURES");
  return std::string(folder && *folder ? folder : MERVANE_FIXTURE_DIR) + "/" + name;
}
