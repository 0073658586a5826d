#include "common/suggested_name.h"

#include <gtest/gtest.h>

namespace {

TEST(SuggestedName, TakesTheTiffComponentOfAnAddress) {
  EXPECT_EQ(SuggestFileName(u"http://host.test/scans/Fax01.TIF", true, true), u"Fax01.TIF");
  EXPECT_EQ(SuggestFileName(u"http://host.test/scans/Fax01.TIF", true, false), u"Fax01");
  EXPECT_EQ(SuggestFileName(u"C:\\temp\\letter.tiff", false, false), u"letter");
}

TEST(SuggestedName, BuildsFromDocidAndPagenum) {
  EXPECT_EQ(SuggestFileName(u"http://host.test/get.asp?DocId=ABC&PageNum=7", true, true), u"abc-007.tif");
  EXPECT_EQ(SuggestFileName(u"http://host.test/get.asp?docid=ABC&pagenum=0", true, false), u"abc");
  EXPECT_EQ(SuggestFileName(u"http://host.test/get.asp?docid=abcdefghijklmnopqrstuvwxyz0123", true, false),
            u"abcdefghijklmnopqrstuvwxy");
  EXPECT_EQ(SuggestFileName(u"http://host.test/get.asp?id=5", true, true), u"");
  EXPECT_EQ(SuggestFileName(u"http://host.test/doc.pdf", true, true), u"");
}

TEST(SuggestedName, DecodesEscapesAndReplacesUnsafeCharacters) {
  EXPECT_EQ(SuggestFileName(u"http://host.test/R%C3%A9sum%C3%A9.tif", true, true), u"R\u00e9sum\u00e9.tif");
  EXPECT_EQ(SuggestFileName(u"http://host.test/caf%E9.tif", true, true), u"caf\u00e9.tif");
  EXPECT_EQ(SuggestFileName(u"http://host.test/a%2Ab%7Cc.tif", true, true), u"a_b_c.tif");
}

TEST(SuggestedName, BaseNameMustBeShort) {
  std::u16string longBase(100, u'x');
  EXPECT_EQ(SuggestFileName(u"http://host.test/" + longBase + u".tif", true, true), u"");
  std::u16string okBase(99, u'x');
  EXPECT_EQ(SuggestFileName(u"http://host.test/" + okBase + u".tif", true, true), okBase + u".tif");
}

}  // namespace
