#include "analysis/omr.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "analysis/ink_measure.h"
#include "analysis/omr_debug.h"
#include "analysis_pages.h"
#include "platform/platform.h"

#ifndef _WIN32
#include <unistd.h>
#endif

namespace {

// A form in reference coordinates: the four marks' outer corners span
// (100, 100)-(1499, 1999); answer boxes sit in the middle of the sheet.
constexpr int32_t kRefX = 100, kRefY = 100, kRefW = 1400, kRefH = 1900, kMark = 60;

struct Scan {
  double scale = 1.02;  // the scanner's slight enlargement and offset
  int32_t dx = 13, dy = 21;
  bool marks[4] = {true, true, true, true};
  bool dirt = true;
};

int32_t Place(double reference, double scale, int32_t offset) {
  return static_cast<int32_t>(std::lround(offset + scale * reference));
}

// Fills the reference rectangle as it appears on the scanned page.
void Ink(PageBitmap* page, const Scan& scan, int32_t x, int32_t y, int32_t w, int32_t h) {
  int32_t x0 = Place(x, scan.scale, scan.dx), y0 = Place(y, scan.scale, scan.dy);
  int32_t x1 = Place(x + w, scan.scale, scan.dx), y1 = Place(y + h, scan.scale, scan.dy);
  FillRect(page, x0, y0, x1 - x0, y1 - y0, true);
}

void Frame(PageBitmap* page, const Scan& scan, int32_t x, int32_t y, int32_t size) {
  Ink(page, scan, x, y, size, 3);
  Ink(page, scan, x, y + size - 3, size, 3);
  Ink(page, scan, x, y, 3, size);
  Ink(page, scan, x + size - 3, y, 3, size);
}

void DrawForm(PageBitmap* page, const Scan& scan) {
  ASSERT_TRUE(MakeWhitePage(page, 1700, 2200, 1));
  const int32_t markAt[4][2] = {{kRefX, kRefY},
                                {kRefX + kRefW - kMark, kRefY},
                                {kRefX + kRefW - kMark, kRefY + kRefH - kMark},
                                {kRefX, kRefY + kRefH - kMark}};
  for (int k = 0; k < 4; ++k) {
    if (scan.marks[k]) Ink(page, scan, markAt[k][0], markAt[k][1], kMark, kMark);
  }
  Frame(page, scan, 300, 800, 100);
  Ink(page, scan, 300, 800, 100, 100);  // filled
  Frame(page, scan, 500, 800, 100);
  Ink(page, scan, 500, 800, 50, 100);  // left half filled
  Frame(page, scan, 700, 800, 100);    // empty
  // Specks of dirt and a line of "text" near the corners must not win.
  if (!scan.dirt) return;
  Ink(page, scan, 250, 130, 4, 4);
  Ink(page, scan, 200, 260, 300, 12);
  Ink(page, scan, 1300, 1950, 5, 5);
}

void Calibrate(OmrCalibration* calibration, PageBitmap* page) {
  OMRInit(calibration, page, kRefX, kRefY, kRefW, kRefH, nullptr);
}

void ExpectFilledHalfEmpty(const OmrCalibration& calibration, PageBitmap* page) {
  EXPECT_GT(OMRCheck(&calibration, page, 310, 810, 80, 80), 0.98);
  EXPECT_NEAR(OMRCheck(&calibration, page, 510, 810, 80, 80), 0.5, 0.03);
  EXPECT_LT(OMRCheck(&calibration, page, 710, 810, 80, 80), 0.02);
}

TEST(Omr, FindsTheMarksOfAShiftedEnlargedScanAndReadsBoxes) {
  Scan scan;
  OwnedPage page;
  DrawForm(&page.bitmap, scan);
  OmrCalibration calibration;
  Calibrate(&calibration, &page.bitmap);
  ASSERT_TRUE(calibration.exists);
  ASSERT_TRUE(calibration.found);
  // Each corner is the outer corner pixel of its mark.
  const double corners[4][2] = {
      {kRefX, kRefY}, {kRefX + kRefW, kRefY}, {kRefX + kRefW, kRefY + kRefH}, {kRefX, kRefY + kRefH}};
  for (int k = 0; k < 4; ++k) {
    int32_t x = Place(corners[k][0], scan.scale, scan.dx) - (k == 1 || k == 2);
    int32_t y = Place(corners[k][1], scan.scale, scan.dy) - (k >= 2);
    EXPECT_EQ(calibration.corners[k].x, x) << k;
    EXPECT_EQ(calibration.corners[k].y, y) << k;
  }
  OmrPoint mapped;
  ASSERT_TRUE(MapReferencePoint(&calibration, 800, 1000, &mapped));
  EXPECT_NEAR(static_cast<double>(mapped.x), 13 + 1.02 * 800, 2);
  EXPECT_NEAR(static_cast<double>(mapped.y), 21 + 1.02 * 1000, 2);
  ExpectFilledHalfEmpty(calibration, &page.bitmap);
  // Boxes wholly outside the reference rectangle have no samples.
  EXPECT_FALSE(MapReferencePoint(&calibration, 50, 50, &mapped));
  EXPECT_EQ(OMRCheck(&calibration, &page.bitmap, 0, 0, 50, 50), 0.0);
  // A huge box is cut to the form instead of sampling for ever.
  double whole = OMRCheck(&calibration, &page.bitmap, -2000000000, -2000000000, 2147483647, 2147483647);
  EXPECT_GT(whole, 0.0);
  EXPECT_LT(whole, 0.1);
  // A form as large as the numbers go is refused rather than sampled for hours.
  OMRInit(&calibration, &page.bitmap, 0, 0, 2000000000, 2000000000, nullptr);
  ASSERT_TRUE(calibration.found);
  EXPECT_EQ(OMRCheck(&calibration, &page.bitmap, 0, 0, 2000000000, 2000000000), 0.0);
  EXPECT_GT(OMRCheck(&calibration, &page.bitmap, 0, 0, 1000, 1000), 0.0);
}

TEST(Omr, ScannerMarginsAlongAnEdgeAreIgnored) {
  for (int edge = 0; edge < 4; ++edge) {
    SCOPED_TRACE(edge);
    OwnedPage page;
    DrawForm(&page.bitmap, Scan{});
    // A dark band where the sheet did not cover the glass, touching the edge.
    const int32_t bands[4][4] = {
        {0, 0, 60, 2200}, {0, 0, 1700, 50}, {1650, 0, 50, 2200}, {0, 2120, 1700, 80}};
    FillRect(&page.bitmap, bands[edge][0], bands[edge][1], bands[edge][2], bands[edge][3], true);
    OmrCalibration calibration;
    Calibrate(&calibration, &page.bitmap);
    ASSERT_TRUE(calibration.found);
    ExpectFilledHalfEmpty(calibration, &page.bitmap);
  }
}

TEST(Omr, ThreeMarksOrAColourPageGiveNothing) {
  for (int missing = 0; missing < 4; ++missing) {
    Scan scan;
    scan.marks[missing] = false;
    scan.dirt = false;  // which would pass for the missing mark
    OwnedPage page;
    DrawForm(&page.bitmap, scan);
    OmrCalibration calibration;
    Calibrate(&calibration, &page.bitmap);
    EXPECT_TRUE(calibration.exists);
    EXPECT_FALSE(calibration.found) << missing;
    EXPECT_EQ(OMRCheck(&calibration, &page.bitmap, 310, 810, 80, 80), 0.0);
  }
  for (int32_t bits : {8, 24}) {
    OwnedPage page;
    ASSERT_TRUE(MakeWhitePage(&page.bitmap, 1700, 2200, bits));
    OmrCalibration calibration;
    calibration.exists = calibration.found = 1;
    Calibrate(&calibration, &page.bitmap);
    EXPECT_FALSE(calibration.exists) << bits;
    EXPECT_EQ(OMRCheck(&calibration, &page.bitmap, 310, 810, 80, 80), 0.0);
  }
  // A calibration made on a bilevel page reads nothing from a colour page.
  OwnedPage form, colour;
  DrawForm(&form.bitmap, Scan{});
  ASSERT_TRUE(MakeWhitePage(&colour.bitmap, 1700, 2200, 24));
  OmrCalibration calibration;
  Calibrate(&calibration, &form.bitmap);
  EXPECT_EQ(OMRCheck(&calibration, &colour.bitmap, 310, 810, 80, 80), 0.0);
}

void SetEnvironment(const char* name, const char* value) {
#ifdef _WIN32
  _putenv_s(name, value ? value : "");
#else
  if (value) {
    setenv(name, value, 1);
  } else {
    unsetenv(name);
  }
#endif
}

std::string ReadWholeFile(const std::u16string& name) {
  std::string text;
  FileHandle file = OpenFileForReading(name);
  if (!file) return text;
  char buffer[4096];
  for (int64_t n; (n = ReadFromFile(file, buffer, sizeof buffer)) > 0;)
    text.append(buffer, static_cast<size_t>(n));
  CloseFile(file);
  return text;
}

TEST(OmrDebug, OnOnlyForShortValuesBeginningWithOne) {
  const struct {
    const char* value;
    int on;
  } cases[] = {{"1", 1}, {"1yes", 1}, {"123456789", 1}, {"1234567890", 0}, {"0", 0}, {" 1", 0}, {nullptr, 0}};
  for (const auto& c : cases) {
    SetEnvironment("MERVANE_OMR_DEBUG", c.value);
    EXPECT_EQ(OmrDebugRequested(), c.on) << (c.value ? c.value : "(unset)");
  }
}

TEST(OmrDebug, TraceFileAndMarkedPage) {
#ifndef _WIN32
  // A folder of our own, so that parallel runs keep their traces apart.
  const char* oldTemp = getenv("TMPDIR");
  std::string savedTemp = oldTemp ? oldTemp : "";
  char folder[] = "/tmp/mrvomrXXXXXX";
  ASSERT_TRUE(mkdtemp(folder));
  SetEnvironment("TMPDIR", folder);
#endif
  std::u16string path = OmrDebugFilePath();
  FileHandle earlier = CreateFileForWriting(path);
  ASSERT_TRUE(earlier);
  ASSERT_EQ(WriteToFile(earlier, "earlier\n", 8), 8);
  CloseFile(earlier);
  OwnedPage page;
  DrawForm(&page.bitmap, Scan{});
  FillRect(&page.bitmap, 0, 0, 60, 2200, true);
  SetEnvironment("MERVANE_OMR_DEBUG", "1");
  OmrCalibration calibration;
  Calibrate(&calibration, &page.bitmap);
  SetEnvironment("MERVANE_OMR_DEBUG", nullptr);
  std::string trace = ReadWholeFile(path);
  DeleteFileAt(path);
#ifndef _WIN32
  rmdir(folder);
  SetEnvironment("TMPDIR", oldTemp ? savedTemp.c_str() : nullptr);
#endif
  ASSERT_TRUE(calibration.found);
  // The trace is appended to what the file held.
  std::string expected =
      "earlier\n-------------\nOMR_Info: x=100, y=100, w=1400, h=1900\nfind_corner (0,0)-(425,550) size 40\n";
  EXPECT_EQ(trace.compare(0, expected.size(), expected), 0) << trace.substr(0, 200);
  EXPECT_NE(trace.find(" size 1\n"), std::string::npos);
  char corners[200];
  snprintf(corners, sizeof corners, "Box found\ncpt[0] %d, %d\ncpt[1] %d, %d\n",
           int(calibration.corners[0].x), int(calibration.corners[0].y), int(calibration.corners[1].x),
           int(calibration.corners[1].y));
  EXPECT_NE(trace.find(corners), std::string::npos);

  // The page now shows the cleaned copy, with each corner found inverted.
  LightTest test;
  ASSERT_TRUE(PrepareLightTest(&test, &page.bitmap));
  EXPECT_TRUE(IsLightPixel(&test, 10, 1000));
  int32_t cx = static_cast<int32_t>(calibration.corners[0].x),
          cy = static_cast<int32_t>(calibration.corners[0].y);
  EXPECT_TRUE(IsLightPixel(&test, cx, cy));
  EXPECT_TRUE(IsLightPixel(&test, cx + 4, cy + 4));
  EXPECT_FALSE(IsLightPixel(&test, cx + 5, cy + 5));
  // Checks made with this calibration invert what they sampled.
  EXPECT_GT(OMRCheck(&calibration, &page.bitmap, 310, 810, 80, 80), 0.98);
  EXPECT_LT(OMRCheck(&calibration, &page.bitmap, 310, 810, 80, 80), 0.02);
}

}  // namespace
