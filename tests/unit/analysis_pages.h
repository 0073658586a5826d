// Pages for the page analysis tests: drawn here, or read from the fixtures
// that tests/data/make_*_fixtures.sh make with real tools at test time.
#pragma once

#include <cstdint>
#include <string>

#include "document/page_bitmap.h"

// Owns one bitmap for the length of a test.
struct OwnedPage {
  PageBitmap bitmap;
  OwnedPage() = default;
  OwnedPage(const OwnedPage&) = delete;
  OwnedPage& operator=(const OwnedPage&) = delete;
  ~OwnedPage() { ReleasePageBitmap(&bitmap); }
};

// A white page with a black-to-white table (1, 4 and 8 bits) or white 24-bit
// pixels.
bool MakeWhitePage(PageBitmap* page, int32_t width, int32_t height, int32_t bitCount);
// Fills a rectangle (page coordinates, y from the top) with black or white.
void FillRect(PageBitmap* page, int32_t x, int32_t y, int32_t w, int32_t h, bool black);
// Fills a rectangle of a 24-bit page with a colour, or of an 8-bit page with a
// table index.
void FillColour(PageBitmap* page, int32_t x, int32_t y, int32_t w, int32_t h, uint8_t red, uint8_t green,
                uint8_t blue);

// Loads the first page of a TIFF file as the viewer does.
bool ReadTestPage(const std::string& path, PageBitmap* page);
// The path of a fixture that a script made at test time. ctest runs the
// scripts before the suites named Generated*, which read them.
std::string FixturePath(const char* name);
