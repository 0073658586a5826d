// Turns the directory libtiff is positioned on into bitmap rows: reads and
// checks the tags, plans the output format and palette, then decodes with the
// strategy that fits the page's samples, planes, compression and tiling.
#pragma once

#include <tiffio.h>

#include <cstdint>

#include "common/message_log.h"

// Messages of the decoder itself (error, warning) carry no module; libtiff's
// own messages during the decode arrive with theirs.
using DecoderMessage = void (*)(MessageLog* log, const char* module, const char* message);

struct TiffDecoder {
  TIFF* tiff = nullptr;  // not owned
  MessageLog* log = nullptr;
  DecoderMessage onError = nullptr;
  DecoderMessage onWarning = nullptr;
  DecoderMessage onLibraryMessage = nullptr;

  uint32_t width = 0;
  uint32_t height = 0;
  uint16_t photometric = 0;  // as stored
  uint16_t planar = 1;
  uint16_t storedBitsPerSample = 0;
  uint16_t compression = 1;
  uint16_t orientation = 1;
  uint16_t bitsPerSample = 0;  // as libtiff delivers the samples
  uint16_t samplesPerPixel = 1;
  uint16_t sampleFormat = 1;
  uint16_t subsamplingH = 0;
  uint16_t subsamplingV = 0;
  uint16_t resolutionUnit = 1;
  float xResolution = 1.0f;
  float yResolution = 1.0f;
  int32_t resolutionValid = 0;

  const uint16_t* redMap = nullptr;  // owned by libtiff
  const uint16_t* greenMap = nullptr;
  const uint16_t* blueMap = nullptr;

  int64_t scanlineSize = 0;
  uint8_t* scanline = nullptr;  // owned while decoding
  uint32_t tileWidth = 0;
  uint32_t tileLength = 0;
  int32_t tiled = 0;
  uint16_t effectivePhotometric = 0;

  int32_t invert = 0;  // complement every sample byte written
  uint8_t greyRamp = 0;
  uint8_t twoBit = 0;

  uint8_t* out = nullptr;  // the bitmap's rows, not owned
  uint32_t outStride = 0;
  uint32_t outBitsPerChannel = 0;
  uint32_t outChannels = 0;

  uint8_t* palette = nullptr;  // owned: red, green, blue, 0 per entry
  uint32_t paletteEntries = 0;

  uint32_t rowsDecoded = 0;
  uint32_t consecutiveFailures = 0;
  int32_t paletteRepair = 0;
  int32_t redByte = 2, greenByte = 1, blueByte = 0;
  TIFFErrorHandler previousErrorHandler = nullptr;
  uint32_t libraryErrors = 0;
};

// Zero-filled, or null when there is no memory (said in `log`).
TiffDecoder* CreateTiffDecoder(MessageLog* log);
void FreeTiffDecoder(TiffDecoder* decoder);
void AttachTiffDecoder(TiffDecoder* decoder, TIFF* tiff, MessageLog* log, DecoderMessage onError,
                       DecoderMessage onWarning, DecoderMessage onLibraryMessage);

// Validates the tags and plans the output; failures are reported as errors.
int ReadTags(TiffDecoder* decoder);
// 1, 4, 8 or 24.
uint32_t OutputBitsPerPixel(const TiffDecoder* decoder);
uint64_t OutputImageSize(const TiffDecoder* decoder);
// Samples per pixel times bits per sample as stored.
int32_t StoredBitsPerPixel(const TiffDecoder* decoder);

void SetOutput(TiffDecoder* decoder, uint8_t* pixels);
int Decode(TiffDecoder* decoder);

// Reports through the decoder's callbacks.
void DecoderError(TiffDecoder* decoder, const char* format, ...) __attribute__((format(printf, 2, 3)));
void DecoderWarning(TiffDecoder* decoder, const char* format, ...) __attribute__((format(printf, 2, 3)));

// Picture row r is stored bottom-up.
inline uint8_t* OutputRow(const TiffDecoder* decoder, uint32_t pictureRow) {
  return decoder->out + uint64_t{decoder->height - 1 - pictureRow} * decoder->outStride;
}

// The strategies, chosen by Decode.
int DecodeLowDepthScanlines(TiffDecoder* decoder);
int DecodeGreyScanlines(TiffDecoder* decoder);
int DecodeChunkyColourScanlines(TiffDecoder* decoder);
int DecodePlanarRgb(TiffDecoder* decoder);
int DecodePlanarCmyk(TiffDecoder* decoder);
int DecodeSixteenBitPalette(TiffDecoder* decoder);
int DecodeStrips(TiffDecoder* decoder);
int DecodeSubsampledYCbCr(TiffDecoder* decoder, int wholeImageTile);
int DecodeTiles(TiffDecoder* decoder);

// Group 3 data that claims EOL codes but has none is read as modified Huffman.
void CheckFaxEol(TiffDecoder* decoder);
