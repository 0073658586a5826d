#include "document/document_dump.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "common/text_format.h"
#include "dump_test_files.h"

namespace {

using dumptest::CollectText;
using dumptest::TiffBuilder;

bool WriteAt(FileHandle file, int64_t offset, const void* bytes, uint32_t count) {
  return SeekFile(file, offset, 0) == offset && WriteToFile(file, bytes, count) == count;
}

// A file document of 200,000,001 bytes, mostly a hole, with text just inside
// and just beyond the highest offset the dump reads.
TEST(DocumentDump, FileSourcesAreReadThroughTheHighestOffset) {
  std::u16string name = CreateUniqueTempFile(TempFolder(), u"dmp");
  ASSERT_FALSE(name.empty());
  TiffBuilder b;
  int ifd = b.AddIfd();
  b.AddRaw(ifd, 270, 2, 8, 99999990);
  b.AddRaw(ifd, 305, 2, 8, 150000000);
  std::vector<uint8_t> bytes = b.Build();
  FileHandle file = CreateFileForWriting(name);
  ASSERT_NE(file, nullptr);
  ASSERT_TRUE(WriteAt(file, 0, bytes.data(), static_cast<uint32_t>(bytes.size())));
  ASSERT_TRUE(WriteAt(file, 99999990, "inside!", 8));
  ASSERT_TRUE(WriteAt(file, 150000000, "outside", 8));
  ASSERT_TRUE(WriteAt(file, 200000000, "", 1));
  ASSERT_TRUE(CloseFile(file));

  Document document;
  document.sourceKind = kSourceFile;
  document.fileName = name;
  document.size = 200000001;
  document.sizeKnown = 1;
  MessageLog log;
  std::string text;
  EXPECT_TRUE(DumpDocument(&document, -1, kDumpPlainText, CollectText, &text, &log));
  EXPECT_NE(text.find("270:ImageDescription\t8\xC3\x97"
                      "1=8\t\xE2\x80\x9Cinside!\xE2\x80\x9D\n"),
            std::string::npos);
  EXPECT_NE(text.find("305:Software\t8\xC3\x97"
                      "1=8\t\xE2\x80\x9C\xE2\x80\x9D\n"
                      "Error: Attempt to read beyond end of file\n"),
            std::string::npos);
  EXPECT_EQ(log.errorCount, 0);
  EXPECT_TRUE(DeleteFileAt(name));

  // The file is gone now: the dump refuses with the reason in the log.
  text.clear();
  EXPECT_FALSE(DumpDocument(&document, -1, kDumpPlainText, CollectText, &text, &log));
  EXPECT_EQ(Utf16ToUtf8(TextOf(&log.text)), "Error: Unable to read file\r\n");
  EXPECT_TRUE(text.empty());
}

TEST(DocumentDump, ReadsAreCutAtTheDocumentSize) {
  std::vector<uint8_t> bytes(40, 7);
  Document document;
  PointAtMemory(&document, bytes.data(), 40);
  DumpSource source;
  MessageLog log;
  ASSERT_TRUE(OpenDumpSource(&source, &document, &log));
  uint8_t buffer[64];
  uint32_t got = 0;
  EXPECT_TRUE(ReadDumpSource(&source, 30, buffer, 64, &got));
  EXPECT_EQ(got, 10u);
  EXPECT_FALSE(ReadDumpSource(&source, 40, buffer, 1, &got));
  EXPECT_EQ(got, 0u);
  CloseDumpSource(&source);
}

}  // namespace
