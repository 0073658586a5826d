#include "output/page_copy.h"

#include <algorithm>
#include <memory>
#include <new>

namespace {

// Schemes whose strips decode from their own bytes and the tags copied below.
constexpr uint16_t kCopiedSchemes[] = {COMPRESSION_NONE,      COMPRESSION_CCITTRLE,     COMPRESSION_CCITTFAX3,
                                       COMPRESSION_CCITTFAX4, COMPRESSION_LZW,          COMPRESSION_PACKBITS,
                                       COMPRESSION_DEFLATE,   COMPRESSION_ADOBE_DEFLATE};
constexpr uint16_t kCopiedPhotometrics[] = {PHOTOMETRIC_MINISWHITE, PHOTOMETRIC_MINISBLACK, PHOTOMETRIC_RGB,
                                            PHOTOMETRIC_PALETTE};

// Tags of one 16-bit value, set after Compression so that the scheme's own
// tags are known to the target.
constexpr uint32_t kShortTags[] = {TIFFTAG_BITSPERSAMPLE,  TIFFTAG_SAMPLESPERPIXEL, TIFFTAG_PHOTOMETRIC,
                                   TIFFTAG_FILLORDER,      TIFFTAG_ORIENTATION,     TIFFTAG_PLANARCONFIG,
                                   TIFFTAG_RESOLUTIONUNIT, TIFFTAG_SAMPLEFORMAT};
constexpr uint32_t kLongTags[] = {TIFFTAG_SUBFILETYPE, TIFFTAG_IMAGEWIDTH, TIFFTAG_IMAGELENGTH,
                                  TIFFTAG_ROWSPERSTRIP};
constexpr uint32_t kFloatTags[] = {TIFFTAG_XRESOLUTION, TIFFTAG_YRESOLUTION};

template <typename T, size_t N>
bool Contains(const T (&list)[N], T value) {
  return std::find(list, list + N, value) != list + N;
}

void CopySchemeTags(TIFF* source, TIFF* target, uint16_t compression) {
  uint32_t options;
  uint16_t predictor;
  if (compression == COMPRESSION_CCITTFAX3 && TIFFGetField(source, TIFFTAG_GROUP3OPTIONS, &options))
    TIFFSetField(target, TIFFTAG_GROUP3OPTIONS, options);
  if (compression == COMPRESSION_CCITTFAX4 && TIFFGetField(source, TIFFTAG_GROUP4OPTIONS, &options))
    TIFFSetField(target, TIFFTAG_GROUP4OPTIONS, options);
  if ((compression == COMPRESSION_LZW || compression == COMPRESSION_DEFLATE ||
       compression == COMPRESSION_ADOBE_DEFLATE) &&
      TIFFGetField(source, TIFFTAG_PREDICTOR, &predictor))
    TIFFSetField(target, TIFFTAG_PREDICTOR, predictor);
}

void CopyTags(TIFF* source, TIFF* target) {
  uint16_t compression = COMPRESSION_NONE;
  TIFFGetFieldDefaulted(source, TIFFTAG_COMPRESSION, &compression);
  TIFFSetField(target, TIFFTAG_COMPRESSION, compression);
  CopySchemeTags(source, target, compression);
  for (uint32_t tag : kLongTags) {
    uint32_t value;
    if (TIFFGetField(source, tag, &value)) TIFFSetField(target, tag, value);
  }
  for (uint32_t tag : kShortTags) {
    uint16_t value;
    if (TIFFGetField(source, tag, &value)) TIFFSetField(target, tag, value);
  }
  for (uint32_t tag : kFloatTags) {
    float value;
    if (TIFFGetField(source, tag, &value)) TIFFSetField(target, tag, value);
  }
  uint16_t *red, *green, *blue;
  if (TIFFGetField(source, TIFFTAG_COLORMAP, &red, &green, &blue))
    TIFFSetField(target, TIFFTAG_COLORMAP, red, green, blue);
  uint16_t extraCount;
  uint16_t* extra;
  if (TIFFGetField(source, TIFFTAG_EXTRASAMPLES, &extraCount, &extra))
    TIFFSetField(target, TIFFTAG_EXTRASAMPLES, extraCount, extra);
}

}  // namespace

int CanCopyRaw(TIFF* source) {
  uint16_t compression = COMPRESSION_NONE, photometric = 0;
  TIFFGetFieldDefaulted(source, TIFFTAG_COMPRESSION, &compression);
  if (TIFFIsTiled(source) || !TIFFGetField(source, TIFFTAG_PHOTOMETRIC, &photometric)) return 0;
  return Contains(kCopiedSchemes, compression) && Contains(kCopiedPhotometrics, photometric);
}

int CopyRawPage(TIFF* source, TIFF* target) {
  CopyTags(source, target);
  uint64_t* counts = nullptr;
  if (!TIFFGetField(source, TIFFTAG_STRIPBYTECOUNTS, &counts)) return 0;
  uint32_t strips = TIFFNumberOfStrips(source);
  uint64_t largest = 1;
  for (uint32_t s = 0; s < strips; ++s) largest = std::max(largest, counts[s]);
  if (largest > 0x7FFFFFFF) return 0;
  std::unique_ptr<uint8_t[]> buffer(new (std::nothrow) uint8_t[largest]);
  if (!buffer) return 0;
  for (uint32_t s = 0; s < strips; ++s) {
    tmsize_t got = TIFFReadRawStrip(source, s, buffer.get(), static_cast<tmsize_t>(counts[s]));
    if (got < 0 || TIFFWriteRawStrip(target, s, buffer.get(), got) < 0) return 0;
  }
  return TIFFWriteDirectory(target);
}
