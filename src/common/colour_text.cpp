#include "common/colour_text.h"

#include "common/text_format.h"

std::u16string FormatColour(uint32_t colour) {
  char16_t text[8];
  FormatBounded(text, 8, "#%02x%02x%02x", colour & 0xFF, (colour >> 8) & 0xFF, (colour >> 16) & 0xFF);
  return text;
}

static int HexDigit(char16_t c) {
  if (c >= u'0' && c <= u'9') return c - u'0';
  if (c >= u'a' && c <= u'f') return c - u'a' + 10;
  if (c >= u'A' && c <= u'F') return c - u'A' + 10;
  return -1;
}

int ParseColour(const char16_t* text, uint32_t* colour) {
  if (!text || Utf16Length(text) != 7 || text[0] != u'#') return 0;
  uint32_t value = 0;
  for (int pair = 0; pair < 3; ++pair) {
    int high = HexDigit(text[1 + 2 * pair]);
    int low = HexDigit(text[2 + 2 * pair]);
    if (high < 0 || low < 0) return 0;
    value |= static_cast<uint32_t>(high * 16 + low) << (8 * pair);
  }
  *colour = value;
  return 1;
}
