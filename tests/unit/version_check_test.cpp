#include "update/version_check.h"

#include <gtest/gtest.h>

#include <string>

namespace {

TEST(VersionCheck, DueOnlyWhenBothPeriodsHaveRunOut) {
  const uint32_t day = 201;  // a little less than one day of high-half units
  struct Case {
    uint32_t now, checked, attempt;
    int due;
  };
  const Case cases[] = {
      {5000, 0, 0, 1},                             // never checked, never tried
      {5000, 5000 - 10 * day, 0, 0},               // 9.99 days since the check: not yet
      {5000, 5000 - 10 * 202, 0, 1},               // just over ten days
      {5000, 0, 5000 - 2 * day, 0},                // a failed attempt under two days ago
      {5000, 0, 5000 - 2 * 202, 1},                //   and just over two days
      {5000, 5000 - 20 * 202, 4999, 0},            // due by the check, not by the attempt
      {4000000000u, 3900000000u, 3900000000u, 1},  // large times, taken as unsigned
  };
  for (const Case& c : cases)
    EXPECT_EQ(IsCheckDue(c.now, 10, 2, c.checked, c.attempt), c.due) << c.now - c.checked;
}

TEST(VersionCheck, RequestNamesTheResourceAndTheAgent) {
  EXPECT_EQ(VersionRequest(u"/mervane/version-pl-w64.txt"),
            "GET /mervane/version-pl-w64.txt HTTP/1.0\r\nUser-Agent: Mervane/2.0.8 (Plug-in)\r\n\r\n");
  EXPECT_EQ(VersionRequest(std::u16string(5000, u'a')).size(), kVersionBufferBytes);
}

TEST(VersionCheck, AnswersTable) {
  struct Case {
    std::string data;
    int wellFormed;
    uint32_t version;
    std::u16string page, window;
  };
  const std::string head = "HTTP/1.0 200 OK\r\nServer: x\r\n\r\n";
  const Case cases[] = {
      {head + "!V2000802\r\n!Phttp://127.0.0.1/get\r\n!Wdownloads\r\n", 1, 2000802, u"http://127.0.0.1/get",
       u"downloads"},
      {head + "!V2000801\n!Pp\n", 1, 2000801, u"p", u"_self"},
      {head + "!V1\n!V3\n!Pa\n!Pb", 1, 3, u"b", u"_self"},  // later directives win; no final line end
      {head + "!V2000802\r\n", 0, 2000802, u"", u"_self"},  // no page
      {head + "!V0\r\n!Pp\r\n", 0, 0, u"p", u"_self"},
      {head + "ignored\n!Xy\n!\n!Vabc\n!Pp\n", 0, 0, u"p", u"_self"},
      {"HTTP/1.0 200 OK\r\n!V9\r\n!Pp\r\n", 0, 0, u"", u"_self"},      // no blank line
      {std::string("\r\n\r\n!V9\n\0!Pp\n", 14), 0, 9, u"", u"_self"},  // a NUL starts no directive
      {"", 0, 0, u"", u"_self"},
      {head + "!V5\n!P" + std::string(5000, 'p'), 1, 5,
       std::u16string(kVersionBufferBytes - head.size() - 6, u'p'), u"_self"},  // cut at the buffer's end
  };
  for (const Case& c : cases) {
    const VersionAnswer answer = ReadVersionAnswer(c.data.data(), c.data.size());
    EXPECT_EQ(answer.wellFormed, c.wellFormed) << c.data.substr(0, 60);
    EXPECT_EQ(answer.version, c.version) << c.data.substr(0, 60);
    EXPECT_EQ(answer.page, c.page) << c.data.substr(0, 60);
    EXPECT_EQ(answer.window, c.window) << c.data.substr(0, 60);
  }
}

}  // namespace
