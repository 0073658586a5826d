// Strong reductions: each target pixel is the plain mean of an n x n block of
// source pixels starting at the source position nearest to it. Cheaper than
// area averaging, and good enough when many pixels fall on one.
#pragma once

#include <cstdint>

#include "common/message_log.h"
#include "document/page_bitmap.h"

// Block size for the smaller of the two scale factors: 1 / scale rounded, at
// least 2.
int32_t BlockSizeFor(double minimumScale);

// `source` and `target` are both 8-bit (grey) or both 24-bit (per channel).
int BlockAverage(MessageLog* log, const PageBitmap* source, PageBitmap* target, int32_t blockSize);

// `source` is 4 or 8 bits with a colour table: each pixel stands for its
// table entry. An 8-bit target gets the mean of the entries' blue bytes (for
// grey tables), a 24-bit target the means of blue, green and red.
int PaletteBlockAverage(MessageLog* log, const PageBitmap* source, PageBitmap* target, int32_t blockSize);
