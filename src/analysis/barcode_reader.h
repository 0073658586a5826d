// Code 128 reading (symbols that start with Start B, through their code set
// switches) and the ink measure of a page, both from one row-by-row
// run-length scan.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "common/message_log.h"
#include "document/page_bitmap.h"

// Code 128 symbols hold at most this many characters here; longer ones are
// not read rather than reported cut short.
constexpr int32_t kBarcodeTextMaximum = 199;

// What the last scan of the current page found, kept with the viewer instance.
struct BarcodeResults {
  std::vector<std::u16string> texts;  // in discovery order, each text once
  size_t cursor = 0;                  // the next text GetBarcode hands out
  double inkFraction = -1.0;          // dark / scanned pixels; -1: not measured
};

// Reads the symbols in one row's runs (alternately light and dark, the first
// light) and appends each decoded text to `texts` (as 8-bit characters), in
// the order found, duplicates included.
void ReadRowSymbols(const uint32_t* runs, int32_t runCount, std::vector<std::string>* texts);

// Replaces the list with the symbols found in the region (page coordinates, y
// from the top row; w or h 0 mean the page's width and height) and stores the
// region's ink fraction. Each row contributes w - 1 pixels from column x, so
// the right-most column of the region is not part of the measure. Without a
// page the list is left empty and the fraction unchanged.
void DetectBarcodes(BarcodeResults* results, const PageBitmap* page, int32_t x, int32_t y, int32_t w,
                    int32_t h, MessageLog* log);
// The text at the cursor, which moves on; empty once the list is exhausted.
std::u16string GetBarcode(BarcodeResults* results);
// The stored ink fraction, measuring the whole page first when there is none.
double DetectBlankPage(BarcodeResults* results, const PageBitmap* page, MessageLog* log);
// A newly loaded page has not been measured; the barcode list stays.
void ForgetInkFraction(BarcodeResults* results);
