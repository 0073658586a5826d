#include "document/page_loader.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "common/text_format.h"
#include "document/disabled_compressions.h"
#include "document/page_bitmap.h"
#include "document/tiff_adapter.h"
#include "tiff_fixture.h"

namespace {

std::string LogText(const MessageLog& log) { return Utf16ToUtf8(TextOf(&log.text)); }

// A bilevel picture with runs of both colours in every row, packed MSB first.
std::vector<std::vector<uint8_t>> BilevelRows(uint32_t width, uint32_t height) {
  std::vector<std::vector<uint8_t>> rows(height, std::vector<uint8_t>((width + 7) / 8));
  for (uint32_t y = 0; y < height; ++y) {
    for (uint32_t x = 0; x < width; ++x) {
      bool black = ((x / 3 + y / 2) % 3 == 0) || (x * y) % 17 == 1;
      if (black) rows[y][x / 8] |= static_cast<uint8_t>(0x80 >> (x % 8));
    }
  }
  return rows;
}

std::vector<std::vector<uint8_t>> GreyRows(uint32_t width, uint32_t height, uint32_t bytesPerPixel = 1) {
  std::vector<std::vector<uint8_t>> rows(height, std::vector<uint8_t>(width * bytesPerPixel));
  for (uint32_t y = 0; y < height; ++y) {
    for (uint32_t i = 0; i < width * bytesPerPixel; ++i) rows[y][i] = static_cast<uint8_t>(i * 7 + y * 13);
  }
  return rows;
}

TestPage Bilevel(uint16_t compression, uint32_t width = 61, uint32_t height = 29) {
  TestPage page;
  page.width = width;
  page.height = height;
  page.bitsPerSample = 1;
  page.photometric = PHOTOMETRIC_MINISWHITE;
  page.compression = compression;
  page.rows = {BilevelRows(width, height)};
  return page;
}

void ExpectSameAsLibtiff(const std::vector<uint8_t>& bytes, const char* what) {
  SCOPED_TRACE(what);
  ASSERT_FALSE(bytes.empty());
  PageInfo info;
  PageBitmap bitmap;
  MessageLog log;
  ASSERT_TRUE(LoadFirstPage(bytes, &info, &bitmap, &log)) << LogText(log);
  EXPECT_EQ(log.errorCount, 0) << LogText(log);
  Picture ours = PictureOf(bitmap);
  Picture theirs = RgbaPictureOf(bytes);
  ASSERT_EQ(ours.width, theirs.width);
  ASSERT_EQ(ours.height, theirs.height);
  size_t differing = 0;
  for (size_t i = 0; i < ours.rgb.size(); ++i) differing += ours.rgb[i] != theirs.rgb[i];
  EXPECT_EQ(differing, 0u);
  ReleasePageBitmap(&bitmap);
}

// A little-endian classic TIFF with one directory (entries in tag order)
// followed by `data`, which starts at DataOffset(entries.size()).
struct RawEntry {
  uint16_t tag, type;
  uint32_t count, value;
};

uint32_t DataOffset(size_t entries) { return static_cast<uint32_t>(8 + 2 + 12 * entries + 4); }

std::vector<uint8_t> HandMadeTiff(const std::vector<RawEntry>& entries, const std::vector<uint8_t>& data) {
  std::vector<uint8_t> file = {'I', 'I', 42, 0, 8, 0, 0, 0};
  auto put = [&file](uint32_t v, int n) {
    for (int i = 0; i < n; ++i) file.push_back(static_cast<uint8_t>(v >> (8 * i)));
  };
  put(static_cast<uint32_t>(entries.size()), 2);
  for (const RawEntry& e : entries) {
    put(e.tag, 2);
    put(e.type, 2);
    put(e.count, 4);
    put(e.value, 4);
  }
  put(0, 4);
  file.insert(file.end(), data.begin(), data.end());
  return file;
}

// The fax codes tiffcp cannot write: modified Huffman in its byte-aligned and
// word-aligned forms, in both fill orders.
TEST(PageLoader, ModifiedHuffmanPagesMatchLibtiff) {
  ExpectSameAsLibtiff(WriteTestTiff(Bilevel(COMPRESSION_CCITTRLE)), "CCITT RLE");
  ExpectSameAsLibtiff(WriteTestTiff(Bilevel(COMPRESSION_CCITTRLEW)), "CCITT RLE/W");
  TestPage lsb = Bilevel(COMPRESSION_CCITTRLE);
  lsb.extraTags = [](TIFF* t) { TIFFSetField(t, TIFFTAG_FILLORDER, FILLORDER_LSB2MSB); };
  ExpectSameAsLibtiff(WriteTestTiff(lsb), "CCITT RLE, fill order 2");
  TestPage black = Bilevel(COMPRESSION_CCITTFAX4);
  black.photometric = PHOTOMETRIC_MINISBLACK;
  black.rowsPerStrip = 4;
  ExpectSameAsLibtiff(WriteTestTiff(black), "G4 min-is-black in strips");
}

TEST(PageLoader, MinIsWhiteBilevelIsInvertedUnderABlackWhiteTable) {
  TestPage page = Bilevel(COMPRESSION_NONE, 16, 2);
  page.rows = {{{0xF0, 0x0F}, {0x00, 0xFF}}};
  std::vector<uint8_t> bytes = WriteTestTiff(page);
  PageInfo info;
  PageBitmap bitmap;
  MessageLog log;
  ASSERT_TRUE(LoadFirstPage(bytes, &info, &bitmap, &log));
  EXPECT_EQ(HeaderOf(&bitmap)->bitCount, 1);
  EXPECT_TRUE(bitmap.greyRamp);
  const uint8_t* table = ColourTableOf(&bitmap);
  EXPECT_EQ(table[0] | table[1] | table[2], 0);
  EXPECT_EQ(table[4] & table[5] & table[6], 255);
  // Stored bottom-up: the last picture row comes first.
  EXPECT_EQ(RowOf(&bitmap, 1)[0], 0x0F);
  EXPECT_EQ(RowOf(&bitmap, 1)[1], 0xF0);
  EXPECT_EQ(RowOf(&bitmap, 0)[0], 0xFF);
  EXPECT_EQ(RowOf(&bitmap, 0)[1], 0x00);
  ReleasePageBitmap(&bitmap);
}

TestPage Palette(uint16_t bits, std::vector<uint16_t> map, std::vector<std::vector<uint8_t>> rows) {
  TestPage page;
  page.width = 8;
  page.height = static_cast<uint32_t>(rows.size());
  page.bitsPerSample = bits;
  page.photometric = PHOTOMETRIC_PALETTE;
  page.colourMap = std::move(map);
  page.rows = {std::move(rows)};
  return page;
}

TEST(PageLoader, TwoEntryPaletteIsReorderedBlackFirstWithInvertedPixels) {
  // Entry 0 white, entry 1 black.
  std::vector<uint8_t> bytes = WriteTestTiff(Palette(1, {65535, 0, 65535, 0, 65535, 0}, {{0x81}}));
  PageInfo info;
  PageBitmap bitmap;
  MessageLog log;
  ASSERT_TRUE(LoadFirstPage(bytes, &info, &bitmap, &log));
  const uint8_t* table = ColourTableOf(&bitmap);
  EXPECT_EQ(table[0], 0);
  EXPECT_EQ(table[4], 255);
  EXPECT_TRUE(bitmap.greyRamp);
  EXPECT_EQ(RowOf(&bitmap, 0)[0], 0x7E);
  Picture p = PictureOf(bitmap);
  EXPECT_EQ(p.rgb[0], 0x000000u);  // index 1 was black
  EXPECT_EQ(p.rgb[1], 0xFFFFFFu);
  ReleasePageBitmap(&bitmap);
}

TEST(PageLoader, EightBitColourMapIsRepairedWithAWarning) {
  std::vector<uint16_t> map(3 * 16, 0);
  for (int i = 0; i < 16; ++i) {
    map[i] = static_cast<uint16_t>(i * 16);
    map[16 + i] = 200;
    map[32 + i] = static_cast<uint16_t>(255 - i);
  }
  std::vector<uint8_t> bytes = WriteTestTiff(Palette(4, map, {{0x01, 0x23, 0x45, 0xEF}}));
  PageInfo info;
  PageBitmap bitmap;
  MessageLog log;
  ASSERT_TRUE(LoadFirstPage(bytes, &info, &bitmap, &log));
  EXPECT_NE(LogText(log).find("Warning: All colors are indistinguishable from black. Assuming palette is "
                              "incorrect, and attempting to repair."),
            std::string::npos);
  Picture p = PictureOf(bitmap);
  EXPECT_EQ(p.rgb[1], (16u << 16) | (200u << 8) | 254u);
  EXPECT_EQ(p.rgb[7], (240u << 16) | (200u << 8) | 240u);
  ReleasePageBitmap(&bitmap);

  // A proper 16-bit map, and one that is entirely black, are taken as they are.
  for (uint16_t& v : map) v = static_cast<uint16_t>(v * 257);
  MessageLog quiet;
  ASSERT_TRUE(LoadFirstPage(WriteTestTiff(Palette(4, map, {{0x01, 0, 0, 0}})), &info, &bitmap, &quiet));
  EXPECT_EQ(quiet.warningCount, 0);
  EXPECT_EQ(PictureOf(bitmap).rgb[1], (16u << 16) | (200u << 8) | 254u);
  ReleasePageBitmap(&bitmap);
  std::fill(map.begin(), map.end(), 0);
  MessageLog black;
  ASSERT_TRUE(LoadFirstPage(WriteTestTiff(Palette(4, map, {{0x01, 0, 0, 0}})), &info, &bitmap, &black));
  EXPECT_EQ(black.warningCount, 0);
  ReleasePageBitmap(&bitmap);
}

TEST(PageLoader, TwoBitGreyIsHeldInFourBits) {
  TestPage page;
  page.width = 5;
  page.height = 1;
  page.bitsPerSample = 2;
  page.rows = {{{0x1B, 0xC0}}};  // 0 1 2 3 3
  PageInfo info;
  PageBitmap bitmap;
  MessageLog log;
  ASSERT_TRUE(LoadFirstPage(WriteTestTiff(page), &info, &bitmap, &log));
  EXPECT_EQ(HeaderOf(&bitmap)->bitCount, 4);
  EXPECT_TRUE(bitmap.twoBit);
  EXPECT_FALSE(bitmap.greyRamp);
  const uint8_t* table = ColourTableOf(&bitmap);
  EXPECT_EQ(table[4 * 1], 85);
  EXPECT_EQ(table[4 * 2], 170);
  EXPECT_EQ(table[4 * 3], 255);
  EXPECT_EQ(table[4 * 4], 0);
  EXPECT_EQ(RowOf(&bitmap, 0)[0], 0x01);
  EXPECT_EQ(RowOf(&bitmap, 0)[1], 0x23);
  EXPECT_EQ(RowOf(&bitmap, 0)[2], 0x30);
  ReleasePageBitmap(&bitmap);

  page.photometric = PHOTOMETRIC_MINISWHITE;
  ASSERT_TRUE(LoadFirstPage(WriteTestTiff(page), &info, &bitmap, &log));
  EXPECT_EQ(RowOf(&bitmap, 0)[0], 0x32);
  EXPECT_EQ(RowOf(&bitmap, 0)[2], 0x00);
  ReleasePageBitmap(&bitmap);
}

TEST(PageLoader, SixteenBitGreyShowsTheHighBytes) {
  TestPage page;
  page.width = 3;
  page.height = 1;
  page.bitsPerSample = 16;
  uint16_t samples[3] = {0x12FF, 0xAB00, 0xFFFF};
  std::vector<uint8_t> row(6);
  memcpy(row.data(), samples, 6);
  page.rows = {{row}};
  PageInfo info;
  PageBitmap bitmap;
  MessageLog log;
  ASSERT_TRUE(LoadFirstPage(WriteTestTiff(page), &info, &bitmap, &log));
  EXPECT_EQ(info.bitsPerPixel, 16);
  EXPECT_EQ(RowOf(&bitmap, 0)[0], 0x12);
  EXPECT_EQ(RowOf(&bitmap, 0)[1], 0xAB);
  EXPECT_EQ(RowOf(&bitmap, 0)[2], 0xFF);
  ReleasePageBitmap(&bitmap);
}

TEST(PageLoader, OrientationSixTurnsAQuarterClockwise) {
  TestPage page;
  page.width = 100;
  page.height = 50;
  page.orientation = ORIENTATION_RIGHTTOP;
  page.xResolution = 200;
  page.yResolution = 100;
  page.rows = {GreyRows(100, 50)};
  std::vector<uint8_t> bytes = WriteTestTiff(page);
  PageInfo info;
  PageBitmap bitmap;
  MessageLog log;
  ASSERT_TRUE(LoadFirstPage(bytes, &info, &bitmap, &log));
  EXPECT_EQ(info.width, 50u);
  EXPECT_EQ(info.height, 100u);
  EXPECT_EQ(info.xResolution, 100.0);
  EXPECT_EQ(info.yResolution, 200.0);
  EXPECT_EQ(HeaderOf(&bitmap)->xPixelsPerMetre, 3937);
  EXPECT_EQ(HeaderOf(&bitmap)->yPixelsPerMetre, 7874);
  Picture p = PictureOf(bitmap);
  ASSERT_EQ(p.width, 50u);
  ASSERT_EQ(p.height, 100u);
  int wrong = 0;
  for (uint32_t y = 0; y < 100; ++y) {
    for (uint32_t x = 0; x < 50; ++x) {
      uint8_t grey = page.rows[0][49 - x][y];  // out(y, x) = in(H-1-x, y)
      wrong += p.rgb[y * 50 + x] != (uint32_t{grey} * 0x010101u);
    }
  }
  EXPECT_EQ(wrong, 0);
  ReleasePageBitmap(&bitmap);
}

TEST(PageLoader, LimitsAreReportedBeforeAnyPixelMemory) {
  PageInfo info;
  PageBitmap bitmap;
  TestPage wide = Bilevel(COMPRESSION_PACKBITS, 10485761, 1);
  wide.rows = {{std::vector<uint8_t>((10485761 + 7) / 8, 0)}};
  MessageLog log;
  EXPECT_FALSE(LoadFirstPage(WriteTestTiff(wide), &info, &bitmap, &log));
  EXPECT_EQ(LogText(log), "Error: Invalid or unsupported image width or height\r\n");
  EXPECT_EQ(bitmap.block, nullptr);
  EXPECT_TRUE(info.valid);
  EXPECT_FALSE(info.loaded);

  TestPage big;
  big.width = 1200;
  big.height = 1000;
  big.compression = COMPRESSION_PACKBITS;
  big.rows = {std::vector<std::vector<uint8_t>>(1000, std::vector<uint8_t>(1200, 7))};
  std::vector<uint8_t> bytes = WriteTestTiff(big);
  PageLoadOptions limited;
  limited.memoryLimitMb = 1;
  MessageLog limitLog;
  EXPECT_FALSE(LoadFirstPage(bytes, &info, &bitmap, &limitLog, &limited));
  EXPECT_EQ(LogText(limitLog), "Error: Image too large, exceeds configured 1MB memory limit\r\n");
  limited.memoryLimitMb = 2;
  MessageLog roomLog;
  EXPECT_TRUE(LoadFirstPage(bytes, &info, &bitmap, &roomLog, &limited));
  ReleasePageBitmap(&bitmap);

  SetDisabledCompressions({COMPRESSION_CCITTFAX4, COMPRESSION_LZW});
  MessageLog disabledLog;
  EXPECT_FALSE(LoadFirstPage(WriteTestTiff(Bilevel(COMPRESSION_CCITTFAX4)), &info, &bitmap, &disabledLog));
  EXPECT_EQ(LogText(disabledLog), "Error: CCITT Group 4 compression support is disabled\r\n");
  MessageLog allowedLog;
  EXPECT_TRUE(LoadFirstPage(WriteTestTiff(Bilevel(COMPRESSION_CCITTFAX3)), &info, &bitmap, &allowedLog));
  ClearDisabledCompressions();
  ReleasePageBitmap(&bitmap);
}

TEST(PageLoader, GroupThreeWithoutEolCodesIsReadAsModifiedHuffman) {
  // Modified Huffman rows run together without alignment: what some fax
  // servers label as Group 3 with T4Options 0.
  TestPage mh = Bilevel(COMPRESSION_CCITTRLE, 200, 40);
  mh.extraTags = [](TIFF* t) { TIFFSetField(t, TIFFTAG_FAXMODE, FAXMODE_NORTC | FAXMODE_NOEOL); };
  std::vector<uint8_t> bytes = WriteTestTiff(mh);
  ASSERT_FALSE(bytes.empty());
  InstallSilentHandlers();
  TIFF* t = OpenTiffFromMemory(bytes.data(), static_cast<uint32_t>(bytes.size()));
  ASSERT_NE(t, nullptr);
  std::vector<uint8_t> strip(static_cast<size_t>(TIFFRawStripSize(t, 0)));
  ASSERT_GT(TIFFReadRawStrip(t, 0, strip.data(), static_cast<tmsize_t>(strip.size())), 0);
  TIFFClose(t);
  // The same strip under a hand-made Group 3 directory.
  std::vector<uint8_t> file = HandMadeTiff({{256, 3, 1, 200},
                                            {257, 3, 1, 40},
                                            {258, 3, 1, 1},
                                            {259, 3, 1, 3},
                                            {262, 3, 1, 0},
                                            {273, 4, 1, DataOffset(9)},
                                            {278, 3, 1, 40},
                                            {279, 4, 1, static_cast<uint32_t>(strip.size())},
                                            {292, 4, 1, 0}},
                                           strip);

  PageInfo info;
  PageBitmap bitmap;
  MessageLog log;
  ASSERT_TRUE(LoadFirstPage(file, &info, &bitmap, &log)) << LogText(log);
  EXPECT_NE(
      LogText(log).find("Warning: No EOL markers found. Assuming this is a nonstandard compressed format "
                        "that doesn't use EOL markers."),
      std::string::npos);
  EXPECT_EQ(info.compression, COMPRESSION_CCITTFAX3);
  int wrong = 0;
  for (uint32_t y = 0; y < 40; ++y) {
    for (uint32_t i = 0; i < 25; ++i)
      wrong += RowOf(&bitmap, 39 - y)[i] != static_cast<uint8_t>(~mh.rows[0][y][i]);
  }
  EXPECT_EQ(wrong, 0);
  ReleasePageBitmap(&bitmap);

  // Real Group 3 data keeps its EOL codes and is left alone.
  MessageLog g3Log;
  TestPage real = Bilevel(COMPRESSION_CCITTFAX3, 200, 40);
  real.extraTags = [](TIFF* tiff) { TIFFSetField(tiff, TIFFTAG_GROUP3OPTIONS, 0); };
  ASSERT_TRUE(LoadFirstPage(WriteTestTiff(real), &info, &bitmap, &g3Log));
  EXPECT_EQ(g3Log.warningCount, 0) << LogText(g3Log);
  ReleasePageBitmap(&bitmap);
}

TEST(PageLoader, CorruptLzwRowShowsTheFillPatternAndTheRestOfThePage) {
  TestPage page;
  page.width = 40;
  page.height = 6;
  page.compression = COMPRESSION_LZW;
  page.rowsPerStrip = 1;
  page.rows = {GreyRows(40, 6)};
  std::vector<uint8_t> bytes = WriteTestTiff(page);
  // Overwrite the third row's strip with codes no LZW table can hold.
  InstallSilentHandlers();
  TIFF* t = OpenTiffFromMemory(bytes.data(), static_cast<uint32_t>(bytes.size()));
  ASSERT_NE(t, nullptr);
  uint64_t* offsets = nullptr;
  uint64_t* counts = nullptr;
  ASSERT_TRUE(TIFFGetField(t, TIFFTAG_STRIPOFFSETS, &offsets));
  ASSERT_TRUE(TIFFGetField(t, TIFFTAG_STRIPBYTECOUNTS, &counts));
  uint64_t at = offsets[2], count = counts[2];
  TIFFClose(t);
  memset(bytes.data() + at, 0xFF, count);

  PageInfo info;
  PageBitmap bitmap;
  MessageLog log;
  ASSERT_TRUE(LoadFirstPage(bytes, &info, &bitmap, &log));
  EXPECT_EQ(log.errorCount, 0);
  EXPECT_GT(log.warningCount, 0);
  for (uint32_t y = 0; y < 6; ++y) {
    const uint8_t* row = RowOf(&bitmap, 5 - y);
    for (uint32_t x = 0; x < 40; ++x) {
      ASSERT_EQ(row[x], y == 2 ? 0xAA : page.rows[0][y][x]) << "row " << y << " column " << x;
    }
  }
  ReleasePageBitmap(&bitmap);
  // The page's own error handler is back: a later libtiff error is an error again.
  TIFFError("TIFFTest", "after the decode");
  EXPECT_EQ(log.errorCount, 1);
}

TEST(PageLoader, FactsOfThePage) {
  TestPage page;
  page.width = 10;
  page.height = 4;
  page.xResolution = 300;
  page.yResolution = 300;
  page.software = "Scanner 2.1";
  page.extraTags = [](TIFF* t) {
    TIFFSetField(t, TIFFTAG_PAGENAME, "  -12abc");
    TIFFSetField(t, TIFFTAG_MODEL, "x");
    TIFFSetField(t, TIFFTAG_SUBFILETYPE, FILETYPE_PAGE);
  };
  page.rows = {GreyRows(10, 4)};
  std::vector<uint8_t> bytes = WriteTestTiff(page);
  PageInfo info;
  PageBitmap bitmap;
  MessageLog log;
  PageLoadOptions options;
  options.readPrintTags = 1;
  ASSERT_TRUE(LoadFirstPage(bytes, &info, &bitmap, &log, &options));
  EXPECT_TRUE(info.loaded && info.valid && info.resolutionValid);
  EXPECT_EQ(info.resolutionUnit, 2);
  EXPECT_EQ(HeaderOf(&bitmap)->xPixelsPerMetre, 11811);
  EXPECT_EQ(Utf16ToUtf8(TextOf(&info.software)), "Scanner 2.1");
  EXPECT_EQ(info.newSubfileType, static_cast<uint32_t>(FILETYPE_PAGE));
  EXPECT_EQ(info.pageName, -12);
  EXPECT_EQ(info.model, 0);
  EXPECT_EQ(info.targetPrinter, -1);
  ReleasePageBitmap(&bitmap);

  // A ratio above 10 is not a resolution; without the option the print tags are not read.
  page.yResolution = 20;
  ASSERT_TRUE(LoadFirstPage(WriteTestTiff(page), &info, &bitmap, &log));
  EXPECT_FALSE(info.resolutionValid);
  EXPECT_EQ(info.resolutionUnit, 1);
  EXPECT_EQ(info.xResolution, 1.0);
  EXPECT_EQ(HeaderOf(&bitmap)->xPixelsPerMetre, 0);
  EXPECT_EQ(info.pageName, -1);
  ReleasePageBitmap(&bitmap);
}

TEST(PageLoader, RefusesWhatItCannotShow) {
  PageInfo info;
  PageBitmap bitmap;
  MessageLog log;
  TestPage floats;
  floats.bitsPerSample = 32;
  floats.extraTags = [](TIFF* t) { TIFFSetField(t, TIFFTAG_SAMPLEFORMAT, SAMPLEFORMAT_IEEEFP); };
  floats.rows = {GreyRows(8, 8, 4)};
  EXPECT_FALSE(LoadFirstPage(WriteTestTiff(floats), &info, &bitmap, &log));
  EXPECT_EQ(LogText(log), "Error: Unsupported sample format (3)\r\n");

  TestPage twoSamplesOfFourBits;
  twoSamplesOfFourBits.bitsPerSample = 4;
  twoSamplesOfFourBits.samplesPerPixel = 2;
  twoSamplesOfFourBits.rows = {GreyRows(8, 8)};
  MessageLog typeLog;
  EXPECT_FALSE(LoadFirstPage(WriteTestTiff(twoSamplesOfFourBits), &info, &bitmap, &typeLog));
  EXPECT_NE(LogText(typeLog).find("Error: This type of image is not supported\r\n"), std::string::npos);
  EXPECT_EQ(typeLog.errorCount, 1);
  EXPECT_EQ(bitmap.block, nullptr);

  std::vector<uint8_t> plain = WriteTestTiff(Bilevel(COMPRESSION_NONE));
  Document document = DocumentOver(plain);
  MessageLog silent;
  PageLoadOptions options;
  EXPECT_FALSE(LoadPage(&document, 1, &options, &info, &bitmap, &silent));
  EXPECT_EQ(silent.errorCount + silent.warningCount, 0);
  document.sourceKind = kSourceNone;
  EXPECT_FALSE(LoadPage(&document, 0, &options, &info, &bitmap, &silent));
  EXPECT_EQ(LogText(silent), "Error: Internal error: No file to load\r\n");
}

// Layouts that no reading strategy takes are refused with the reason in the
// page log, never with an empty one.
TEST(PageLoader, RefusedLayoutsSayWhy) {
  struct Refusal {
    const char* what;
    std::vector<uint8_t> bytes;
    const char* error;
  };
  // An office suite's palette page: 8-bit indexes with an unassociated alpha.
  TestPage paletteWithAlpha = Palette(8, std::vector<uint16_t>(3 * 256, 0x8000), {GreyRows(8, 8, 2)});
  paletteWithAlpha.samplesPerPixel = 2;
  paletteWithAlpha.compression = COMPRESSION_LZW;
  paletteWithAlpha.extraTags = [](TIFF* t) {
    uint16_t alpha = EXTRASAMPLE_UNASSALPHA;
    TIFFSetField(t, TIFFTAG_EXTRASAMPLES, 1, &alpha);
  };
  TestPage wideGreyInPlanes;
  wideGreyInPlanes.bitsPerSample = 16;
  wideGreyInPlanes.samplesPerPixel = 2;
  wideGreyInPlanes.planar = PLANARCONFIG_SEPARATE;
  wideGreyInPlanes.rows = {GreyRows(8, 8, 2), GreyRows(8, 8, 2)};
  TestPage jpegGreyWithAlpha;
  jpegGreyWithAlpha.samplesPerPixel = 2;
  jpegGreyWithAlpha.compression = COMPRESSION_JPEG;
  jpegGreyWithAlpha.rows = {GreyRows(8, 8, 2)};
  // Rows of 2.7 terabytes (65535 samples of 32 bits, the widest page), which
  // no memory holds as a row buffer; the file itself stops after 4 bytes.
  std::vector<uint8_t> hugeRows = HandMadeTiff({{256, 4, 1, 0xA00000},
                                                {257, 3, 1, 1},
                                                {258, 3, 1, 32},
                                                {259, 3, 1, 1},
                                                {262, 3, 1, 1},
                                                {273, 4, 1, DataOffset(8)},
                                                {277, 3, 1, 0xFFFF},
                                                {279, 4, 1, 4}},
                                               {1, 2, 3, 4});
  const Refusal refusals[] = {
      {"palette with alpha", WriteTestTiff(paletteWithAlpha), "Unsupported samples/pixel"},
      {"16-bit grey in planes", WriteTestTiff(wideGreyInPlanes), "Unsupported PLANARCONFIG (2)"},
      {"JPEG grey with alpha", WriteTestTiff(jpegGreyWithAlpha), "Unsupported samples/pixel"},
      {"row buffer", hugeRows, "Out of memory (failed to allocate 4253024256 bytes)"},
  };
  for (const Refusal& refusal : refusals) {
    SCOPED_TRACE(refusal.what);
    const std::vector<uint8_t>& bytes = refusal.bytes;
    ASSERT_FALSE(bytes.empty());
    PageInfo info;
    PageBitmap bitmap;
    MessageLog log;
    EXPECT_FALSE(LoadFirstPage(bytes, &info, &bitmap, &log));
    EXPECT_NE(LogText(log).find(std::string("Error: ") + refusal.error + "\r\n"), std::string::npos)
        << LogText(log);
    EXPECT_EQ(bitmap.block, nullptr);
  }
}

}  // namespace
