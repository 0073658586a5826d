// The strategies that read whole strips or tiles: JPEG data, subsampled
// YCbCr and tiled pages.
#include <cstdlib>
#include <cstring>

#include "common/diagnostics.h"
#include "document/colour_convert.h"
#include "document/sample_placement.h"
#include "document/tiff_decoder.h"

namespace {

constexpr uint64_t kMaximumUnitBytes = 0x20000000;

struct Buffer {
  uint8_t* bytes = nullptr;
  ~Buffer() { free(bytes); }
};

uint32_t RowsPerStrip(const TiffDecoder* d) {
  uint32_t rows = 0;
  if (!TIFFGetField(d->tiff, TIFFTAG_ROWSPERSTRIP, &rows) || rows == 0 || rows > d->height) rows = d->height;
  return rows;
}

// Fills the rows of one block (h x v luma values, then Cb and Cr) that lie in
// the picture; the samples wait in the bitmap's own pixels for the conversion.
void PlaceBlock(const TiffDecoder* d, const uint8_t* block, uint32_t column, uint32_t row, uint32_t h,
                uint32_t v) {
  uint8_t cb = block[h * v], cr = block[h * v + 1];
  for (uint32_t iy = 0; iy < v; ++iy) {
    uint32_t y = row + iy;
    for (uint32_t ix = 0; ix < h; ++ix) {
      uint32_t x = column + ix;
      uint8_t luma = block[iy * h + ix];
      if (x >= d->width || y >= d->height) continue;
      uint8_t* p = OutputRow(d, y) + 3 * uint64_t{x};
      p[0] = luma;
      p[1] = cb;
      p[2] = cr;
    }
  }
}

void ConvertYCbCrRows(const TiffDecoder* d, uint32_t rows) {
  for (uint32_t y = 0; y < rows; ++y) {
    uint8_t* p = OutputRow(d, y);
    YCbCrRowToRgb(p, d->width, 3);
    for (uint32_t x = 0; x < d->width; ++x, p += 3) {
      uint8_t red = p[0];
      p[0] = p[2];
      p[2] = red;
    }
    if (d->invert) InvertBytes(OutputRow(d, y), 3 * uint64_t{d->width});
  }
}

int ReadTileRow(TiffDecoder* d, const uint8_t* tile, uint32_t tx, uint32_t rowInImage, uint32_t columns) {
  uint16_t p = d->effectivePhotometric, bits = d->bitsPerSample;
  uint8_t* out = OutputRow(d, rowInImage);
  if ((p == 0 || p == 1 || p == 3) && (bits == 1 || bits == 4 || bits == 8) && d->samplesPerPixel == 1) {
    uint64_t firstBit = uint64_t{tx} * bits;
    if (firstBit % 8 == 0) {
      PutBytes(d, out + firstBit / 8, tile, (uint64_t{columns} * bits + 7) / 8);
      return 1;
    }
    // Writers should keep tile widths at multiples of 16; some do not.
    uint8_t flip = d->invert ? 0xFF : 0;
    for (uint64_t i = 0; i < uint64_t{columns} * bits; ++i) {
      uint64_t to = firstBit + i;
      uint8_t bit = static_cast<uint8_t>(((tile[i / 8] ^ flip) >> (7 - i % 8)) & 1);
      uint8_t mask = static_cast<uint8_t>(0x80 >> (to % 8));
      out[to / 8] = static_cast<uint8_t>(bit ? out[to / 8] | mask : out[to / 8] & ~mask);
    }
    return 1;
  }
  if (p == 2 && bits == 8 && d->samplesPerPixel >= 3) {
    PutRgb(d, out + 3 * uint64_t{tx}, tile, columns, d->samplesPerPixel);
    return 1;
  }
  DecoderError(d, "This type of tiled image is not supported");
  return 0;
}

}  // namespace

int DecodeStrips(TiffDecoder* d) {
  uint32_t spp = d->samplesPerPixel;
  bool grey = d->effectivePhotometric == 0 || d->effectivePhotometric == 1;
  if (grey ? spp != 1 : spp < 3) {
    DecoderError(d, "Unsupported samples/pixel");
    return 0;
  }
  if (d->planar != 1 || d->bitsPerSample != 8) {
    DecoderError(d, "This type of image is not supported");
    return 0;
  }
  uint32_t rowsPerStrip = RowsPerStrip(d);
  uint32_t strips = TIFFNumberOfStrips(d->tiff);
  if (strips > d->height) strips = d->height;
  int64_t stripSize = TIFFStripSize64(d->tiff);
  int64_t rowBytes = TIFFScanlineSize64(d->tiff);
  if (stripSize > static_cast<int64_t>(kMaximumUnitBytes)) {
    DecoderError(d, "Strip size too large (%u)", static_cast<uint32_t>(stripSize));
    return 0;
  }
  if (rowBytes < int64_t{d->width} * spp) {
    DecoderError(d, "This type of image is not supported");
    return 0;
  }
  if (stripSize <= 0 || stripSize < int64_t{rowsPerStrip} * rowBytes) {
    DecoderError(d, "Problem with strip size calculation (%u<%u)", static_cast<uint32_t>(stripSize),
                 static_cast<uint32_t>(int64_t{rowsPerStrip} * rowBytes));
    return 0;
  }
  Buffer buffer;
  buffer.bytes = static_cast<uint8_t*>(AllocateOrReport(d->log, static_cast<size_t>(stripSize)));
  if (!buffer.bytes) return 0;
  for (uint32_t s = 0; s < strips; ++s) {
    memset(buffer.bytes, 0xAA, static_cast<size_t>(stripSize));
    tmsize_t got = TIFFReadEncodedStrip(d->tiff, s, buffer.bytes, stripSize);
    if (got <= 0 || got > stripSize) {
      DecoderError(d, "Error reading strip %d", static_cast<int>(s));
      return s > 0;
    }
    for (uint32_t r = 0; r < rowsPerStrip; ++r) {
      uint64_t row = uint64_t{s} * rowsPerStrip + r;
      if (row >= d->height) break;
      const uint8_t* from = buffer.bytes + r * rowBytes;
      uint8_t* out = OutputRow(d, static_cast<uint32_t>(row));
      if (spp == 1) {
        PutBytes(d, out, from, d->width);
      } else {
        PutRgb(d, out, from, d->width, spp);
      }
      ++d->rowsDecoded;
    }
  }
  return d->rowsDecoded > 0;
}

int DecodeSubsampledYCbCr(TiffDecoder* d, int wholeImageTile) {
  uint16_t h = 2, v = 2;
  if (!TIFFGetField(d->tiff, TIFFTAG_YCBCRSUBSAMPLING, &h, &v)) h = v = 2;
  if (h == 0) h = 1;
  auto validFactor = [](uint16_t f) { return f == 1 || f == 2 || f == 4; };
  if (!validFactor(h) || !validFactor(v)) {
    DecoderError(d, "Invalid YCBCRSUBSAMPLING values");
    return 0;
  }
  d->subsamplingH = h;
  d->subsamplingV = v;
  int64_t unitBytes = wholeImageTile ? TIFFTileSize64(d->tiff) : TIFFStripSize64(d->tiff);
  uint32_t units = wholeImageTile ? 1 : TIFFNumberOfStrips(d->tiff);
  if (units > d->height) units = d->height;
  uint32_t unitWidth = wholeImageTile ? d->tileWidth : d->width;
  if (unitBytes > static_cast<int64_t>(kMaximumUnitBytes)) {
    DecoderError(d, "Strip size too large (%u)", static_cast<uint32_t>(unitBytes));
    return 0;
  }
  // libtiff sizes nothing for subsampling it refuses.
  if (unitBytes <= 0) {
    DecoderError(d, "Invalid YCBCRSUBSAMPLING values");
    return 0;
  }
  Buffer buffer;
  buffer.bytes = static_cast<uint8_t*>(AllocateOrReport(d->log, static_cast<size_t>(unitBytes)));
  if (!buffer.bytes) return 0;
  uint32_t blockBytes = uint32_t{h} * v + 2;
  uint64_t blocksAcross = (uint64_t{unitWidth} + h - 1) / h;
  uint64_t blockRows = (uint64_t{d->height} + v - 1) / v;
  uint64_t n = 0;  // block number, continuous across units
  uint32_t unitsRead = 0;
  for (uint32_t u = 0; u < units; ++u) {
    memset(buffer.bytes, 0xAA, static_cast<size_t>(unitBytes));
    tmsize_t got = wholeImageTile ? TIFFReadEncodedTile(d->tiff, u, buffer.bytes, unitBytes)
                                  : TIFFReadEncodedStrip(d->tiff, u, buffer.bytes, unitBytes);
    if (got < 1 || got > unitBytes) {
      DecoderError(d, "Error reading strip %d", static_cast<int>(u));
      break;
    }
    ++unitsRead;
    if (got % blockBytes != 0) {
      DecoderError(d, "Strip should have a multiple of %d bytes, but doesn't (has %d)",
                   static_cast<int>(blockBytes), static_cast<int>(got));
    }
    uint64_t blocks = static_cast<uint64_t>(got) / blockBytes;
    for (uint64_t k = 0; k < blocks; ++k, ++n) {
      uint64_t blockRow = n / blocksAcross;
      if (blockRow >= blockRows) break;
      uint64_t column = (n % blocksAcross) * h;
      // Blocks past the right edge pad a tile; they hold nothing to show.
      if (column >= d->width) continue;
      PlaceBlock(d, buffer.bytes + k * blockBytes, static_cast<uint32_t>(column),
                 static_cast<uint32_t>(blockRow * v), h, v);
    }
  }
  if (unitsRead == 0) return 0;
  uint64_t rowsFilled = (n + blocksAcross - 1) / blocksAcross * v;
  if (rowsFilled > d->height) rowsFilled = d->height;
  ConvertYCbCrRows(d, static_cast<uint32_t>(rowsFilled));
  d->rowsDecoded = static_cast<uint32_t>(rowsFilled);
  return rowsFilled > 0;
}

int DecodeTiles(TiffDecoder* d) {
  if (!TIFFGetField(d->tiff, TIFFTAG_TILEWIDTH, &d->tileWidth)) {
    DecoderError(d, "Missing TILEWIDTH tag");
    return 0;
  }
  if (!TIFFGetField(d->tiff, TIFFTAG_TILELENGTH, &d->tileLength)) {
    DecoderError(d, "Missing TILELENGTH tag");
    return 0;
  }
  if (d->effectivePhotometric == 6 && d->planar == 1 && d->tileWidth >= d->width &&
      d->tileLength >= d->height) {
    return DecodeSubsampledYCbCr(d, 1);
  }
  int64_t tileBytes = TIFFTileSize64(d->tiff);
  if (tileBytes < 1 || tileBytes > static_cast<int64_t>(kMaximumUnitBytes) || d->tileWidth == 0 ||
      d->tileLength == 0) {
    DecoderError(d, "Tile too large");
    return 0;
  }
  if (d->planar == 2) {
    DecoderError(d, "This type of tiled image is not supported");
    return 0;
  }
  Buffer buffer;
  buffer.bytes = static_cast<uint8_t*>(AllocateOrReport(d->log, static_cast<size_t>(tileBytes)));
  if (!buffer.bytes) return 0;
  uint64_t tileRowBytes = (uint64_t{d->samplesPerPixel} * d->bitsPerSample * d->tileWidth + 7) >> 3;
  if (tileRowBytes * d->tileLength > static_cast<uint64_t>(tileBytes)) {
    DecoderError(d, "Tile too large");
    return 0;
  }
  for (uint32_t ty = 0; ty < d->height; ty += d->tileLength) {
    for (uint32_t tx = 0; tx < d->width; tx += d->tileWidth) {
      if (TIFFReadTile(d->tiff, buffer.bytes, tx, ty, 0, 0) < 0) {
        DecoderError(d, "ReadTile failed");
        return 0;
      }
      uint32_t columns = d->width - tx < d->tileWidth ? d->width - tx : d->tileWidth;
      uint32_t rows = d->height - ty < d->tileLength ? d->height - ty : d->tileLength;
      for (uint32_t r = 0; r < rows; ++r) {
        if (!ReadTileRow(d, buffer.bytes + r * tileRowBytes, tx, ty + r, columns)) return 0;
      }
      if (d->width - tx <= d->tileWidth) d->rowsDecoded += rows;
    }
    if (d->height - ty <= d->tileLength) break;
  }
  return 1;
}
