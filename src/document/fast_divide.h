// Exact unsigned division of 32-bit values by a divisor fixed for a whole
// scaling pass: one multiply instead of a hardware divide per pixel.
#pragma once

#include <cstdint>

struct FastDivisor {
  uint64_t magic = 0;  // floor((2^64 - 1) / d) + 1
  uint32_t divisor = 1;
};

inline FastDivisor MakeFastDivisor(uint32_t divisor) {
  FastDivisor d;
  d.divisor = divisor ? divisor : 1;
  d.magic = UINT64_MAX / d.divisor + 1;
  return d;
}

// floor(x / d) for every 32-bit x and d >= 1: the high 64 bits of magic * x,
// assembled from 32-bit halves so that 32-bit builds need no 128-bit type.
inline uint32_t FastDivide(uint32_t x, const FastDivisor& d) {
  if (d.divisor == 1) return x;
  uint64_t low = (d.magic & 0xFFFFFFFFu) * x;
  uint64_t high = (d.magic >> 32) * x + (low >> 32);
  return static_cast<uint32_t>(high >> 32);
}
