#include "common/text_format.h"

#include <gtest/gtest.h>

#include "common/colour_text.h"

namespace {

TEST(BoundedFormat, CutsTerminatesAndReportsInsufficientBuffer) {
  char16_t dest[6];
  EXPECT_EQ(FormatBounded(dest, 6, "%d", 12345), 0u);
  EXPECT_EQ(std::u16string(dest), u"12345");
  EXPECT_EQ(FormatBounded(dest, 6, "%d", 123456), kResultInsufficientBuffer);
  EXPECT_EQ(std::u16string(dest), u"12345");
}

TEST(BoundedFormat, RefusesBadSizesWithoutWriting) {
  char16_t dest[2] = {u'q', 0};
  EXPECT_EQ(FormatBounded(dest, 0, "x"), kResultInvalidArgument);
  EXPECT_EQ(FormatBounded(dest, 0x80000000u, "x"), kResultInvalidArgument);
  EXPECT_EQ(dest[0], u'q');
  char bytes[4] = "abc";
  EXPECT_EQ(FormatBoundedBytes(bytes, 1, "x"), kResultInvalidArgument);
  EXPECT_EQ(FormatBoundedBytes(bytes, 3, "%s", "wxyz"), kResultInsufficientBuffer);
  EXPECT_STREQ(bytes, "wx");
}

TEST(Utf8, RoundTripsAndReplacesMalformedBytes) {
  std::string text = "A\xc3\xa9\xe0\xb8\x81\xf0\x9f\x98\x80";
  std::u16string wide = Utf8ToUtf16(text);
  EXPECT_EQ(wide, u"A\u00e9\u0e01\U0001F600");
  EXPECT_EQ(Utf16ToUtf8(wide), text);
  EXPECT_EQ(Utf8ToUtf16("a\xffz\xc3"), u"a\uFFFDz\uFFFD");
  EXPECT_EQ(Utf8ToUtf16("\xc0\x80"), u"\uFFFD\uFFFD");  // overlong NUL
}

TEST(ColourText, FormatsRedFromTheLowByte) {
  EXPECT_EQ(FormatColour(0x00336699), u"#996633");
  uint32_t c = 0;
  ASSERT_TRUE(ParseColour(u"#996633", &c));
  EXPECT_EQ(c, 0x00336699u);
  ASSERT_TRUE(ParseColour(u"#AbCdEf", &c));
  EXPECT_EQ(c, 0x00EFCDABu);
}

TEST(ColourText, RefusesAnythingButSevenCharacters) {
  uint32_t c = 7;
  EXPECT_FALSE(ParseColour(u"#12345", &c));
  EXPECT_FALSE(ParseColour(u"#1234567", &c));
  EXPECT_FALSE(ParseColour(u"123456", &c));
  EXPECT_FALSE(ParseColour(u"#12345g", &c));
  EXPECT_FALSE(ParseColour(nullptr, &c));
  EXPECT_EQ(c, 7u);
}

// Names and words compare in ASCII case only: the whole text, not a prefix.
TEST(EqualsNoCase, WholeTextsInAsciiCaseOnly) {
  struct Case {
    std::u16string_view a, b;
    bool equal;
  };
  const Case cases[] = {{u"Smooth", u"smooth", true},   {u"", u"", true},
                        {u"smoothx", u"smooth", false}, {u"smoo", u"smooth", false},
                        {u"\u00c9", u"\u00e9", false},  {u"_SELF", u"_self", true}};
  for (const Case& c : cases) EXPECT_EQ(EqualsNoCase(c.a, c.b), c.equal) << Utf16ToUtf8(c.a);
}

}  // namespace
