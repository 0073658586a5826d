#include "document/photometric_name.h"

#include "common/text_format.h"

std::u16string PhotometricName(int32_t photometric, int32_t bitsPerSample) {
  struct Name {
    int32_t code;
    const char16_t* name;
  };
  static const Name kNames[] = {
      {2, u"RGB"}, {3, u"Palette"}, {4, u"Holdout mask"}, {5, u"Color-separated (CMYK)"}, {6, u"YCbCr"},
      {8, u"1976 CIE L*a*b*"}, {9, u"ICC L*a*b*"}, {10, u"ITU L*a*b*"}, {32844, u"CIE Log2(L)"},
      {32845, u"CIE Log2(L) (u',v')"},
  };
  if (photometric == 0) return bitsPerSample == 1 ? u"BW, min-is-white" : u"Grayscale, min-is-white";
  if (photometric == 1) return bitsPerSample == 1 ? u"BW, min-is-black" : u"Grayscale, min-is-black";
  for (const Name& n : kNames) {
    if (n.code == photometric) return n.name;
  }
  char16_t text[32];
  FormatBounded(text, 32, "Unknown (%d)", photometric);
  return text;
}
