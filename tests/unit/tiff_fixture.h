// Test pages written by libtiff itself into memory, and the pictures that
// libtiff's RGBA reader and the page loader make of them.
#pragma once

#include <tiffio.h>

#include <cstdint>
#include <functional>
#include <vector>

#include "document/page_bitmap.h"
#include "document/page_directory.h"
#include "document/page_loader.h"

struct TestPage {
  uint32_t width = 8;
  uint32_t height = 8;
  uint16_t bitsPerSample = 8;
  uint16_t samplesPerPixel = 1;
  uint16_t photometric = PHOTOMETRIC_MINISBLACK;
  uint16_t compression = COMPRESSION_NONE;
  uint16_t planar = PLANARCONFIG_CONTIG;
  uint16_t orientation = 0;   // 0: no tag
  uint32_t rowsPerStrip = 0;  // 0: the whole page in one strip
  float xResolution = 0;      // 0: no resolution tags
  float yResolution = 0;
  uint16_t resolutionUnit = RESUNIT_INCH;
  std::vector<uint16_t> colourMap;  // red, green, blue, 2^bits each
  const char* software = nullptr;
  // Extra fields set after the standard ones, before the rows are written.
  std::function<void(TIFF*)> extraTags;
  // The packed rows of each plane: rows[plane][row].
  std::vector<std::vector<std::vector<uint8_t>>> rows;
};

std::vector<uint8_t> WriteTestTiff(const TestPage& page);
// One directory per page, in order.
std::vector<uint8_t> WriteTestTiffPages(const std::vector<TestPage>& pages);

// A memory document over `bytes` with its directory table read.
Document DocumentOver(const std::vector<uint8_t>& bytes);

struct Picture {
  uint32_t width = 0;
  uint32_t height = 0;
  std::vector<uint32_t> rgb;  // 0xRRGGBB, top row first
};

// What the viewer shows: the bitmap through its colour table.
Picture PictureOf(const PageBitmap& bitmap);
// libtiff's own RGBA reader, top row first; an empty picture when it refuses.
Picture RgbaPictureOf(const std::vector<uint8_t>& bytes);

// LoadPage of the first directory with default options.
int LoadFirstPage(const std::vector<uint8_t>& bytes, PageInfo* info, PageBitmap* bitmap, MessageLog* log,
                  const PageLoadOptions* options = nullptr);
