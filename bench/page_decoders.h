// The libtiff baselines the page loader is measured against, over the same
// in-memory bytes.
#pragma once

#include <cstdint>
#include <vector>

#include "a4_pages.h"
#include "document/page_bitmap.h"

// Every strip (or tile) decoded with TIFFReadEncodedStrip/Tile into one
// buffer, no conversion: the least any decoder must do. With `rgb` set, a
// JPEG YCbCr page is asked for RGB as the viewer asks for it.
bool DecodeFloor(const A4Page& page, std::vector<uint8_t>* buffer, bool rgb = false);
// TIFFReadRGBAImage into a raster of width x height.
bool DecodeRgba(const A4Page& page, std::vector<uint32_t>* raster);
// Size of the largest decoded strip or tile.
uint64_t LargestStrip(const A4Page& page);

// The page as the viewer holds it, built from the baselines (so that the
// scaler can be measured without the page loader): bilevel pages as 1-bit
// black on white, colour pages as 24-bit.
bool BilevelBitmap(const A4Page& page, PageBitmap* bitmap);
bool ColourBitmap(const A4Page& page, PageBitmap* bitmap);
