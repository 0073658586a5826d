// Coordinates and sizes computed in 64 bits and stored in 32: a result beyond
// the 32-bit range stops at its nearest limit instead of wrapping around.
#pragma once

#include <algorithm>
#include <cstdint>

inline int32_t Saturated(int64_t value) {
  return static_cast<int32_t>(std::clamp<int64_t>(value, INT32_MIN, INT32_MAX));
}
