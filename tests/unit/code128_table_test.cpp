#include "analysis/code128_table.h"

#include <gtest/gtest.h>

#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "analysis_pages.h"

namespace {

// Bar and space widths of a module dump: hexadecimal digits, one bit per
// module, bars first; the last digit is padded with spaces (zero bits).
std::vector<int32_t> WidthsOfDump(const std::string& hex) {
  std::string bits;
  for (char c : hex) {
    if (c == ' ') continue;
    int v = std::stoi(std::string(1, c), nullptr, 16);
    for (int b = 3; b >= 0; --b) bits += (v >> b & 1) ? '1' : '0';
  }
  while (!bits.empty() && bits.back() == '0') bits.pop_back();
  std::vector<int32_t> widths;
  for (size_t i = 0; i < bits.size();) {
    size_t j = i;
    while (j < bits.size() && bits[j] == bits[i]) ++j;
    widths.push_back(static_cast<int32_t>(j - i));
    i = j;
  }
  return widths;
}

std::vector<int32_t> Row(int32_t value) {
  return std::vector<int32_t>(kCode128Widths[value], kCode128Widths[value] + 6);
}

// zint encodes each code set B character as start B, the character, the
// check symbol and the stop; our table must agree on every one of them.
TEST(GeneratedCode128Dump, TableAgreesWithZintForEveryCodeSetBCharacter) {
  std::string path = FixturePath("barcodes/code128_dump.txt");
  std::ifstream dump(path);
  ASSERT_TRUE(dump) << path;
  std::string line;
  int lines = 0;
  while (std::getline(dump, line)) {
    std::istringstream fields(line);
    int32_t value;
    fields >> value;
    std::string hex;
    std::getline(fields, hex);
    std::vector<int32_t> w = WidthsOfDump(hex);
    ASSERT_EQ(w.size(), 25u) << line;
    SCOPED_TRACE(value);
    EXPECT_EQ(std::vector<int32_t>(w.begin(), w.begin() + 6), Row(kCode128StartB));
    EXPECT_EQ(std::vector<int32_t>(w.begin() + 6, w.begin() + 12), Row(value));
    EXPECT_EQ(std::vector<int32_t>(w.begin() + 12, w.begin() + 18), Row((kCode128StartB + value) % 103));
    EXPECT_EQ(std::vector<int32_t>(w.begin() + 18, w.end()),
              std::vector<int32_t>(kCode128Stop, kCode128Stop + 7));
    EXPECT_EQ(Code128Lookup(w.data() + 6), value);
    ++lines;
  }
  EXPECT_EQ(lines, 96);
}

TEST(Code128Table, EverySymbolIsElevenModulesAndLooksUpToItself) {
  for (int32_t value = 0; value < kCode128SymbolCount; ++value) {
    int32_t widths[6], sum = 0;
    for (int k = 0; k < 6; ++k) sum += widths[k] = kCode128Widths[value][k];
    EXPECT_EQ(sum, 11) << value;
    EXPECT_EQ(Code128Lookup(widths), value);
  }
  const int32_t tooWide[6] = {5, 1, 1, 1, 2, 1}, none[6] = {1, 1, 1, 1, 1, 1}, zero[6] = {0, 2, 3, 2, 2, 2};
  EXPECT_EQ(Code128Lookup(tooWide), -1);
  EXPECT_EQ(Code128Lookup(none), -1);
  EXPECT_EQ(Code128Lookup(zero), -1);
}

}  // namespace
