#include "common/text_buffer.h"

#include <gtest/gtest.h>

#include <string>

namespace {

std::u16string Of(const TextBuffer& b) { return TextOf(&b); }

TEST(TextBuffer, NegativeMaximumMeansOneMillion) {
  TextBuffer b(-1);
  EXPECT_EQ(b.maximum, 1000000);
  EXPECT_EQ(Of(b), u"");
}

TEST(TextBuffer, SetCutsToMaximumMinusOne) {
  TextBuffer b(5);
  ASSERT_TRUE(SetText(&b, u"abcdefgh"));
  EXPECT_EQ(Of(b), u"abcd");
  EXPECT_EQ(b.length, 4);
  EXPECT_EQ(b.capacity, 5);
}

TEST(TextBuffer, SetReusesBlockWhenTextFits) {
  TextBuffer b(100);
  SetText(&b, u"hello world");
  char16_t* block = b.text;
  SetText(&b, u"hi");
  EXPECT_EQ(b.text, block);
  EXPECT_EQ(Of(b), u"hi");
  EXPECT_EQ(b.capacity, 12);
}

TEST(TextBuffer, NullTextFreesAndClears) {
  TextBuffer b(10);
  SetText(&b, u"abc");
  SetText(&b, nullptr);
  EXPECT_EQ(b.text, nullptr);
  EXPECT_EQ(b.length, 0);
}

TEST(TextBuffer, AppendGrowsByRuleAndCutsAtMaximum) {
  TextBuffer b(10);
  ASSERT_TRUE(AppendText(&b, u"ab"));
  // No block yet: capacity = min(10, max(0, 0 + 3*2 + 3)) = 9.
  EXPECT_EQ(b.capacity, 9);
  ASSERT_TRUE(AppendText(&b, u"cdefghijkl"));
  EXPECT_EQ(b.capacity, 10);
  EXPECT_EQ(Of(b), u"abcdefghi");
  EXPECT_EQ(b.length, 9);
}

TEST(TextBuffer, AppendNullToEmptyStoresEmptyString) {
  TextBuffer b(10);
  ASSERT_TRUE(AppendText(&b, nullptr));
  ASSERT_NE(b.text, nullptr);
  EXPECT_EQ(Of(b), u"");
}

TEST(TextBuffer, FormattedTextIsUtf8WidenedAndCutAt4095) {
  TextBuffer b(-1);
  SetTextFormatted(&b, "%s %d", "caf\xc3\xa9", 42);
  EXPECT_EQ(Of(b), u"caf\u00e9 42");
  std::string longText(5000, 'x');
  SetTextFormatted(&b, "%s", longText.c_str());
  EXPECT_EQ(b.length, 4095);
  AppendTextFormatted(&b, "%c", 'y');
  EXPECT_EQ(b.length, 4096);
}

}  // namespace
