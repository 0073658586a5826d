// Colour tables and the whole-bitmap transforms the loader and the viewer's
// orientation and negative settings use.
#pragma once

#include <cstdint>

#include "document/page_bitmap.h"

// 2, 16 or 256 grey entries from black to white (white to black when reversed).
void MakeGreyRamp(PageBitmap* bitmap, int32_t bitCount, int reversed);
// 16 (4 bits) or 256 (8 bits) entries blending from the source's entry 0 to its entry 1.
void MakeTwoColourBlend(const PageBitmap* source, PageBitmap* target, int32_t bitCount);
// Copies as many entries as both tables hold; the grey-ramp flag travels with
// an identical table layout only.
void CopyColourTable(const PageBitmap* source, PageBitmap* target);

// 1-bit and 24-bit bitmaps complement their pixels, others their colour table.
void Negative(PageBitmap* bitmap);
// Reverses the pixel order of every row.
void MirrorRows(PageBitmap* bitmap);
// Exchanges stored row i with row height-1-i; fails without scratch memory.
int ReverseRowOrder(PageBitmap* bitmap, MessageLog* log);
// Stored row r of the result is stored column r of the source; width, height
// and the pixel densities are exchanged. The source is untouched on failure.
int Transpose(PageBitmap* bitmap, MessageLog* log);
// Turns the bitmap by `quarters` quarter turns clockwise (taken modulo 4);
// on failure the bitmap is as it was and the reason is in `log`.
int TurnBitmap(PageBitmap* bitmap, int32_t quarters, MessageLog* log);
