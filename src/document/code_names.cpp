#include "document/code_names.h"

#include <span>

#include "common/text_format.h"

namespace {

struct CodeName {
  int32_t code;
  const char16_t* name;
};

// clang-format off
const CodeName kPhotometrics[] = {
    {2, u"RGB"}, {3, u"Palette"}, {4, u"Holdout mask"}, {5, u"Color-separated (CMYK)"}, {6, u"YCbCr"},
    {8, u"1976 CIE L*a*b*"}, {9, u"ICC L*a*b*"}, {10, u"ITU L*a*b*"}, {32844, u"CIE Log2(L)"},
    {32845, u"CIE Log2(L) (u',v')"},
};

const CodeName kCompressions[] = {
    {1, u"None"}, {2, u"CCITT RLE (Huffman)"}, {3, u"CCITT Group 3"}, {4, u"CCITT Group 4"}, {5, u"LZW"},
    {6, u"Old-style JPEG"}, {7, u"JPEG"}, {8, u"Deflate (Adobe)"}, {32766, u"NeXT"},
    {32771, u"CCITT RLE/W"}, {32773, u"PackBits"}, {32809, u"ThunderScan"}, {32909, u"PixarLog"},
    {32946, u"Deflate (libtiff)"}, {34661, u"ISO JBIG"}, {34676, u"SGILog"}, {34677, u"SGILog24"},
};
// clang-format on

std::u16string NameOf(std::span<const CodeName> names, int32_t code) {
  for (const CodeName& n : names) {
    if (n.code == code) return n.name;
  }
  char16_t text[32];
  FormatBounded(text, 32, "Unknown (%d)", code);
  return text;
}

}  // namespace

std::u16string PhotometricName(int32_t photometric, int32_t bitsPerSample) {
  if (photometric == 0) return bitsPerSample == 1 ? u"BW, min-is-white" : u"Grayscale, min-is-white";
  if (photometric == 1) return bitsPerSample == 1 ? u"BW, min-is-black" : u"Grayscale, min-is-black";
  return NameOf(kPhotometrics, photometric);
}

std::u16string CompressionName(int32_t code) { return NameOf(kCompressions, code); }
