// Hands out the decoded sample rows of a stripped page one picture row at a
// time. Whole strips are decoded in one call where they fit the work limit,
// which lets libtiff's codecs run their fast paths; otherwise rows come from
// TIFFReadScanline. Either way a row libtiff could not decode shows the 0xAA
// fill, and more than 50 such rows in a row end the page.
#pragma once

#include <cstdint>

#include "decode/tiff_decoder.h"

struct RowReader {
  TiffDecoder* decoder = nullptr;
  uint8_t* buffer = nullptr;  // the decoder's scanline buffer: a strip or one row
  uint64_t rowBytes = 0;      // TIFFScanlineSize
  uint32_t rowsPerStrip = 0;  // 0: row by row with TIFFReadScanline
  uint32_t loadedStrip = 0xFFFFFFFFu;
  int32_t stripFailed = 0;
  int32_t reduce = 1;  // keep only the high byte of samples wider than 8 bits
};

// Allocates the buffer into decoder->scanline; 0 without memory (no message).
int OpenRowReader(RowReader* reader, TiffDecoder* decoder);
// Points *data at picture row `row` of plane `sample`, reduced to 8 bits per
// sample unless reader->reduce is 0. Returns 0 when the strategy must stop.
int ReadRow(RowReader* reader, uint32_t row, uint16_t sample, uint8_t** data);
