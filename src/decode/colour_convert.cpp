#include "decode/colour_convert.h"

#include <cmath>

namespace {

uint8_t Clamped(double v) { return v <= 0.0 ? 0 : v >= 255.0 ? 255 : static_cast<uint8_t>(v); }

double LabInverse(double f) {
  double cube = f * f * f;
  return cube > 0.008856 ? cube : (f - 16.0 / 116.0) / 7.787;
}

double Companded(double v) { return v > 0.0031308 ? 1.055 * std::pow(v, 1.0 / 2.4) - 0.055 : 12.92 * v; }

// a and b are stored as signed bytes; 255, not 256, brings the upper half below zero.
double SignedLab(uint8_t v) { return v > 127.5 ? v - 255.0 : v; }

}  // namespace

void CmykRowToRgb(uint8_t* row, uint32_t width, uint32_t stride) {
  for (uint32_t x = 0; x < width; ++x, row += stride) {
    uint32_t k = 255u - row[3];
    row[0] = static_cast<uint8_t>((255u - row[0]) * k / 255u);
    row[1] = static_cast<uint8_t>((255u - row[1]) * k / 255u);
    row[2] = static_cast<uint8_t>((255u - row[2]) * k / 255u);
  }
}

void LabRowToRgb(uint8_t* row, uint32_t width, uint32_t stride) {
  for (uint32_t x = 0; x < width; ++x, row += stride) {
    double l = row[0] * 100.0 / 255.0;
    double fy = (l + 16.0) / 116.0;
    double fx = fy + SignedLab(row[1]) / 500.0;
    double fz = fy - SignedLab(row[2]) / 200.0;
    double cx = LabInverse(fx) * 0.95047, cy = LabInverse(fy), cz = LabInverse(fz) * 1.08883;
    double r = 3.2406 * cx - 1.5372 * cy - 0.4986 * cz;
    double g = -0.9689 * cx + 1.8758 * cy + 0.0415 * cz;
    double b = 0.0557 * cx - 0.2040 * cy + 1.0570 * cz;
    row[0] = Clamped(Companded(r) * 255.0);
    row[1] = Clamped(Companded(g) * 255.0);
    row[2] = Clamped(Companded(b) * 255.0);
  }
}

void YCbCrRowToRgb(uint8_t* row, uint32_t width, uint32_t stride) {
  for (uint32_t x = 0; x < width; ++x, row += stride) {
    double y = row[0], cb = row[1] - 128.0, cr = row[2] - 128.0;
    row[0] = Clamped(y + 1.402 * cr);
    row[1] = Clamped(y - 0.34414 * cb - 0.71414 * cr);
    row[2] = Clamped(y + 1.772 * cb);
  }
}
