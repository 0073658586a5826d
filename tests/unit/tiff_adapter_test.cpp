#include "document/tiff_adapter.h"

#include <gtest/gtest.h>

#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "common/text_format.h"
#include "platform/platform.h"

namespace {

std::u16string TempName() {
  std::u16string name = CreateUniqueTempFile(TempFolder(), u"mrv");
  EXPECT_FALSE(name.empty());
  return name;
}

void WriteAll(const std::u16string& name, const std::vector<uint8_t>& bytes) {
  FileHandle f = CreateFileForWriting(name);
  ASSERT_NE(f, nullptr);
  ASSERT_EQ(WriteToFile(f, bytes.data(), static_cast<uint32_t>(bytes.size())),
            static_cast<int64_t>(bytes.size()));
  ASSERT_TRUE(CloseFile(f));
}

std::vector<uint8_t> ReadAll(const std::u16string& name) {
  FileHandle f = OpenFileForReading(name);
  std::vector<uint8_t> bytes(static_cast<size_t>(FileSizeOf(f)));
  EXPECT_EQ(ReadFromFile(f, bytes.data(), static_cast<uint32_t>(bytes.size())),
            static_cast<int64_t>(bytes.size()));
  CloseFile(f);
  return bytes;
}

// Writes an 8-bit grey page of `width` x `rows` in one uncompressed strip
// through the writing target, after `lead` bytes already in the file.
std::vector<uint8_t> WritePage(uint32_t width, uint32_t rows, uint32_t lead) {
  std::u16string name = TempName();
  FileHandle f = CreateFileForWriting(name);
  std::vector<uint8_t> prefix(lead, 0xEE);
  if (lead) WriteToFile(f, prefix.data(), lead);
  WritingTarget target{f};
  InstallSilentHandlers();
  TIFF* tiff = OpenTiffForWriting(&target);
  EXPECT_NE(tiff, nullptr);
  EXPECT_EQ(target.baseOffset, lead);
  TIFFSetField(tiff, TIFFTAG_IMAGEWIDTH, width);
  TIFFSetField(tiff, TIFFTAG_IMAGELENGTH, rows);
  TIFFSetField(tiff, TIFFTAG_BITSPERSAMPLE, 8);
  TIFFSetField(tiff, TIFFTAG_SAMPLESPERPIXEL, 1);
  TIFFSetField(tiff, TIFFTAG_PHOTOMETRIC, PHOTOMETRIC_MINISBLACK);
  TIFFSetField(tiff, TIFFTAG_ROWSPERSTRIP, rows);
  std::vector<uint8_t> row(width);
  for (uint32_t y = 0; y < rows; ++y) {
    for (uint32_t x = 0; x < width; ++x) row[x] = static_cast<uint8_t>(x + 3 * y);
    EXPECT_EQ(TIFFWriteScanline(tiff, row.data(), y, 0), 1);
  }
  TIFFClose(tiff);
  CloseFile(f);
  std::vector<uint8_t> bytes = ReadAll(name);
  DeleteFileAt(name);
  return bytes;
}

// Reads strip 0 through the adapter, from memory or from a file.
struct StripRead {
  tmsize_t result = 0;
  tmsize_t first = 0;  // the strip's first byte within the page's data
  std::vector<uint8_t> strip;
  MessageLog log;
};

// Reads the last strip: libtiff cuts a single uncompressed strip into several.
void ReadStrip(TIFF* tiff, StripRead* out) {
  ASSERT_NE(tiff, nullptr);
  out->strip.assign(static_cast<size_t>(TIFFStripSize(tiff)), 0x55);
  out->first = TIFFStripSize(tiff) * (TIFFNumberOfStrips(tiff) - 1);
  out->result = TIFFReadEncodedStrip(tiff, TIFFNumberOfStrips(tiff) - 1, out->strip.data(),
                                     static_cast<tmsize_t>(out->strip.size()));
  TIFFClose(tiff);
}

class BothSources : public ::testing::TestWithParam<bool> {
 protected:
  // Opens `bytes` the way the document holds them: in memory or as a file.
  void Read(const std::vector<uint8_t>& bytes, StripRead* out) {
    InstallLogHandlers(&out->log);
    if (GetParam()) {
      std::u16string name = TempName();
      WriteAll(name, bytes);
      ReadStrip(OpenTiffFromFile(name), out);
      DeleteFileAt(name);
    } else {
      ReadStrip(OpenTiffFromMemory(bytes.data(), static_cast<uint32_t>(bytes.size())), out);
    }
    InstallLogHandlers(nullptr);
  }
};

// An 8-bit grey page whose directory comes first and whose single strip,
// claimed to be width x rows bytes, is followed by only `present` bytes.
std::vector<uint8_t> TruncatedGreyPage(uint32_t width, uint32_t rows, uint32_t present,
                                       uint16_t compression) {
  struct Entry {
    uint16_t tag, type;
    uint32_t value;
  };
  const uint32_t stripAt = 8 + 2 + 8 * 12 + 4;
  const Entry entries[] = {{256, 4, width}, {257, 4, rows},    {258, 3, 8},    {259, 3, compression},
                           {262, 3, 1},     {273, 4, stripAt}, {278, 4, rows}, {279, 4, width * rows}};
  std::vector<uint8_t> b = {'I', 'I', 42, 0, 8, 0, 0, 0, 8, 0};
  auto put = [&b](uint32_t v, int n) {
    for (int i = 0; i < n; ++i) b.push_back(static_cast<uint8_t>(v >> (8 * i)));
  };
  for (const Entry& e : entries) {
    put(e.tag, 2);
    put(e.type, 2);
    put(1, 4);
    put(e.value, 4);
  }
  put(0, 4);
  for (uint32_t i = 0; i < present; ++i) b.push_back(static_cast<uint8_t>(i * 7 + 1));
  return b;
}

TEST_P(BothSources, ShortLastStripIsPaddedWithZerosAndWarnedOnce) {
  StripRead read;
  Read(TruncatedGreyPage(100, 120, 10000, COMPRESSION_NONE), &read);
  const tmsize_t size = 12000 - read.first, present = 10000 - read.first;
  ASSERT_EQ(read.result, size);
  for (tmsize_t i = 0; i < present; ++i) {
    ASSERT_EQ(read.strip[i], static_cast<uint8_t>((read.first + i) * 7 + 1)) << i;
  }
  for (tmsize_t i = present; i < size; ++i) ASSERT_EQ(read.strip[i], 0) << i;
  EXPECT_EQ(read.log.errorCount, 0);
  // libtiff also warns that the claimed byte count exceeds the file.
  std::string text = Utf16ToUtf8(TextOf(&read.log.text));
  std::string expected = "Warning: Unexpected end of file -- need " + std::to_string(size) +
                         " bytes but only " + std::to_string(present) +
                         " are available. Attempting to continue.\r\n";
  size_t at = text.find(expected);
  EXPECT_NE(at, std::string::npos) << text;
  EXPECT_EQ(text.find("Unexpected end of file", at + expected.size()), std::string::npos)
      << text << Utf16ToUtf8(TextOf(&read.log.text));
}

TEST_P(BothSources, FarShorterStripIsLeftForLibtiffToReport) {
  StripRead read;
  Read(TruncatedGreyPage(200, 200, 20000, COMPRESSION_PACKBITS), &read);
  EXPECT_NE(read.result, 40000);
  EXPECT_GE(read.log.errorCount, 1);
  EXPECT_EQ(std::u16string(TextOf(&read.log.text)).find(u"Unexpected end of file"), std::u16string::npos);
}

INSTANTIATE_TEST_SUITE_P(Sources, BothSources, ::testing::Values(false, true),
                         [](const auto& info) { return info.param ? "File" : "Memory"; });

TEST(TiffFiles, MissingFileIsReportedWithItsName) {
  MessageLog log;
  InstallLogHandlers(&log);
  EXPECT_EQ(OpenTiffFromFile(u"/nonexistent/\u00e9t\u00e9.tif"), nullptr);
  InstallLogHandlers(nullptr);
  EXPECT_STREQ(Utf16ToUtf8(TextOf(&log.text)).c_str(),
               "Error: TIFFOpen: /nonexistent/\xc3\xa9t\xc3\xa9.tif: Cannot open\r\n");
}

TEST(TiffFiles, WrittenPageCountsOffsetsFromWhereWritingBegan) {
  const uint32_t lead = 1000;
  std::vector<uint8_t> bytes = WritePage(64, 40, lead);
  for (uint32_t i = 0; i < lead; ++i) ASSERT_EQ(bytes[i], 0xEE);
  // The page read on its own, from where it starts, is complete.
  std::vector<uint8_t> page(bytes.begin() + lead, bytes.end());
  StripRead read;
  InstallLogHandlers(&read.log);
  ReadStrip(OpenTiffFromMemory(page.data(), static_cast<uint32_t>(page.size())), &read);
  InstallLogHandlers(nullptr);
  ASSERT_EQ(read.result, 64 * 40);
  EXPECT_EQ(read.log.errorCount + read.log.warningCount, 0);
  for (uint32_t y = 0; y < 40; ++y) {
    for (uint32_t x = 0; x < 64; ++x) ASSERT_EQ(read.strip[y * 64 + x], static_cast<uint8_t>(x + 3 * y));
  }
}

}  // namespace

namespace {

// libtiff hands the seek procedure offsets taken from the file and negative
// relative moves as huge unsigned values; none may overflow the position.
TEST(TiffMemory, SeeksFarOutsideTheDocumentAreRefused) {
  std::vector<uint8_t> bytes = TruncatedGreyPage(4, 4, 16, COMPRESSION_NONE);
  const toff_t size = bytes.size();
  InstallSilentHandlers();
  TIFF* tiff = OpenTiffFromMemory(bytes.data(), static_cast<uint32_t>(bytes.size()));
  ASSERT_NE(tiff, nullptr);
  TIFFSeekProc seek = TIFFGetSeekProc(tiff);
  thandle_t handle = TIFFClientdata(tiff);
  struct Case {
    toff_t offset;
    int whence;
    toff_t expected;
  };
  const toff_t kFailed = static_cast<toff_t>(-1);
  const Case cases[] = {
      {20, SEEK_SET, 20},
      {0x7FFFFFFFFFFFFFFFull, SEEK_CUR, kFailed},
      {0x7FFFFFFFFFFFFFF0ull, SEEK_END, kFailed},
      {0xFFFFFFFFFFFFFFFFull, SEEK_SET, kFailed},
      {0xFFFFFFFFFFFFFFFFull - 19, SEEK_CUR, 0},  // 20 back from 20
      {0, SEEK_END, size},
      {1, SEEK_END, kFailed},
      {size, SEEK_SET, size},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(seek(handle, c.offset, c.whence), c.expected) << c.offset << " from " << c.whence;
  }
  TIFFClose(tiff);
}

}  // namespace
