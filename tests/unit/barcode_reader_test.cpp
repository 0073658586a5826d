#include "analysis/barcode_reader.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "analysis/code128_table.h"
#include "analysis_pages.h"

namespace {

using Texts = std::vector<std::string>;

// The runs of one row crossing a code set B symbol drawn `module` pixels per
// module, between light runs of `before` and `after` pixels.
std::vector<uint32_t> SymbolRuns(const std::string& text, uint32_t module, uint32_t before, uint32_t after) {
  std::vector<int32_t> values{kCode128StartB};
  int64_t checksum = kCode128StartB;
  for (size_t i = 0; i < text.size(); ++i) {
    values.push_back(static_cast<unsigned char>(text[i]) - 32);
    checksum += static_cast<int64_t>(i + 1) * values.back();
  }
  values.push_back(static_cast<int32_t>(checksum % 103));
  std::vector<uint32_t> runs{before};
  for (int32_t v : values) {
    for (int k = 0; k < 6; ++k) runs.push_back(kCode128Widths[v][k] * module);
  }
  for (uint8_t w : kCode128Stop) runs.push_back(w * module);
  runs.push_back(after);
  return runs;
}

Texts Read(const std::vector<uint32_t>& runs) {
  Texts texts;
  ReadRowSymbols(runs.data(), static_cast<int32_t>(runs.size()), &texts);
  return texts;
}

std::vector<uint32_t> Joined(std::vector<uint32_t> a, const std::vector<uint32_t>& b) {
  // b's leading light run continues a's trailing one.
  a.back() += b.front();
  a.insert(a.end(), b.begin() + 1, b.end());
  return a;
}

TEST(ReadRowSymbols, ReadsAtAnyModuleWidthAndThroughPrintGain) {
  for (uint32_t module : {1u, 2u, 3u, 5u}) {
    EXPECT_EQ(Read(SymbolRuns("Mervane 1.0", module, 20 * module, 20 * module)), Texts{"Mervane 1.0"})
        << module;
  }
  // Bars printed a pixel too wide and spaces a pixel too narrow still read.
  std::vector<uint32_t> runs = SymbolRuns("ink spread", 4, 40, 40);
  for (size_t i = 1; i + 1 < runs.size(); ++i) runs[i] += i % 2 ? 1 : -1;
  EXPECT_EQ(Read(runs), Texts{"ink spread"});
}

TEST(ReadRowSymbols, CarriesTheRoundingErrorWhenPlainRoundingFails) {
  // " " is 2 1 2 2 2 2; drawn 1.5 1.5 2 2 2 2 modules it rounds to 2 2 2 2 2 2,
  // no symbol, but carrying the error gives 2 1 2 2 2 2 again.
  std::vector<uint32_t> runs = SymbolRuns(" A", 4, 40, 40);
  runs[7] = 6, runs[8] = 6;
  EXPECT_EQ(Read(runs), Texts{" A"});
  // Beyond what the carry repairs, the symbol is lost, not misread.
  runs[7] = 2, runs[8] = 10;
  EXPECT_EQ(Read(runs), Texts{});
}

TEST(ReadRowSymbols, RefusesWrongCheckAndOtherStarts) {
  std::vector<uint32_t> runs = SymbolRuns("CHECK", 2, 30, 30);
  std::vector<uint32_t> wrong = runs;
  size_t check = wrong.size() - 1 - 7 - 6;
  for (int k = 0; k < 6; ++k) wrong[check + k] = kCode128Widths[7][k] * 2u;
  EXPECT_EQ(Read(wrong), Texts{});
  for (int32_t start : {kCode128StartA, kCode128StartC}) {
    std::vector<uint32_t> other = runs;
    for (int k = 0; k < 6; ++k) other[1 + k] = kCode128Widths[start][k] * 2u;
    EXPECT_EQ(Read(other), Texts{}) << start;
  }
}

TEST(ReadRowSymbols, QuietZonesOfFiveModules) {
  // Two bars ahead put the leading quiet zone at run 4, where it needs 5 modules.
  const std::vector<uint32_t> bars{50, 10, 20, 10, 0};
  for (uint32_t quiet : {8u, 9u, 10u}) {
    EXPECT_EQ(Read(Joined(bars, SymbolRuns("lead", 2, quiet, 40))).size(), quiet >= 10 ? 1u : 0u) << quiet;
  }
  // Within the first three runs the row's edge may have cut the quiet zone.
  EXPECT_EQ(Read(SymbolRuns("lead", 2, 1, 40)), Texts{"lead"});
  EXPECT_EQ(Read(Joined({50, 10, 0}, SymbolRuns("lead", 2, 1, 40))), Texts{"lead"});
  // The trailing quiet zone too needs 5 modules, unless the row ends there.
  for (uint32_t quiet : {8u, 10u}) {
    EXPECT_EQ(Read(Joined(SymbolRuns("trail", 2, 40, quiet), {0, 10, 50, 10, 50})).size(),
              quiet >= 10 ? 1u : 0u);
  }
  std::vector<uint32_t> atEnd = SymbolRuns("trail", 2, 40, 0);
  atEnd.pop_back();
  EXPECT_EQ(Read(atEnd), Texts{"trail"});
}

TEST(ReadRowSymbols, SymbolsShareAQuietZoneAndRepeatsAreKept) {
  std::vector<uint32_t> row = Joined(SymbolRuns("one", 2, 30, 12), SymbolRuns("two", 3, 3, 30));
  row = Joined(row, SymbolRuns("one", 2, 20, 30));
  EXPECT_EQ(Read(row), (Texts{"one", "two", "one"}));
}

TEST(ReadRowSymbols, TextsUpTo199Characters) {
  std::string longest(199, 'x');
  EXPECT_EQ(Read(SymbolRuns(longest, 1, 20, 20)), Texts{longest});
  EXPECT_EQ(Read(SymbolRuns(longest + "x", 1, 20, 20)), Texts{});
}

// Pages made by zint and ImageMagick.
class GeneratedBarcodePages : public testing::Test {
 protected:
  std::vector<std::u16string> Detect(const char* name, int32_t x = 0, int32_t y = 0, int32_t w = 0,
                                     int32_t h = 0) {
    std::string path = FixturePath((std::string("barcodes/") + name).c_str());
    OwnedPage page;
    EXPECT_TRUE(ReadTestPage(path, &page.bitmap)) << path;
    DetectBarcodes(&results, &page.bitmap, x, y, w, h, nullptr);
    std::vector<std::u16string> texts;
    for (std::u16string text = GetBarcode(&results); !text.empty(); text = GetBarcode(&results))
      texts.push_back(text);
    return texts;
  }
  BarcodeResults results;
};

using Wide = std::vector<std::u16string>;

TEST_F(GeneratedBarcodePages, ReadsBilevelGreyAndColourPages) {
  EXPECT_EQ(Detect("a4_200.tif"), Wide{u"Mervane batch 0042"});
  EXPECT_GT(results.inkFraction, 0.0);
  EXPECT_LT(results.inkFraction, 0.01);
  EXPECT_EQ(Detect("a4_300.tif"), Wide{u"Sep/Invoice-77;x"});
  EXPECT_EQ(Detect("grey8.tif"), Wide{u"Grey 8-bit page"});
  EXPECT_EQ(Detect("rgb24.tif"), Wide{u"RGB page: 24 bit"});
  std::u16string low, high;
  for (char16_t c = 32; c < 80; ++c) low += c;
  for (char16_t c = 80; c < 127; ++c) high += c;
  EXPECT_EQ(Detect("all_chars.tif"), (Wide{low, high}));
}

TEST_F(GeneratedBarcodePages, EachTextOnceInReadingOrder) {
  EXPECT_EQ(Detect("twice.tif"), Wide{u"SEPARATOR"});
  EXPECT_EQ(Detect("four.tif"), (Wide{u"first code", u"left", u"right", u"Last one"}));
}

TEST_F(GeneratedBarcodePages, OnlyCodeSetBWithItsCheckAndQuietZones) {
  EXPECT_EQ(Detect("not_set_b.tif"), Wide{});
  EXPECT_EQ(Detect("quiet_zone.tif"), (Wide{u"after one bar", u"at the edge"}));
}

TEST_F(GeneratedBarcodePages, RegionRestrictsTheScan) {
  // "right" is drawn at (900, 500), 180 pixels wide and 60 high.
  EXPECT_EQ(Detect("four.tif", 880, 480, 300, 100), Wide{u"right"});
  // w or h 0 stand for the page width and height, from x and y on.
  EXPECT_EQ(Detect("four.tif", 0, 450, 0, 0), (Wide{u"left", u"right", u"Last one"}));
  EXPECT_EQ(Detect("four.tif", 0, 450, 1654, 200), (Wide{u"left", u"right"}));
  // Cutting the symbol's right end off loses it.
  EXPECT_EQ(Detect("four.tif", 880, 480, 150, 100), Wide{});
}

TEST_F(GeneratedBarcodePages, CursorBlankPageAndPageChange) {
  std::string path = FixturePath("barcodes/four.tif");
  OwnedPage page;
  ASSERT_TRUE(ReadTestPage(path, &page.bitmap));
  DetectBarcodes(&results, &page.bitmap, 0, 450, 1654, 200, nullptr);
  double region = results.inkFraction;
  EXPECT_EQ(GetBarcode(&results), u"left");
  EXPECT_EQ(GetBarcode(&results), u"right");
  EXPECT_EQ(GetBarcode(&results), u"");
  EXPECT_EQ(GetBarcode(&results), u"");
  // Right after a region scan the blank-page measure is that region's.
  EXPECT_EQ(DetectBlankPage(&results, &page.bitmap, nullptr), region);
  EXPECT_EQ(GetBarcode(&results), u"");
  // After a page load the whole page is measured, which also reads its symbols.
  ForgetInkFraction(&results);
  double whole = DetectBlankPage(&results, &page.bitmap, nullptr);
  EXPECT_GT(whole, 0.0);
  EXPECT_LT(whole, region);
  EXPECT_EQ(GetBarcode(&results), u"first code");
  // Without a page nothing is read and the measure stays.
  DetectBarcodes(&results, nullptr, 0, 0, 0, 0, nullptr);
  EXPECT_EQ(GetBarcode(&results), u"");
  EXPECT_EQ(results.inkFraction, whole);
}

}  // namespace
