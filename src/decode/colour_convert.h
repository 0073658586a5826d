// The colour conversions applied to decoded sample rows, in place: each pixel
// of `stride` bytes gets red, green and blue in its first three bytes.
#pragma once

#include <cstdint>

void CmykRowToRgb(uint8_t* row, uint32_t width, uint32_t stride);
void LabRowToRgb(uint8_t* row, uint32_t width, uint32_t stride);
void YCbCrRowToRgb(uint8_t* row, uint32_t width, uint32_t stride);
