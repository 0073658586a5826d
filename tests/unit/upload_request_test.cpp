#include "output/upload_request.h"

#include <gtest/gtest.h>

#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "common/text_format.h"
#include "tiff_fixture.h"

namespace {

class UploadBody : public ::testing::Test {
 protected:
  void SetUp() override {
    name_ = CreateUniqueTempFile(TempFolder(), u"upl");
    ASSERT_FALSE(name_.empty());
    TestPage page;
    page.width = 24;
    page.height = 16;
    page.rows.assign(1, std::vector<std::vector<uint8_t>>(16, std::vector<uint8_t>(24, 0x30)));
    tiff_ = WriteTestTiff(page);
    document_ = DocumentOver(tiff_);
    markup_.resize(document_.ifds.size());
  }
  void TearDown() override { DeleteFileAt(name_); }

  std::string Body(const UploadParts& parts) {
    FileHandle file = CreateFileForWriting(name_);
    EXPECT_NE(file, nullptr);
    EXPECT_EQ(WriteUploadBody(file, &document_, &markup_, parts), kUploadSuccessful);
    CloseFile(file);
    std::ifstream in(ToSystemCodePage(name_), std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
  }

  std::u16string name_;
  std::vector<uint8_t> tiff_;
  Document document_;
  MarkupTable markup_;
};

const char kFileHead[] =
    "Content-Disposition: form-data; name=\"file\"; filename=\"image.tif\"\r\n"
    "Content-Type: image/tiff\r\n"
    "Content-Transfer-Encoding: binary\r\n"
    "\r\n";

TEST_F(UploadBody, WithoutFieldsTheFilePartComesFirstAndTheDocumentIsEncodedAgain) {
  UploadParts parts;
  parts.boundary = UploadBoundary(0x12345678);
  EXPECT_EQ(parts.boundary, "NEXTPART3430008");  // the low 24 bits
  const std::string body = Body(parts);
  const std::string head = "--NEXTPART3430008\r\n" + std::string(kFileHead);
  ASSERT_EQ(body.rfind(head, 0), 0u) << body.substr(0, 200);
  const std::string tail = "\r\n--NEXTPART3430008--\r\n";
  ASSERT_GT(body.size(), head.size() + tail.size());
  EXPECT_EQ(body.substr(body.size() - tail.size()), tail);
  // The file part is a TIFF of its own that reads back as the page.
  const std::vector<uint8_t> file(body.begin() + static_cast<ptrdiff_t>(head.size()),
                                  body.end() - static_cast<ptrdiff_t>(tail.size()));
  EXPECT_NE(file, tiff_) << "an unmarked document is still written anew";
  EXPECT_EQ(RgbaPictureOf(file).rgb, RgbaPictureOf(tiff_).rgb);
}

TEST_F(UploadBody, FieldsGoFirstTheirValuesInUtf8) {
  std::vector<UploadFormField> fields;
  AddFormField(&fields, u"case=id", u"Caf\u00e9 \u65e5\u672c");
  AddFormField(&fields, u"empty", u"");  // a field without a value is not sent
  AddFormField(&fields, u"clerk", u"ab");
  UploadParts parts;
  parts.fields = &fields;
  parts.fileField = u"scan";
  parts.fileName = u"letter.tif";
  parts.boundary = "NEXTPART7";
  const std::string body = Body(parts);
  const std::string expected =
      "--NEXTPART7\r\n"
      "Content-Disposition: form-data; name=\"case_id\"\r\n"
      "Content-Type: text/plain;charset=utf-8\r\n"
      "Content-Transfer-Encoding: binary\r\n"
      "\r\n"
      "Caf\xc3\xa9 \xe6\x97\xa5\xe6\x9c\xac"
      "\r\n--NEXTPART7\r\n"
      "Content-Disposition: form-data; name=\"clerk\"\r\n"
      "Content-Type: text/plain;charset=utf-8\r\n"
      "Content-Transfer-Encoding: binary\r\n"
      "\r\n"
      "ab"
      "\r\n--NEXTPART7\r\n"
      "Content-Disposition: form-data; name=\"scan\"; filename=\"letter.tif\"\r\n";
  EXPECT_EQ(body.substr(0, expected.size()), expected);
}

TEST_F(UploadBody, ADocumentWithoutADecodablePageIsNotSent) {
  Document empty;
  FileHandle file = CreateFileForWriting(name_);
  UploadParts parts;
  parts.boundary = "B";
  EXPECT_EQ(WriteUploadBody(file, &empty, &markup_, parts), kUploadTiffFailed);
  CloseFile(file);
}

TEST(UploadReply, TextsAndHeaderLines) {
  EXPECT_EQ(UploadText(kUploadStatusRefused, 500), u"POST failed, server returned status 500");
  EXPECT_EQ(UploadText(kUploadSuccessful, 0), u"Successful");
  EXPECT_EQ(UploadText(kUploadUnknown, 0), u"Unknown error");
  const std::u16string raw = std::u16string(u"HTTP/1.1 200 OK") + u'\0' + u"X-Id:   42" + u'\0' + u"Odd" +
                             u'\0' + u"Empty:" + u'\0' + std::u16string(300, u'n') + u": v" + u'\0' + u'\0' +
                             u"After: end" + u'\0';
  const auto lines = UploadHeaderLines(raw.data(), raw.size());
  ASSERT_EQ(lines.size(), 3u);
  EXPECT_EQ(lines[0].first, u"X-Id");
  EXPECT_EQ(lines[0].second, u"42");
  EXPECT_EQ(lines[1].second, u"");
  EXPECT_EQ(lines[2].first.size(), 199u);
  EXPECT_EQ(UploadContentType("NEXTPART7"), u"Content-Type: multipart/form-data; boundary=NEXTPART7\r\n");
}

}  // namespace
