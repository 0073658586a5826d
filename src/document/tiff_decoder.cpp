#include "document/tiff_decoder.h"

#include <cstdarg>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <new>

#include "common/diagnostics.h"
#include "common/text_format.h"
#include "document/code_names.h"

namespace {

// libtiff's handlers carry no context; one decode runs at a time.
TiffDecoder* g_decoding = nullptr;

void DecodingErrorHandler(const char* module, const char* format, va_list args) {
  TiffDecoder* d = g_decoding;
  if (!d) return;
  char message[1024];
  vsnprintf(message, sizeof message, format, args);
  ++d->libraryErrors;
  if (d->onLibraryMessage) d->onLibraryMessage(d->log, module, message);
}

void Report(TiffDecoder* d, DecoderMessage callback, const char* format, va_list args) {
  char message[1024];
  vsnprintf(message, sizeof message, format, args);
  if (callback) callback(d->log, nullptr, message);
}

bool AllowedBits(uint16_t photometric, uint16_t bits) {
  switch (photometric) {
    case 0:
    case 1:
      return bits == 1 || bits == 2 || bits == 4 || bits == 8 || bits == 16 || bits == 24 || bits == 32;
    case 3:
      return bits == 1 || bits == 2 || bits == 4 || bits == 8 || bits == 16;
    default:
      return bits == 8 || bits == 16 || bits == 24 || bits == 32;
  }
}

int AllocatePalette(TiffDecoder* d, uint32_t entries) {
  d->palette = static_cast<uint8_t*>(calloc(entries, 4));
  if (!d->palette) {
    DecoderError(d, "Failed to allocate memory for palette");
    return 0;
  }
  d->paletteEntries = entries;
  return 1;
}

void SetEntry(TiffDecoder* d, uint32_t i, uint8_t red, uint8_t green, uint8_t blue) {
  uint8_t* e = d->palette + 4 * i;
  e[0] = red;
  e[1] = green;
  e[2] = blue;
  e[3] = 0;
}

int BuildGreyPalette(TiffDecoder* d) {
  if (d->effectivePhotometric == 0) d->invert = 1;
  uint32_t entries = 1u << d->outBitsPerChannel;
  if (!AllocatePalette(d, entries)) return 0;
  if (d->bitsPerSample == 2) {
    static const uint8_t kTwoBitGreys[4] = {0, 85, 170, 255};
    for (uint32_t i = 0; i < 4; ++i) SetEntry(d, i, kTwoBitGreys[i], kTwoBitGreys[i], kTwoBitGreys[i]);
    d->twoBit = 1;
    return 1;
  }
  uint32_t step = 255 / (entries - 1);
  for (uint32_t i = 0; i < entries; ++i) {
    auto grey = static_cast<uint8_t>(i * step);
    SetEntry(d, i, grey, grey, grey);
  }
  d->greyRamp = 1;
  return 1;
}

int BuildColourPalette(TiffDecoder* d) {
  uint16_t *red, *green, *blue;
  if (!TIFFGetField(d->tiff, TIFFTAG_COLORMAP, &red, &green, &blue)) {
    DecoderError(d, "Missing required COLORMAP tag");
    return 0;
  }
  d->redMap = red;
  d->greenMap = green;
  d->blueMap = blue;
  if (d->bitsPerSample == 16) return 1;
  uint32_t entries = 1u << d->outBitsPerChannel;
  if (entries > (1u << d->bitsPerSample)) entries = 1u << d->bitsPerSample;
  if (entries > 256) return 0;
  if (!AllocatePalette(d, entries)) return 0;
  // Some writers store 8-bit values in the 16-bit map; taken as they are, every
  // colour would come out black.
  bool eightBit = true, anyColour = false;
  for (uint32_t i = 0; i < entries; ++i) {
    if (red[i] > 255 || green[i] > 255 || blue[i] > 255) eightBit = false;
    if (red[i] || green[i] || blue[i]) anyColour = true;
  }
  int shift = 8;
  if (d->paletteRepair && eightBit && anyColour) {
    DecoderWarning(d,
                   "All colors are indistinguishable from black. Assuming palette is incorrect, and "
                   "attempting to repair.");
    shift = 0;
  }
  for (uint32_t i = 0; i < entries; ++i) {
    SetEntry(d, i, static_cast<uint8_t>(red[i] >> shift), static_cast<uint8_t>(green[i] >> shift),
             static_cast<uint8_t>(blue[i] >> shift));
  }
  if (entries == 2) {
    uint8_t* e0 = d->palette;
    uint8_t* e1 = d->palette + 4;
    // Black first, so that bilevel palette pages print and smooth like plain ones.
    if (e1[0] + e1[1] + e1[2] < e0[0] + e0[1] + e0[2]) {
      for (int k = 0; k < 3; ++k) {
        uint8_t t = e0[k];
        e0[k] = e1[k];
        e1[k] = t;
      }
      d->invert = 1;
    }
    if (!e0[0] && !e0[1] && !e0[2] && e1[0] == 255 && e1[1] == 255 && e1[2] == 255) d->greyRamp = 1;
  }
  return 1;
}

int ReadDimensionsAndResolution(TiffDecoder* d) {
  TIFF* t = d->tiff;
  if (!TIFFGetField(t, TIFFTAG_IMAGEWIDTH, &d->width)) {
    DecoderError(d, "Missing IMAGEWIDTH tag");
    return 0;
  }
  if (!TIFFGetField(t, TIFFTAG_IMAGELENGTH, &d->height)) {
    DecoderError(d, "Missing IMAGELENGTH tag");
    return 0;
  }
  if (d->width == 0 || d->height == 0) {
    DecoderError(d, "Invalid image width or height");
    return 0;
  }
  uint16_t unit = 1;
  TIFFGetFieldDefaulted(t, TIFFTAG_RESOLUTIONUNIT, &unit);
  float x = 0, y = 0;
  if (!TIFFGetField(t, TIFFTAG_XRESOLUTION, &x)) x = 0;
  if (!TIFFGetField(t, TIFFTAG_YRESOLUTION, &y)) y = 0;
  d->resolutionUnit = unit == 2 || unit == 3 ? unit : 1;
  // A ratio above 10 is a broken tag, not a real pixel shape.
  d->resolutionValid = x > 0 && y > 0 && x <= 10 * y && y <= 10 * x;
  d->xResolution = d->resolutionValid ? x : 1.0f;
  d->yResolution = d->resolutionValid ? y : 1.0f;
  if (!d->resolutionValid) d->resolutionUnit = 1;
  uint16_t orientation = 1;
  if (!TIFFGetField(t, TIFFTAG_ORIENTATION, &orientation) || orientation == 0 || orientation > 8)
    orientation = 1;
  d->orientation = orientation;
  return 1;
}

// Samples as libtiff will deliver them, after asking its codecs to convert.
int ReadSampleLayout(TiffDecoder* d) {
  TIFF* t = d->tiff;
  uint16_t compression = 1, sampleFormat = 1;
  if (!TIFFGetField(t, TIFFTAG_COMPRESSION, &compression)) compression = 1;
  if (!TIFFGetField(t, TIFFTAG_SAMPLEFORMAT, &sampleFormat)) sampleFormat = 1;
  d->compression = compression;
  d->sampleFormat = sampleFormat;
  d->tiled = TIFFIsTiled(t) ? 1 : 0;
  if (!TIFFGetFieldDefaulted(t, TIFFTAG_BITSPERSAMPLE, &d->storedBitsPerSample)) {
    DecoderError(d, "Missing BITSPERSAMPLE tag");
    return 0;
  }
  d->bitsPerSample = d->storedBitsPerSample;
  uint16_t photometric = 0;
  if (!TIFFGetFieldDefaulted(t, TIFFTAG_PHOTOMETRIC, &photometric)) photometric = 0;
  d->photometric = photometric;
  d->effectivePhotometric = photometric;
  if (photometric == PHOTOMETRIC_LOGL || photometric == PHOTOMETRIC_LOGLUV) {
    // Only the SGILog codec knows the pseudo tag; other data under these
    // photometrics has no 8-bit form to ask for.
    if (!TIFFSetField(t, TIFFTAG_SGILOGDATAFMT, SGILOGDATAFMT_8BIT)) {
      DecoderError(d, "Unsupported color type (%s)", Utf16ToUtf8(PhotometricName(photometric, 8)).c_str());
      return 0;
    }
    d->effectivePhotometric = photometric == PHOTOMETRIC_LOGL ? 1 : 2;
    d->bitsPerSample = 8;
    d->sampleFormat = 1;
  }
  if (compression == COMPRESSION_JPEG && d->effectivePhotometric == PHOTOMETRIC_YCBCR) {
    TIFFSetField(t, TIFFTAG_JPEGCOLORMODE, JPEGCOLORMODE_RGB);
    d->effectivePhotometric = 2;
  }
  switch (d->effectivePhotometric) {
    case 0:
    case 1:
    case 2:
    case 3:
    case 5:
    case 6:
    case 8:
      break;
    default:
      DecoderError(d, "Unsupported color type (%s)",
                   Utf16ToUtf8(PhotometricName(d->effectivePhotometric, 8)).c_str());
      return 0;
  }
  if (d->sampleFormat != 1 && d->sampleFormat != 4) {
    DecoderError(d, "Unsupported sample format (%d)", d->sampleFormat);
    return 0;
  }
  if (!TIFFGetFieldDefaulted(t, TIFFTAG_PLANARCONFIG, &d->planar)) d->planar = 1;
  if (d->planar != 1 && d->planar != 2) {
    DecoderError(d, "Unsupported PLANARCONFIG (%d)", d->planar);
    return 0;
  }
  if (!TIFFGetFieldDefaulted(t, TIFFTAG_SAMPLESPERPIXEL, &d->samplesPerPixel)) {
    DecoderError(d, "Missing SAMPLESPERPIXEL tag");
    return 0;
  }
  return 1;
}

int PlanOutput(TiffDecoder* d) {
  uint16_t p = d->effectivePhotometric;
  if (p == 0 || p == 1) {
    d->outChannels = 1;
  } else if (p == 3) {
    d->outChannels = d->bitsPerSample == 16 ? 3 : 1;
  } else {
    d->outChannels = 3;
    if (d->samplesPerPixel < (p == 5 ? 4 : 3)) {
      DecoderError(d, "Unsupported samples/pixel");
      return 0;
    }
  }
  if (d->samplesPerPixel < 1) {
    DecoderError(d, "Unsupported samples/pixel");
    return 0;
  }
  if (!AllowedBits(p, d->bitsPerSample)) {
    DecoderError(d, "Unsupported bits/sample (%d)", d->bitsPerSample);
    return 0;
  }
  if (d->outChannels >= 3 || d->bitsPerSample > 4) {
    d->outBitsPerChannel = 8;
  } else {
    d->outBitsPerChannel = d->bitsPerSample == 1 ? 1 : 4;
  }
  d->outStride = static_cast<uint32_t>(((uint64_t{OutputBitsPerPixel(d)} * d->width + 31) >> 5) << 2);
  if (p == 0 || p == 1) return BuildGreyPalette(d);
  if (p == 3) return BuildColourPalette(d);
  return 1;
}

int ChooseStrategy(TiffDecoder* d) {
  uint16_t p = d->effectivePhotometric, bits = d->bitsPerSample;
  if (d->tiled) return DecodeTiles(d);
  if (p == 6 && d->samplesPerPixel == 3 && bits == 8 && d->planar == 1) return DecodeSubsampledYCbCr(d, 0);
  if (p == 2 && d->compression == COMPRESSION_JPEG && bits == 8 && d->planar == 1) return DecodeStrips(d);
  if ((p == 0 || p == 1) && (d->compression == COMPRESSION_OJPEG || d->compression == COMPRESSION_JPEG) &&
      bits == 8 && d->planar == 1) {
    return DecodeStrips(d);
  }
  if (d->planar == 1 && (p == 2 || p == 5 || p == 8)) return DecodeChunkyColourScanlines(d);
  if (d->planar == 2 && p == 2) return DecodePlanarRgb(d);
  if (d->planar == 2 && p == 5) return DecodePlanarCmyk(d);
  if (p == 3 && bits == 16) return DecodeSixteenBitPalette(d);
  if ((p == 0 || p == 1) && bits >= 8) return DecodeGreyScanlines(d);
  if ((p == 0 || p == 1 || p == 3) && bits <= 4 && d->samplesPerPixel == 1) return DecodeLowDepthScanlines(d);
  if ((p == 0 || p == 1 || p == 3) && bits == 8) return DecodeGreyScanlines(d);
  DecoderError(d, "This type of image is not supported");
  return 0;
}

}  // namespace

TiffDecoder* CreateTiffDecoder(MessageLog* log) {
  void* block = AllocateOrReport(log, sizeof(TiffDecoder));
  return block ? new (block) TiffDecoder{} : nullptr;
}

void FreeTiffDecoder(TiffDecoder* decoder) {
  if (!decoder) return;
  free(decoder->scanline);
  free(decoder->palette);
  decoder->~TiffDecoder();
  free(decoder);
}

void AttachTiffDecoder(TiffDecoder* decoder, TIFF* tiff, MessageLog* log, DecoderMessage onError,
                       DecoderMessage onWarning, DecoderMessage onLibraryMessage) {
  decoder->tiff = tiff;
  decoder->log = log;
  decoder->onError = onError;
  decoder->onWarning = onWarning;
  decoder->onLibraryMessage = onLibraryMessage;
}

void DecoderError(TiffDecoder* decoder, const char* format, ...) {
  va_list args;
  va_start(args, format);
  Report(decoder, decoder->onError, format, args);
  va_end(args);
}

void DecoderWarning(TiffDecoder* decoder, const char* format, ...) {
  va_list args;
  va_start(args, format);
  Report(decoder, decoder->onWarning, format, args);
  va_end(args);
}

int ReadTags(TiffDecoder* decoder) {
  return ReadDimensionsAndResolution(decoder) && ReadSampleLayout(decoder) && PlanOutput(decoder);
}

uint32_t OutputBitsPerPixel(const TiffDecoder* decoder) {
  return decoder->outChannels * decoder->outBitsPerChannel;
}

uint64_t OutputImageSize(const TiffDecoder* decoder) {
  return uint64_t{decoder->outStride} * decoder->height;
}

int32_t StoredBitsPerPixel(const TiffDecoder* decoder) {
  return int32_t{decoder->samplesPerPixel} * decoder->storedBitsPerSample;
}

void SetOutput(TiffDecoder* decoder, uint8_t* pixels) { decoder->out = pixels; }

int Decode(TiffDecoder* decoder) {
  if (!decoder->out) return 0;
  decoder->rowsDecoded = 0;
  decoder->consecutiveFailures = 0;
  // A damaged strip must not fail a page that shows other rows: libtiff's
  // errors become warnings of the page while the pixels are read.
  TiffDecoder* outer = g_decoding;
  g_decoding = decoder;
  decoder->previousErrorHandler = TIFFSetErrorHandler(DecodingErrorHandler);
  int decoded = ChooseStrategy(decoder);
  TIFFSetErrorHandler(decoder->previousErrorHandler);
  g_decoding = outer;
  free(decoder->scanline);
  decoder->scanline = nullptr;
  return decoded;
}
