#include "document/sample_placement.h"

#include <cstring>

void InvertBytes(uint8_t* bytes, uint64_t count) {
  uint64_t i = 0;
  for (; i + 8 <= count; i += 8) {
    uint64_t word;
    memcpy(&word, bytes + i, 8);
    word = ~word;
    memcpy(bytes + i, &word, 8);
  }
  for (; i < count; ++i) bytes[i] = static_cast<uint8_t>(~bytes[i]);
}

void PutBytes(const TiffDecoder* decoder, uint8_t* out, const uint8_t* from, uint64_t count) {
  memcpy(out, from, count);
  if (decoder->invert) InvertBytes(out, count);
}

void PutRgb(const TiffDecoder* decoder, uint8_t* out, const uint8_t* from, uint32_t width,
            uint32_t sampleStride) {
  const int r = decoder->redByte, g = decoder->greenByte, b = decoder->blueByte;
  for (uint32_t x = 0; x < width; ++x, from += sampleStride, out += 3) {
    out[r] = from[0];
    out[g] = from[1];
    out[b] = from[2];
  }
  if (decoder->invert) InvertBytes(out - 3 * uint64_t{width}, 3 * uint64_t{width});
}
