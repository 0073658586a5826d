#include "document/row_reader.h"

#include <cstdlib>
#include <cstring>

#include "common/diagnostics.h"

namespace {

// A strip above this is read row by row: the loader's work areas are meant to
// stay at one strip plus the codec's own buffer, and a huge single-strip page
// must not double its footprint.
constexpr uint64_t kWholeStripLimit = 0x4000000;  // 64 MiB
constexpr uint32_t kMaximumFailedRows = 50;

// Samples wider than 8 bits arrive in host order (little-endian on every
// target), so the most significant byte is the last of each sample.
void ReduceToEightBits(uint8_t* row, uint64_t samples, uint32_t bytesPerSample) {
  const uint8_t* from = row + bytesPerSample - 1;
  for (uint64_t i = 0; i < samples; ++i, from += bytesPerSample) row[i] = *from;
}

// Counts the row as decoded or failed; 0 when too many failed in a row.
int AccountRow(RowReader* reader, int failed) {
  TiffDecoder* d = reader->decoder;
  if (!failed) {
    ++d->rowsDecoded;
    d->consecutiveFailures = 0;
    return 1;
  }
  if (++d->consecutiveFailures > kMaximumFailedRows) {
    DecoderError(d, "Error attempting to read this image");
    return 0;
  }
  return 1;
}

// Codecs write a strip from its start, so a row whose first byte kept its
// mark was never reached. Marking only the first bytes spares a pass over
// every strip that decodes cleanly; after a failure the unreached rows get
// the full 0xAA pattern, which is what the page shows for them.
void LoadStrip(RowReader* reader, uint32_t strip, uint64_t rows) {
  uint8_t* buffer = reader->buffer;
  for (uint64_t r = 0; r < rows; ++r) buffer[r * reader->rowBytes] = 0xAA;
  reader->stripFailed = TIFFReadEncodedStrip(reader->decoder->tiff, strip, buffer, -1) < 0;
  if (!reader->stripFailed) return;
  for (uint64_t r = 0; r < rows; ++r) {
    uint8_t* row = buffer + r * reader->rowBytes;
    if (row[0] == 0xAA) memset(row, 0xAA, reader->rowBytes);
  }
}

}  // namespace

int OpenRowReader(RowReader* reader, TiffDecoder* decoder) {
  reader->decoder = decoder;
  reader->rowBytes = static_cast<uint64_t>(TIFFScanlineSize64(decoder->tiff));
  decoder->scanlineSize = static_cast<int64_t>(reader->rowBytes);
  // The strategies read width x samples x bits from every row; a codec that
  // delivers less (a pseudo tag it ignored, a layout libtiff sized otherwise)
  // must not send them past the buffer.
  uint64_t samples = uint64_t{decoder->width} * (decoder->planar == 2 ? 1 : decoder->samplesPerPixel);
  if (reader->rowBytes == 0 || reader->rowBytes < (samples * decoder->bitsPerSample + 7) / 8) {
    DecoderError(decoder, "This type of image is not supported");
    return 0;
  }
  uint64_t bufferBytes = reader->rowBytes;
  uint32_t rowsPerStrip = 0;
  if (!decoder->tiled && TIFFGetFieldDefaulted(decoder->tiff, TIFFTAG_ROWSPERSTRIP, &rowsPerStrip)) {
    if (rowsPerStrip == 0 || rowsPerStrip > decoder->height) rowsPerStrip = decoder->height;
    uint64_t stripBytes = static_cast<uint64_t>(TIFFStripSize64(decoder->tiff));
    if (stripBytes >= uint64_t{rowsPerStrip} * reader->rowBytes && stripBytes <= kWholeStripLimit) {
      reader->rowsPerStrip = rowsPerStrip;
      bufferBytes = stripBytes;
    }
  }
  decoder->scanline = static_cast<uint8_t*>(AllocateOrReport(decoder->log, bufferBytes));
  reader->buffer = decoder->scanline;
  return reader->buffer != nullptr;
}

int ReadRow(RowReader* reader, uint32_t row, uint16_t sample, uint8_t** data) {
  TiffDecoder* d = reader->decoder;
  int failed;
  if (reader->rowsPerStrip) {
    uint32_t strip = TIFFComputeStrip(d->tiff, row, sample);
    uint64_t firstRow = row - row % reader->rowsPerStrip;
    uint64_t rowsHere =
        d->height - firstRow < reader->rowsPerStrip ? d->height - firstRow : reader->rowsPerStrip;
    if (strip != reader->loadedStrip) {
      LoadStrip(reader, strip, rowsHere);
      reader->loadedStrip = strip;
    }
    *data = reader->buffer + (row - firstRow) * reader->rowBytes;
    failed = reader->stripFailed && (*data)[0] == 0xAA;
  } else {
    *data = reader->buffer;
    memset(reader->buffer, 0xAA, reader->rowBytes);
    failed = TIFFReadScanline(d->tiff, reader->buffer, row, sample) < 0 && reader->buffer[0] == 0xAA;
  }
  if (!AccountRow(reader, failed)) return 0;
  uint32_t bytesPerSample = d->bitsPerSample / 8;
  if (reader->reduce && bytesPerSample > 1) {
    uint64_t samples = uint64_t{d->width} * (d->planar == 2 ? 1 : d->samplesPerPixel);
    ReduceToEightBits(*data, samples, bytesPerSample);
  }
  return 1;
}
