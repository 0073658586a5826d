#include "common/local_access.h"

#include <gtest/gtest.h>

#include <string>

namespace {

struct Case {
  int32_t setting;
  const char16_t* address;
  int allowed;
  const char16_t* logged;
};

TEST(LocalAccess, DecidesByAddressKindAndSetting) {
  const Case cases[] = {
      {1, u"C:\\SCANS\\FAX.TIFF", 1, u""},
      {1, u"c:\\docs\\letter.pdf", 0, u"Error: Remote access to local non-TIFF files not allowed.\r\n"},
      {1, u"http://example.test/doc.pdf", 1, u""},
      {1, u"JavaScript:alert(1)", 0, u"Error: Remote access to local non-TIFF files not allowed.\r\n"},
      {0, u"vbscript:x", 0, u"Error: Remote access to local files not allowed.\r\n"},
      {0, u"file:///c:/a.tif", 0, u"Error: Remote access to local files not allowed.\r\n"},
      {0, u"\\\\server\\share\\a.tif", 0, u"Error: Remote access to local files not allowed.\r\n"},
      {1, u"/c:/scans/a.MrvTif", 1, u""},
      {0, u"https://example.test/a.tif", 1, u""},
      {2, u"javascript:anything", 1, u""},
      {2, u"c:\\windows\\win.ini", 1, u""},
  };
  for (const Case& c : cases) {
    MessageLog log;
    EXPECT_EQ(CheckLocalAccess(c.setting, &log, c.address), c.allowed)
        << std::string(c.address, c.address + std::char_traits<char16_t>::length(c.address));
    EXPECT_EQ(std::u16string(TextOf(&log.text)), c.logged);
  }
}

// Browsers drop leading and trailing controls and spaces and every tab, CR and
// LF before they act on an address, and a query or fragment is no part of the
// file's name; addresses built to slip past the rule that way are refused.
TEST(LocalAccess, AddressesAreJudgedAsTheBrowserWillReadThem) {
  const Case cases[] = {
      {1, u" javascript:alert(1)", 0, u"Error: Remote access to local non-TIFF files not allowed.\r\n"},
      {0, u"\x01\x1f vbscript:x", 0, u"Error: Remote access to local files not allowed.\r\n"},
      {1, u"java\tscript:alert(1)", 0, u"Error: Remote access to local non-TIFF files not allowed.\r\n"},
      {1, u"javascript\n:alert(1)", 0, u"Error: Remote access to local non-TIFF files not allowed.\r\n"},
      {1, u"j\ra\nvascript:x", 0, u"Error: Remote access to local non-TIFF files not allowed.\r\n"},
      {0, u"  c:\\secret.tif", 0, u"Error: Remote access to local files not allowed.\r\n"},
      {0, u"\tfi\nle:///c:/a.tif", 0, u"Error: Remote access to local files not allowed.\r\n"},
      {1, u"file:///c:/secret.txt?.tif", 0, u"Error: Remote access to local non-TIFF files not allowed.\r\n"},
      {1, u"file:///c:/secret.txt#.tif", 0, u"Error: Remote access to local non-TIFF files not allowed.\r\n"},
      {1, u"c:\\secret.txt#x?.tiff", 0, u"Error: Remote access to local non-TIFF files not allowed.\r\n"},
      {1, u"file:///c:/secret.txt .tif \x1f", 1, u""},  // the name itself ends in .tif
      {1, u"file:///c:/scan.tif?page=2#top", 1, u""},
      {1, u"C:\\SCANS\\FAX.TI\tF\r\n", 1, u""},
      {1, u"http://example.test/a.php?x=.txt", 1, u""},
  };
  for (const Case& c : cases) {
    MessageLog log;
    EXPECT_EQ(CheckLocalAccess(c.setting, &log, c.address), c.allowed)
        << std::string(c.address, c.address + std::char_traits<char16_t>::length(c.address));
    EXPECT_EQ(std::u16string(TextOf(&log.text)), c.logged);
  }
}

TEST(LocalAccess, NullAddressIsAllowed) {
  MessageLog log;
  EXPECT_EQ(CheckLocalAccess(0, &log, nullptr), 1);
  EXPECT_EQ(log.errorCount, 0);
}

}  // namespace
