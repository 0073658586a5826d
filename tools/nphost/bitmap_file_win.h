// BMP files as nphost compares them: any bit depth Windows reads, turned into
// rows of 0x00RRGGBB from the top.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

struct RgbImage {
  int width = 0;
  int height = 0;
  std::vector<uint32_t> pixels;  // row by row from the top

  uint32_t At(int x, int y) const { return pixels[static_cast<size_t>(y) * width + x]; }
};

// 0 when the file cannot be read as a bitmap.
int ReadBitmapFile(const std::wstring& file, RgbImage* image);

// "#rrggbb".
std::string ColourText(uint32_t rgb);

struct Comparison {
  long long differing = 0;  // pixels of the reference that differ from the picture
  int firstX = -1, firstY = -1;
};
// Compares `reference` with the part of `picture` at (x, y); 0 when the
// reference does not lie wholly inside the picture there.
int CompareAt(const RgbImage& picture, const RgbImage& reference, int x, int y, Comparison* result);
