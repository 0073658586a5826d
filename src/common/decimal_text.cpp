#include "common/decimal_text.h"

#include <cstdint>
#include <limits>

namespace {

bool IsBlank(char16_t c) {
  return c == u' ' || c == u'\t' || c == u'\r' || c == u'\n' || c == u'\v' || c == u'\f';
}

bool IsDigit(char16_t c) { return c >= u'0' && c <= u'9'; }

// Parses at `*cursor`; advances it past what was read and reports the digits.
int32_t ParseAt(const char16_t** cursor, int* digits) {
  const char16_t* p = *cursor;
  while (IsBlank(*p)) ++p;
  bool negative = false;
  if (*p == u'+' || *p == u'-') negative = *p++ == u'-';
  int64_t value = 0;
  *digits = 0;
  const int64_t limit = int64_t{std::numeric_limits<int32_t>::max()} + 1;
  for (; IsDigit(*p); ++p, ++*digits) {
    if (value < limit) value = value * 10 + (*p - u'0');
  }
  if (value > limit) value = limit;
  if (negative) value = -value;
  if (value > std::numeric_limits<int32_t>::max()) value = std::numeric_limits<int32_t>::max();
  *cursor = p;
  return static_cast<int32_t>(value);
}

}  // namespace

int32_t ReadDecimal(const char16_t* text) {
  if (!text) return 0;
  int digits = 0;
  return ParseAt(&text, &digits);
}

int ScanIntegers(const char16_t* text, int32_t* values, int count) {
  if (!text) return 0;
  for (int i = 0; i < count; ++i) {
    if (i > 0 && *text++ != u',') return 0;
    int digits = 0;
    int32_t value = ParseAt(&text, &digits);
    if (digits == 0) return 0;
    values[i] = value;
  }
  return 1;
}
