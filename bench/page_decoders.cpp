#include "page_decoders.h"

#include <tiffio.h>

#include <cstring>

#include "document/tiff_adapter.h"

bool DecodeFloor(const A4Page& page, std::vector<uint8_t>* buffer, bool rgb) {
  TIFF* tif = OpenTiffFromMemory(page.bytes.data(), static_cast<uint32_t>(page.bytes.size()));
  if (!tif) return false;
  if (rgb) TIFFSetField(tif, TIFFTAG_JPEGCOLORMODE, JPEGCOLORMODE_RGB);
  const bool tiled = TIFFIsTiled(tif);
  const uint32_t chunks = tiled ? TIFFNumberOfTiles(tif) : TIFFNumberOfStrips(tif);
  const tmsize_t chunkSize = tiled ? TIFFTileSize(tif) : TIFFStripSize(tif);
  if (buffer->size() < size_t(chunkSize) * chunks) buffer->resize(size_t(chunkSize) * chunks);
  bool ok = true;
  for (uint32_t c = 0; c < chunks && ok; ++c) {
    uint8_t* at = buffer->data() + size_t(chunkSize) * c;
    ok = (tiled ? TIFFReadEncodedTile(tif, c, at, chunkSize) : TIFFReadEncodedStrip(tif, c, at, chunkSize)) >=
         0;
  }
  TIFFClose(tif);
  return ok;
}

bool DecodeRgba(const A4Page& page, std::vector<uint32_t>* raster) {
  TIFF* tif = OpenTiffFromMemory(page.bytes.data(), static_cast<uint32_t>(page.bytes.size()));
  if (!tif) return false;
  raster->resize(size_t{page.width} * page.height);
  bool ok = TIFFReadRGBAImage(tif, page.width, page.height, raster->data(), 0) != 0;
  TIFFClose(tif);
  return ok;
}

uint64_t LargestStrip(const A4Page& page) {
  TIFF* tif = OpenTiffFromMemory(page.bytes.data(), static_cast<uint32_t>(page.bytes.size()));
  if (!tif) return 0;
  uint64_t size = static_cast<uint64_t>(TIFFIsTiled(tif) ? TIFFTileSize(tif) : TIFFStripSize(tif));
  TIFFClose(tif);
  return size;
}

bool BilevelBitmap(const A4Page& page, PageBitmap* bitmap) {
  std::vector<uint8_t> rows;
  if (!DecodeFloor(page, &rows)) return false;
  if (!CreatePageBitmap(nullptr, nullptr, bitmap, int32_t(page.width), int32_t(page.height), 1, 1))
    return false;
  uint8_t* table = ColourTableOf(bitmap);
  memset(table + 4, 255, 3);
  bitmap->greyRamp = 1;
  // Min-is-white samples: 1 is ink, which the viewer's table makes entry 0.
  const size_t rowBytes = (page.width + 7) / 8;
  for (uint32_t y = 0; y < page.height; ++y) {
    uint8_t* out = RowOf(bitmap, page.height - 1 - y);
    const uint8_t* in = rows.data() + rowBytes * y;
    for (size_t k = 0; k < rowBytes; ++k) out[k] = static_cast<uint8_t>(~in[k]);
  }
  return true;
}

bool ColourBitmap(const A4Page& page, PageBitmap* bitmap) {
  std::vector<uint32_t> raster;
  if (!DecodeRgba(page, &raster)) return false;
  if (!CreatePageBitmap(nullptr, nullptr, bitmap, int32_t(page.width), int32_t(page.height), 24, 1))
    return false;
  // The RGBA raster is bottom-up already, as the bitmap's rows are.
  for (uint32_t y = 0; y < page.height; ++y) {
    uint8_t* out = RowOf(bitmap, y);
    const uint32_t* in = raster.data() + size_t{page.width} * y;
    for (uint32_t x = 0; x < page.width; ++x) {
      out[3 * x] = static_cast<uint8_t>(TIFFGetB(in[x]));
      out[3 * x + 1] = static_cast<uint8_t>(TIFFGetG(in[x]));
      out[3 * x + 2] = static_cast<uint8_t>(TIFFGetR(in[x]));
    }
  }
  return true;
}
