#include "tools/nphost/bitmap_file_win.h"

#include <windows.h>

#include <cstdio>

int ReadBitmapFile(const std::wstring& file, RgbImage* image) {
  // Windows' own reader takes every depth and palette the plug-in or a tool
  // writes; asking for 32-bit rows turns them all into one form.
  HBITMAP bitmap = static_cast<HBITMAP>(
      LoadImageW(nullptr, file.c_str(), IMAGE_BITMAP, 0, 0, LR_LOADFROMFILE | LR_CREATEDIBSECTION));
  if (!bitmap) return 0;
  BITMAP facts{};
  int ok = GetObjectW(bitmap, sizeof facts, &facts) != 0 && facts.bmWidth > 0 && facts.bmHeight > 0;
  if (ok) {
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
    info.bmiHeader.biWidth = facts.bmWidth;
    info.bmiHeader.biHeight = -facts.bmHeight;  // top-down
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    image->width = facts.bmWidth;
    image->height = facts.bmHeight;
    image->pixels.assign(static_cast<size_t>(facts.bmWidth) * facts.bmHeight, 0);
    HDC dc = GetDC(nullptr);
    ok = GetDIBits(dc, bitmap, 0, static_cast<UINT>(facts.bmHeight), image->pixels.data(), &info,
                   DIB_RGB_COLORS) == facts.bmHeight;
    ReleaseDC(nullptr, dc);
    for (uint32_t& pixel : image->pixels) pixel &= 0x00FFFFFF;
  }
  DeleteObject(bitmap);
  return ok;
}

std::string ColourText(uint32_t rgb) {
  char text[8];
  std::snprintf(text, sizeof text, "#%06x", static_cast<unsigned>(rgb & 0x00FFFFFF));
  return text;
}

int CompareAt(const RgbImage& picture, const RgbImage& reference, int x, int y, Comparison* result) {
  *result = Comparison();
  if (x < 0 || y < 0 || x + reference.width > picture.width || y + reference.height > picture.height)
    return 0;
  for (int row = 0; row < reference.height; ++row) {
    for (int column = 0; column < reference.width; ++column) {
      if (picture.At(x + column, y + row) == reference.At(column, row)) continue;
      if (result->differing++ == 0) {
        result->firstX = column;
        result->firstY = row;
      }
    }
  }
  return 1;
}
