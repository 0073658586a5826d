// Decimal numbers in page parameters and registry texts.
#pragma once

#include <cstddef>
#include <cstdint>

// Reads a decimal integer as the viewer reads every numeric parameter: leading
// blanks and one sign are allowed, reading stops at the first non-digit, and
// text without digits gives 0. Values beyond 32 bits are held at the nearest
// 32-bit limit instead of wrapping.
int32_t ReadDecimal(const char16_t* text);

// Reads `count` integers separated by single commas ("%d,%d" in scanf terms:
// blanks may precede each number, a sign is allowed, each needs a digit).
// Non-zero only when all of them were found; text after the last is ignored.
int ScanIntegers(const char16_t* text, int32_t* values, int count);
