// The A4 pages the benchmarks decode, generated once per run with libtiff:
// text-like bilevel pages at 300 dpi, and scanned-looking grey and colour
// pages at 200 dpi.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

enum class PageKind { kBilevelG4, kBilevelG3, kBilevelPackBits, kGreyLzw, kGreyDeflate, kRgbJpeg, kRgbLzw };

struct A4Page {
  std::string name;  // "G4", "Grey LZW", ...
  std::vector<uint8_t> bytes;
  uint32_t width = 0, height = 0;
};

// Built on first use and kept for the run.
const A4Page& PageOf(PageKind kind);
constexpr PageKind kAllPages[] = {PageKind::kBilevelG4, PageKind::kBilevelG3,   PageKind::kBilevelPackBits,
                                  PageKind::kGreyLzw,   PageKind::kGreyDeflate, PageKind::kRgbJpeg,
                                  PageKind::kRgbLzw};
