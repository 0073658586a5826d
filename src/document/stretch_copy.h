// The plain scaler: a nearest-neighbour copy that drops or repeats rows and
// columns exactly as GDI's colour-on-colour stretch (StretchDIBits with
// COLORONCOLOR) does, computed in the engine so that every build shows the
// same pixels.
#pragma once

#include <cstdint>
#include <vector>

#include "document/page_bitmap.h"

// A new `target` of width x height with the source's header and colour table.
// Fails when the target cannot be created (its pixel data would exceed
// 2,000,000,000 bytes, or memory is short) or when target is the source.
int StretchCopy(const PageBitmap* source, PageBitmap* target, int32_t width, int32_t height);

// For each of targetLength positions along one axis, the source position the
// stretch reads. Columns take the last source pixel of each run and rows
// (counted from the top of the picture) the first, as GDI does.
enum class StretchAxis { kColumns, kRows };
void StretchPositions(int32_t sourceLength, int32_t targetLength, StretchAxis axis,
                      std::vector<int32_t>* positions);
