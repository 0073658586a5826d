#include "dialogs/information_report.h"

#include <string>
#include <vector>

#include "common/text_buffer.h"
#include "tiff_fixture.h"
#include "viewer/download_intake.h"
#include "viewer_fixture.h"

namespace {

class Report : public ViewerTest {
 protected:
  // Streams a 300 x 200 grey page (densities 200 x 100 per inch, named
  // software) from `url` into the instance, as the browser would.
  void Load(const std::u16string& url) {
    TestPage page;
    page.width = 300;
    page.height = 200;
    page.xResolution = 200;
    page.yResolution = 100;
    page.software = "Scanner 7";
    page.rows.assign(1, std::vector<std::vector<uint8_t>>(200, std::vector<uint8_t>(300, 0x80)));
    const std::vector<uint8_t> bytes = WriteTestTiff(page);
    const uint32_t size = static_cast<uint32_t>(bytes.size());
    ASSERT_EQ(BeginDownload(viewer_, &stream_, url.c_str(), u"image/tiff", size), kBeginAccepted);
    ASSERT_GT(ReceiveData(viewer_, 0, static_cast<int32_t>(size), bytes.data()), 0);
    ASSERT_EQ(EndDownload(viewer_, kReasonDone), 0);
    ASSERT_TRUE(viewer_->download.hasPages);
  }
  std::string Text() { return Utf16ToUtf8(InformationReport(viewer_, environment_)); }
  static bool Has(const std::string& text, const std::string& part) {
    return text.find(part) != std::string::npos;
  }

  EnvironmentFacts environment_;
  int stream_ = 0;
};

TEST_F(Report, BeforeAnyDownloadThereIsNoFileAndTheCheckNeverRan) {
  const std::string text = Text();
  EXPECT_EQ(
      text.rfind("------ Mervane TIFF Image Viewer ------\r\nVersion 2.0.8 (64-bit Netscape-style plug-in) "
                 "\u2013 May 22 2015\r\n",
                 0),
      0u)
      << text;
  EXPECT_FALSE(Has(text, "Current TIFF File"));
  EXPECT_FALSE(Has(text, "Current Page"));
  EXPECT_TRUE(Has(text, "\r\nLast update check:\tNever\r\n"));
  EXPECT_FALSE(Has(text, "Last update attempt"));
}

TEST_F(Report, TheFileAndThePageAreDescribed) {
  Load(u"http://127.0.0.1/scan.tif");
  const std::string text = Text();
  const char* expected =
      "\r\n------ Current TIFF File ------\r\n"
      "URL:\thttp://127.0.0.1/scan.tif\r\n"
      "Local file:\t(in memory)\r\n";
  EXPECT_TRUE(Has(text, expected)) << text;
  EXPECT_TRUE(Has(text, "Number of pages:\t1\r\n"));
  const char* page =
      "\r\n------ Current Page ------\r\n"
      "Page number:\t1 of 1\r\n"
      "Dimensions:\t300 \u00d7 200 pixels (adjusted to 300 \u00d7 400)\r\n"
      "Pixel density:\t200.0 \u00d7 100.0 pixels/inch\r\n"
      "Image size:\t1.50 \u00d7 2.00 inches\r\n"
      "Color type:\tGrayscale, min-is-black\r\n"
      "Bits/pixel:\t8\r\n"
      "Compression:\tNone\r\n"
      "Created with:\tScanner 7\r\n";
  EXPECT_TRUE(Has(text, page)) << text;
}

TEST_F(Report, DensityLinesFollowTheUnit) {
  Load(u"http://127.0.0.1/scan.tif");
  struct Case {
    int32_t unit;
    int32_t valid;
    const char* lines;
  };
  const Case cases[] = {
      {3, 1, "Pixel density:\t200.0 \u00d7 100.0 pixels/cm\r\nImage size:\t1.50 \u00d7 2.00 cm\r\nColor"},
      {1, 1, "Pixel density:\t200.0 \u00d7 100.0 (unitless)\r\nColor"},
      {2, 0, "Pixel density:\tUnknown\r\nColor"},
  };
  for (const Case& c : cases) {
    viewer_->view.pageInfo.resolutionUnit = c.unit;
    viewer_->view.pageInfo.resolutionValid = c.valid;
    EXPECT_TRUE(Has(Text(), c.lines)) << c.unit << " " << c.valid << "\n" << Text();
  }
}

TEST_F(Report, RestrictionOfAddressesLeavesOutEveryAddress) {
  SetText(&viewer_->params.href, u"http://127.0.0.1/next");
  Load(u"http://127.0.0.1/scan.tif");
  EXPECT_TRUE(Has(Text(), "Link to:\thttp://127.0.0.1/next\r\n"));
  viewer_->access.restrictions = kRestrictCopyLink;
  const std::string text = Text();
  for (const char* label : {"URL:", "Local file:", "Link to:"}) EXPECT_FALSE(Has(text, label)) << label;
  EXPECT_TRUE(Has(text, "Size:\t"));
}

TEST_F(Report, LongAddressesAreCutAndTheWholeReportStaysInItsBuffer) {
  const std::u16string url = u"http://127.0.0.1/" + std::u16string(383, u'a');
  Load(url);
  EXPECT_TRUE(Has(Text(), "URL:\t" + Utf16ToUtf8(url.substr(0, 300)) + "...\r\n"));
  environment_.userAgent.assign(40000, u'x');
  EXPECT_EQ(InformationReport(viewer_, environment_).size(), kReportMaximum);
}

TEST_F(Report, UpdateTimesReadInDays) {
  Library().lastChecked = 1000;
  Library().lastAttempt = 1500;
  environment_.nowHigh = 1000 + 2012;  // ten days of high-half units, and a little
  const std::string text = Text();
  EXPECT_TRUE(Has(text, "Last update check:\t10.0 days ago\r\nLast update attempt:\t7.5 days ago\r\n"))
      << text;
}

TEST(Notice, TidyingTable) {
  struct Case {
    const char16_t* in;
    const char16_t* out;
  };
  const Case cases[] = {
      {u"LIBTIFF, Version 4.5.0\nCopyright (c) 1988-1996 Sam Leffler",
       u"LIBTIFF, Version 4.5.0\r\nCopyright \u00a9 1988\u20131996 Sam Leffler"},
      {u"a\r\nb (C) 99-1", u"a\r\nb \u00a9 99-1"},  // CR LF stays; a dash after two digits too
      {u"(c", u"(c"},
  };
  for (const Case& c : cases) EXPECT_EQ(TidyNotice(c.in, 100), std::u16string(c.out));
  EXPECT_EQ(TidyNotice(u"abcdef", 4), u"abcd");
}

TEST_F(Report, ErrorLogJoinsTheGeneralAndThePageLog) {
  EXPECT_EQ(ErrorLogText(viewer_), u"");
  SetText(&viewer_->logs.pageLog.text, u"Error: page");
  EXPECT_EQ(ErrorLogText(viewer_), u"Error: page");
  SetText(&viewer_->logs.documentLog.text, u"Warning: file");
  EXPECT_EQ(ErrorLogText(viewer_), u"Warning: file\r\nError: page");
}

}  // namespace
