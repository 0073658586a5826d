// The Code 128 symbol table: bar and space widths in modules for the symbol
// values 0 to 105 (103 to 105 are the three start symbols) and the stop.
#pragma once

#include <cstdint>

constexpr int32_t kCode128SymbolCount = 106;
constexpr int32_t kCode128StartA = 103;
constexpr int32_t kCode128StartB = 104;
constexpr int32_t kCode128StartC = 105;

// Six widths (bar, space, bar, space, bar, space) of 1 to 4 modules, 11 in all.
extern const uint8_t kCode128Widths[kCode128SymbolCount][6];
// The stop symbol ends with a seventh run, a two-module bar.
extern const uint8_t kCode128Stop[7];

// The symbol value whose widths are these six, or -1 when no symbol has them
// (also for any width outside 1 to 4).
int32_t Code128Lookup(const int32_t widths[6]);
