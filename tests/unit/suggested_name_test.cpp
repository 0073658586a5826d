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

// The save dialog's suggestions, without the extension.
TEST(SuggestedName, SaveDialogTable) {
  struct Case {
    const char16_t* source;
    bool isAddress;
    const char16_t* name;
  } cases[] = {
      {u"http://host.test/files/report.TIFF", true, u"report"},
      {u"http://host.test/view?docid=A17&pagenum=3", true, u"a17-003"},
      {u"http://host.test/view?pagenum=12&docid=A17", true, u"a17-012"},
      {u"http://host.test/view?docid=A%2017&pagenum=x", true, u"a 17"},
      {u"http://host.test/view?docid=a|b*c\"d", true, u"a_b_c_d"},
      {u"http://host.test/My%20Scan%3F.tif", true, u"My Scan_"},
      {u"/home/clerk/in box/fax 7.tif", false, u"fax 7"},
  };
  for (const Case& c : cases) EXPECT_EQ(SuggestFileName(c.source, c.isAddress, false), c.name);
}

TEST(SuggestedName, BaseNameMustBeShort) {
  std::u16string longBase(100, u'x');
  EXPECT_EQ(SuggestFileName(u"http://host.test/" + longBase + u".tif", true, true), u"");
  std::u16string okBase(99, u'x');
  EXPECT_EQ(SuggestFileName(u"http://host.test/" + okBase + u".tif", true, true), okBase + u".tif");
}

}  // namespace
