// Moving decoded samples into bitmap rows: byte copies with the decoder's
// inversion, and chunky samples into blue-green-red pixels.
#pragma once

#include <cstdint>

#include "document/tiff_decoder.h"

void InvertBytes(uint8_t* bytes, uint64_t count);
// `count` bytes, complemented when the decoder inverts.
void PutBytes(const TiffDecoder* decoder, uint8_t* out, const uint8_t* from, uint64_t count);
// Samples 0, 1 and 2 of each pixel (`sampleStride` bytes apart) to red, green, blue.
void PutRgb(const TiffDecoder* decoder, uint8_t* out, const uint8_t* from, uint32_t width,
            uint32_t sampleStride);
