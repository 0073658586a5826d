#include "output/document_writer.h"

#include <gtest/gtest.h>

#include <fstream>
#include <iterator>

#include "analysis/sketch_layer.h"
#include "document/tiff_adapter.h"
#include "platform/platform.h"
#include "tiff_fixture.h"

namespace {

TestPage BilevelPage(uint32_t width, uint32_t height) {
  TestPage page;
  page.width = width;
  page.height = height;
  page.bitsPerSample = 1;
  page.photometric = PHOTOMETRIC_MINISWHITE;
  page.compression = COMPRESSION_CCITTFAX4;
  page.rows.assign(1, std::vector<std::vector<uint8_t>>(height, std::vector<uint8_t>((width + 7) / 8, 0)));
  return page;
}

// Rewrites the Compression entry of the first directory of a little-endian TIFF.
void SetCompression(std::vector<uint8_t>* bytes, uint16_t value) {
  auto at = [&](size_t offset, int size) {
    uint32_t v = 0;
    for (int i = size - 1; i >= 0; --i) v = v << 8 | (*bytes)[offset + static_cast<size_t>(i)];
    return v;
  };
  size_t ifd = at(4, 4);
  for (uint32_t i = 0, count = at(ifd, 2); i < count; ++i) {
    size_t entry = ifd + 2 + 12 * i;
    if (at(entry, 2) == TIFFTAG_COMPRESSION) {
      (*bytes)[entry + 8] = static_cast<uint8_t>(value);
      (*bytes)[entry + 9] = static_cast<uint8_t>(value >> 8);
    }
  }
}

std::vector<uint8_t> ReadAll(const std::u16string& name) {
  std::ifstream in(ToSystemCodePage(name), std::ios::binary);
  return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

class Writer : public ::testing::Test {
 protected:
  void SetUp() override {
    name_ = CreateUniqueTempFile(TempFolder(), u"wrt");
    ASSERT_FALSE(name_.empty());
  }
  void TearDown() override { DeleteFileAt(name_); }
  std::u16string name_;
};

TEST_F(Writer, LongStrokeReachesTheFileOnABilevelPage) {
  std::vector<uint8_t> bytes = WriteTestTiff(BilevelPage(600, 400));
  Document document = DocumentOver(bytes);
  MarkupTable markup(document.ifds.size());
  markup[0].reset(new PageMarkup);
  // A zigzag of 100,000 segments between rows 100 and 110, then one across row 300.
  for (int i = 0; i < 100000; ++i) {
    double x = 50 + (i % 500);
    ASSERT_TRUE(
        AppendSegment(markup[0].get(), {x, i % 2 ? 100.0 : 110.0}, {x + 1, i % 2 ? 110.0 : 100.0}, 0));
  }
  AppendSegment(markup[0].get(), {10, 300}, {590, 300}, 0);
  MessageLog log;
  ASSERT_TRUE(WriteDocumentToFile(&document, &markup, name_, &log));
  std::vector<uint8_t> written = ReadAll(name_);
  Document result = DocumentOver(written);
  ASSERT_EQ(result.pageCount, 1);
  PageInfo info;
  PageBitmap page;
  MessageLog pageLog;
  ASSERT_TRUE(LoadFirstPage(written, &info, &page, &pageLog));
  EXPECT_EQ(info.compression, COMPRESSION_CCITTFAX4);
  EXPECT_EQ(HeaderOf(&page)->bitCount, 1);
  Picture picture = PictureOf(page);
  EXPECT_EQ(picture.rgb[300 * 600 + 10], 0x000000u);
  EXPECT_EQ(picture.rgb[300 * 600 + 590], 0x000000u);
  EXPECT_EQ(picture.rgb[105 * 600 + 300], 0x000000u) << "the zigzag is drawn";
  EXPECT_EQ(picture.rgb[200 * 600 + 300], 0xFFFFFFu);
  ReleasePageBitmap(&page);
  ReleasePageInfo(&info);
}

TEST_F(Writer, UnwritableTargetIsReportedAndLeavesNoFile) {
  std::vector<uint8_t> bytes = WriteTestTiff(BilevelPage(16, 16));
  Document document = DocumentOver(bytes);
  MarkupTable markup(document.ifds.size());
  // A missing folder, a folder where the file would go, a name longer than
  // the file system takes.
  const std::u16string targets[] = {TempFolder() + u"no-such-folder-for-mrv/out.tif", TempFolder(),
                                    TempFolder() + std::u16string(300, u'x') + u".tif"};
  for (const std::u16string& target : targets) {
    for (int marked = 0; marked < 2; ++marked) {
      if (marked) {
        markup[0].reset(new PageMarkup);
        markup[0]->whiteouts.push_back({kMarkWhiteout, {0, 0, 3, 3}});
      } else {
        markup[0].reset();
      }
      MessageLog log;
      EXPECT_FALSE(WriteDocumentToFile(&document, &markup, target, &log));
      EXPECT_EQ(log.errorCount, 1);
      EXPECT_NE(std::u16string(TextOf(&log.lastLine)).find(u"Failed to write file ("), std::u16string::npos);
      EXPECT_FALSE(FileExists(target));
    }
  }
}

TEST_F(Writer, DocumentWithoutAnyDecodablePageIsAFailureNotAnEmptyFile) {
  TestPage page = BilevelPage(16, 16);
  page.compression = COMPRESSION_NONE;
  std::vector<uint8_t> bytes = WriteTestTiff(page);
  SetCompression(&bytes, 12345);  // a scheme no decoder knows
  Document document = DocumentOver(bytes);
  ASSERT_EQ(document.pageCount, 1);
  MarkupTable markup(document.ifds.size());
  markup[0].reset(new PageMarkup);
  markup[0]->whiteouts.push_back({kMarkWhiteout, {0, 0, 3, 3}});
  MessageLog log;
  EXPECT_FALSE(WriteDocumentToFile(&document, &markup, name_, &log));
  EXPECT_FALSE(FileExists(name_));
}

}  // namespace
