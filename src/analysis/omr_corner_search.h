// Finding one registration mark's corner: the largest connected patch of ink
// in a part of the page, found on coarse cells and refined down to a pixel.
#pragma once

#include <cstdint>

#include "analysis/bilevel_page.h"
#include "analysis/omr_debug.h"

// Corner numbers: 0 top-left, 1 top-right, 2 bottom-right, 3 bottom-left.
struct OmrCorner {
  int32_t x = -1;
  int32_t y = -1;
};

constexpr int32_t kCornerSearchBlock = 40;

// Searches the region x0 <= x < x1, y0 <= y < y1 with square cells of `block`
// pixels, then ever smaller windows around the answer with half the block
// size until cells are single pixels. The corner is (-1, -1) when the region
// holds no ink.
OmrCorner FindMarkCorner(const BilevelPage* page, int32_t corner, int32_t x0, int32_t y0, int32_t x1,
                         int32_t y1, int32_t block, OmrDebugFile* debug);
