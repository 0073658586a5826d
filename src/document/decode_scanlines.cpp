// The strategies that read the page row by row through the row reader.
#include <cstdlib>
#include <cstring>

#include "common/diagnostics.h"
#include "document/colour_convert.h"
#include "document/row_reader.h"
#include "document/sample_placement.h"
#include "document/tiff_decoder.h"

namespace {

void ExpandTwoBitRow(const TiffDecoder* d, uint8_t* out, const uint8_t* from) {
  uint32_t flip = d->invert ? 3 : 0;
  memset(out, 0, (d->width + 1) / 2);
  for (uint32_t j = 0; j < d->width; ++j) {
    uint32_t v = ((from[j / 4] >> (6 - 2 * (j % 4))) & 3) ^ flip;
    out[j / 2] |= static_cast<uint8_t>(j & 1 ? v : v << 4);
  }
}

}  // namespace

int DecodeLowDepthScanlines(TiffDecoder* d) {
  CheckFaxEol(d);
  RowReader reader;
  if (!OpenRowReader(&reader, d)) return 0;
  uint64_t packed = (uint64_t{d->width} * d->bitsPerSample + 7) / 8;
  for (uint32_t row = 0; row < d->height; ++row) {
    uint8_t* data;
    if (!ReadRow(&reader, row, 0, &data)) break;
    if (d->bitsPerSample == 2) {
      ExpandTwoBitRow(d, OutputRow(d, row), data);
    } else {
      PutBytes(d, OutputRow(d, row), data, packed);
    }
  }
  return d->rowsDecoded > 0;
}

int DecodeGreyScanlines(TiffDecoder* d) {
  // Wide samples are narrowed in place along the row, which needs them side by side.
  if (d->bitsPerSample > 8 && d->planar != 1) {
    DecoderError(d, "Unsupported PLANARCONFIG (%d)", d->planar);
    return 0;
  }
  // A palette index shares its pixel with nothing, not even an alpha sample.
  if (d->effectivePhotometric == 3 && d->samplesPerPixel != 1) {
    DecoderError(d, "Unsupported samples/pixel");
    return 0;
  }
  if (d->effectivePhotometric == 3 && d->bitsPerSample != 8) {
    DecoderError(d, "Unsupported bits/sample (%d)", d->bitsPerSample);
    return 0;
  }
  RowReader reader;
  if (!OpenRowReader(&reader, d)) return 0;
  uint32_t stride = d->planar == 2 ? 1 : d->samplesPerPixel;
  for (uint32_t row = 0; row < d->height; ++row) {
    uint8_t* data;
    if (!ReadRow(&reader, row, 0, &data)) break;
    uint8_t* out = OutputRow(d, row);
    if (stride == 1) {
      PutBytes(d, out, data, d->width);
      continue;
    }
    for (uint32_t x = 0; x < d->width; ++x) out[x] = data[uint64_t{x} * stride];
    if (d->invert) InvertBytes(out, d->width);
  }
  return d->rowsDecoded > 0;
}

int DecodeChunkyColourScanlines(TiffDecoder* d) {
  RowReader reader;
  if (!OpenRowReader(&reader, d)) return 0;
  uint32_t spp = d->samplesPerPixel;
  for (uint32_t row = 0; row < d->height; ++row) {
    uint8_t* data;
    if (!ReadRow(&reader, row, 0, &data)) break;
    if (d->effectivePhotometric == 5) CmykRowToRgb(data, d->width, spp);
    if (d->effectivePhotometric == 8) LabRowToRgb(data, d->width, spp);
    PutRgb(d, OutputRow(d, row), data, d->width, spp);
  }
  return d->rowsDecoded > 0;
}

int DecodePlanarRgb(TiffDecoder* d) {
  RowReader reader;
  if (!OpenRowReader(&reader, d)) return 0;
  const int channelByte[3] = {d->redByte, d->greenByte, d->blueByte};
  for (uint16_t s = 0; s < 3; ++s) {
    for (uint32_t row = 0; row < d->height; ++row) {
      uint8_t* data;
      if (!ReadRow(&reader, row, s, &data)) return d->rowsDecoded > 0;
      uint8_t* out = OutputRow(d, row) + channelByte[s];
      for (uint32_t x = 0; x < d->width; ++x) out[3 * uint64_t{x}] = data[x];
    }
  }
  if (d->invert) {
    for (uint32_t row = 0; row < d->height; ++row) InvertBytes(OutputRow(d, row), 3 * uint64_t{d->width});
  }
  return d->rowsDecoded > 0;
}

int DecodePlanarCmyk(TiffDecoder* d) {
  RowReader reader;
  if (!OpenRowReader(&reader, d)) return 0;
  uint64_t rowBytes = 4 * uint64_t{d->width};
  uint64_t bytes = rowBytes * d->height;
  // The whole page: the four planes arrive one after the other.
  auto* work = static_cast<uint8_t*>(AllocateOrReport(d->log, bytes));
  if (!work) return 0;
  memset(work, 0xAA, bytes);
  bool stopped = false;
  for (uint16_t s = 0; s < 4 && !stopped; ++s) {
    for (uint32_t row = 0; row < d->height; ++row) {
      uint8_t* data;
      if (!ReadRow(&reader, row, s, &data)) {
        stopped = true;
        break;
      }
      uint8_t* to = work + row * rowBytes + s;
      for (uint32_t x = 0; x < d->width; ++x) to[4 * uint64_t{x}] = data[x];
    }
  }
  // Rows that did arrive are shown even when a later plane broke off.
  for (uint32_t row = 0; row < d->height; ++row) {
    uint8_t* samples = work + row * rowBytes;
    CmykRowToRgb(samples, d->width, 4);
    PutRgb(d, OutputRow(d, row), samples, d->width, 4);
  }
  free(work);
  return d->rowsDecoded > 0;
}

int DecodeSixteenBitPalette(TiffDecoder* d) {
  RowReader reader;
  if (!OpenRowReader(&reader, d)) return 0;
  reader.reduce = 0;  // the full sample indexes the colour map
  uint32_t stride = d->planar == 2 ? 1 : d->samplesPerPixel;
  for (uint32_t row = 0; row < d->height; ++row) {
    uint8_t* data;
    if (!ReadRow(&reader, row, 0, &data)) break;
    uint8_t* out = OutputRow(d, row);
    for (uint32_t x = 0; x < d->width; ++x, out += 3) {
      uint16_t v;
      memcpy(&v, data + 2 * uint64_t{x} * stride, 2);
      out[d->redByte] = static_cast<uint8_t>(d->redMap[v] >> 8);
      out[d->greenByte] = static_cast<uint8_t>(d->greenMap[v] >> 8);
      out[d->blueByte] = static_cast<uint8_t>(d->blueMap[v] >> 8);
    }
  }
  return d->rowsDecoded > 0;
}
