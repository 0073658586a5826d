// Random bitmaps, and pages that the page loader decodes from the input,
// through the barcode scan with the ink measure and through mark reading.
#include <cstddef>
#include <cstdint>
#include <cstring>

#include "analysis/barcode_reader.h"
#include "analysis/omr.h"
#include "document/page_bitmap.h"
#include "document/page_directory.h"
#include "document/page_loader.h"
#include "document/tiff_adapter.h"

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
  int32_t width = 1 + in->Byte() % 128;
  int32_t height = 1 + in->Byte() % 128;
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

// The input as a document, its first page loaded as the viewer loads it; a
// memory limit keeps the pages small enough for many runs.
bool DecodedPage(const uint8_t* data, size_t size, PageBitmap* page) {
  Document document;
  MessageLog log;
  PointAtMemory(&document, data, static_cast<uint32_t>(size));
  if (!ReadPageDirectory(&document, &log)) return false;
  NumberPages(&document, &log);
  int index = PageToIfd(&document, 0);
  if (index < 0) return false;
  PageLoadOptions options;
  options.memoryLimitMb = 1;
  PageInfo info;
  int loaded = LoadPage(&document, index, &options, &info, page, &log);
  ReleasePageInfo(&info);
  // Large pages only repeat what small ones show, at a hundred times the cost.
  if (loaded && int64_t{HeaderOf(page)->width} * HeaderOf(page)->height > (1 << 16)) {
    ReleasePageBitmap(page);
    return false;
  }
  return loaded;
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
