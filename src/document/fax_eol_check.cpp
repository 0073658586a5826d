// Some fax servers label modified Huffman data without EOL codes as Group 3
// with T4Options 0; libtiff then finds no row starts and shows garbage.
#include <cstdint>

#include "document/tiff_decoder.h"

namespace {

constexpr tmsize_t kBytesExamined = 1000;

// An EOL code is at least eleven zero bits followed by a one.
bool HasEolCode(const uint8_t* bytes, tmsize_t count, uint16_t fillOrder) {
  uint32_t zeros = 0;
  for (tmsize_t i = 0; i < count; ++i) {
    for (int k = 0; k < 8; ++k) {
      int bit = fillOrder == FILLORDER_LSB2MSB ? (bytes[i] >> k) & 1 : (bytes[i] >> (7 - k)) & 1;
      if (bit) {
        zeros = 0;
      } else if (zeros >= 10) {
        return true;
      } else {
        ++zeros;
      }
    }
  }
  return false;
}

}  // namespace

void CheckFaxEol(TiffDecoder* d) {
  if (d->compression != COMPRESSION_CCITTFAX3 || d->tiled) return;
  uint32_t options = 0;
  if (!TIFFGetField(d->tiff, TIFFTAG_GROUP3OPTIONS, &options) || options != 0) return;
  uint16_t fillOrder = FILLORDER_MSB2LSB;
  if (!TIFFGetField(d->tiff, TIFFTAG_FILLORDER, &fillOrder)) fillOrder = FILLORDER_MSB2LSB;
  uint8_t bytes[kBytesExamined];
  tmsize_t got = TIFFReadRawStrip(d->tiff, 0, bytes, kBytesExamined);
  if (got <= 0 || HasEolCode(bytes, got, fillOrder)) return;
  DecoderWarning(
      d,
      "No EOL markers found. Assuming this is a nonstandard compressed format that doesn't use EOL "
      "markers.");
  TIFFSetField(d->tiff, TIFFTAG_COMPRESSION, COMPRESSION_CCITTRLE);
  d->compression = COMPRESSION_CCITTRLE;
  int mode = 0;
  if (TIFFGetField(d->tiff, TIFFTAG_FAXMODE, &mode)) {
    mode &= ~FAXMODE_BYTEALIGN;
  } else {
    mode = FAXMODE_NORTC | FAXMODE_NOEOL;
  }
  TIFFSetField(d->tiff, TIFFTAG_FAXMODE, mode);
}
