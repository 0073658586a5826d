// Random bitmaps, and pages that libtiff decodes from the input, through the
// barcode scan with the ink measure and through mark reading.
#include <tiffio.h>

#include <cstddef>
#include <cstdint>
#include <cstring>
#include <vector>

#include "analysis/barcode_reader.h"
#include "analysis/omr.h"
#include "document/tiff_adapter.h"
#include "raster/page_bitmap.h"

namespace {

struct Input {
  const uint8_t* data;
  size_t size;
  size_t at = 0;
  uint8_t Byte() { return at < size ? data[at++] : 0; }
  int32_t Int() {
    uint32_t v = 0;
    for (int i = 0; i < 4; ++i) v = v << 8 | Byte();
    return static_cast<int32_t>(v);
  }
  // Mostly small numbers near the page, sometimes anything at all.
  int32_t Coordinate() { return Byte() & 1 ? Int() : static_cast<int32_t>(Byte() | (Byte() & 3) << 8) - 100; }
};

bool RandomPage(Input* in, PageBitmap* page) {
  const int32_t bitCounts[4] = {1, 4, 8, 24};
  int32_t width = 1 + in->Byte() + (in->Byte() & 1) * 64;
  int32_t height = 1 + in->Byte() + (in->Byte() & 1) * 64;
  int32_t bits = bitCounts[in->Byte() & 3];
  if (!CreatePageBitmap(nullptr, nullptr, page, width, height, bits, 1)) return false;
  uint8_t* table = ColourTableOf(page);
  for (uint32_t i = 0; bits != 24 && i < (4u << bits); ++i) table[i] = in->Byte();
  if (in->Byte() & 1) HeaderOf(page)->coloursUsed = in->Byte();
  // The rest of the input repeats over the pixels, so that short inputs still
  // draw long runs and repeated patterns.
  size_t pixelBytes = page->blockSize - static_cast<size_t>(page->pixels - page->block);
  size_t rest = in->size - in->at;
  for (size_t i = 0; rest && i < pixelBytes; ++i) page->pixels[i] = in->data[in->at + i % rest];
  return true;
}

bool DecodedPage(const uint8_t* data, size_t size, PageBitmap* page) {
  TIFF* tiff = OpenTiffFromMemory(data, static_cast<uint32_t>(size));
  if (!tiff) return false;
  uint32_t width = 0, height = 0;
  uint16_t bits = 1, samples = 1;
  TIFFGetField(tiff, TIFFTAG_IMAGEWIDTH, &width);
  TIFFGetField(tiff, TIFFTAG_IMAGELENGTH, &height);
  TIFFGetFieldDefaulted(tiff, TIFFTAG_BITSPERSAMPLE, &bits);
  TIFFGetFieldDefaulted(tiff, TIFFTAG_SAMPLESPERPIXEL, &samples);
  bool ok = width && height && uint64_t{width} * height <= (1u << 18);
  std::vector<uint32_t> raster;
  if (ok) {
    raster.resize(size_t{width} * height);
    ok = TIFFReadRGBAImage(tiff, width, height, raster.data(), 0);
  }
  TIFFClose(tiff);
  int32_t bitCount = samples >= 3 ? 24 : bits == 1 ? 1 : 8;
  if (!ok || !CreatePageBitmap(nullptr, nullptr, page, static_cast<int32_t>(width), static_cast<int32_t>(height),
                               bitCount, 1)) {
    return false;
  }
  if (bitCount == 1) memset(ColourTableOf(page) + 4, 255, 3);
  for (uint32_t i = 0; bitCount == 8 && i < 256; ++i) memset(ColourTableOf(page) + 4 * i, static_cast<int>(i), 3);
  for (uint32_t y = 0; y < height; ++y) {
    uint8_t* row = RowOf(page, y);  // both bottom-up
    for (uint32_t x = 0; x < width; ++x) {
      uint32_t rgba = raster[size_t{y} * width + x];
      if (bitCount == 1) {
        if (TIFFGetR(rgba) >= 128) row[x >> 3] |= static_cast<uint8_t>(0x80 >> (x & 7));
      } else if (bitCount == 8) {
        row[x] = static_cast<uint8_t>(TIFFGetR(rgba));
      } else {
        row[3 * x] = static_cast<uint8_t>(TIFFGetB(rgba));
        row[3 * x + 1] = static_cast<uint8_t>(TIFFGetG(rgba));
        row[3 * x + 2] = static_cast<uint8_t>(TIFFGetR(rgba));
      }
    }
  }
  return true;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size > 0xFFFFFFFFu) return 0;
  InstallSilentHandlers();
  PageBitmap page;
  Input in{data, size};
  bool tiff = size >= 4 && (!memcmp(data, "II*", 4) || !memcmp(data, "MM\0*", 4));
  if (!(tiff ? DecodedPage(data, size, &page) : RandomPage(&in, &page))) return 0;
  // Parameters come from the input's head; for a TIFF that is its header.
  in.at = 0;
  MessageLog log;
  BarcodeResults results;
  DetectBarcodes(&results, &page, in.Coordinate(), in.Coordinate(), in.Coordinate(), in.Coordinate(), &log);
  while (!GetBarcode(&results).empty()) {
  }
  ForgetInkFraction(&results);
  double ink = DetectBlankPage(&results, &page, &log);
  if (!(ink >= 0 && ink <= 1)) __builtin_trap();

  OmrCalibration calibration;
  OMRInit(&calibration, &page, in.Coordinate(), in.Coordinate(), in.Coordinate(), in.Coordinate(), &log);
  for (int box = 0; box < 4; ++box) {
    int32_t x = in.Coordinate(), y = in.Coordinate();
    double fraction = OMRCheck(&calibration, &page, x, y, in.Byte(), in.Byte());
    if (!(fraction >= 0 && fraction <= 1)) __builtin_trap();
  }
  ReleasePageBitmap(&page);
  return 0;
}
