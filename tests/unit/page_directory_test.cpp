#include "document/page_directory.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "document/tiff_adapter.h"
#include "platform/platform.h"

namespace {

// A directory of a hand-made little-endian 1 x 1 bilevel file.
struct Dir {
  uint32_t subfileType = 0;
  std::vector<int> subIfds;  // indices of other directories
  int next = -1;             // index of the successor, -1 for none
  uint32_t rawNext = 0;      // used instead when not 0
};

Dir Typed(uint32_t subfileType) {
  Dir d;
  d.subfileType = subfileType;
  return d;
}

Dir Linked(int next, std::vector<int> subIfds = {}) {
  Dir d;
  d.next = next;
  d.subIfds = std::move(subIfds);
  return d;
}

void Put(std::vector<uint8_t>* b, size_t at, uint32_t v, int n) {
  for (int i = 0; i < n; ++i) (*b)[at + i] = static_cast<uint8_t>(v >> (8 * i));
}

std::vector<uint8_t> MakeTiff(const std::vector<Dir>& dirs) {
  std::vector<uint8_t> b(10, 0);
  b[0] = b[1] = 'I';
  b[2] = 42;
  std::vector<uint32_t> at;
  size_t pos = 10;
  for (const Dir& d : dirs) {
    at.push_back(static_cast<uint32_t>(pos));
    pos += 2 + 12 * (d.subIfds.empty() ? 10 : 11) + 4;
  }
  b.resize(pos);
  Put(&b, 4, at.empty() ? 0 : at[0], 4);
  for (size_t i = 0; i < dirs.size(); ++i) {
    const Dir& d = dirs[i];
    struct E {
      uint16_t tag, type;
      uint32_t count, value;
    };
    std::vector<E> e = {{254, 4, 1, d.subfileType},
                        {256, 3, 1, 1},
                        {257, 3, 1, 1},
                        {258, 3, 1, 1},
                        {259, 3, 1, 1},
                        {262, 3, 1, 1},
                        {273, 4, 1, 8},
                        {277, 3, 1, 1},
                        {278, 3, 1, 1},
                        {279, 4, 1, 1}};
    if (!d.subIfds.empty()) {
      uint32_t value = at[d.subIfds[0]];
      if (d.subIfds.size() > 1) {
        value = static_cast<uint32_t>(b.size());
        for (int s : d.subIfds) {
          b.resize(b.size() + 4);
          Put(&b, b.size() - 4, at[s], 4);
        }
      }
      e.push_back({330, 4, static_cast<uint32_t>(d.subIfds.size()), value});
    }
    size_t p = at[i];
    Put(&b, p, static_cast<uint32_t>(e.size()), 2);
    for (size_t k = 0; k < e.size(); ++k) {
      size_t q = p + 2 + 12 * k;
      Put(&b, q, e[k].tag, 2);
      Put(&b, q + 2, e[k].type, 2);
      Put(&b, q + 4, e[k].count, 4);
      Put(&b, q + 8, e[k].value, e[k].type == 3 ? 2 : 4);
    }
    uint32_t next = d.rawNext ? d.rawNext : d.next >= 0 ? at[d.next] : 0;
    Put(&b, p + 2 + 12 * e.size(), next, 4);
  }
  return b;
}

struct Walk {
  std::vector<uint8_t> bytes;
  Document document;
  MessageLog log;

  explicit Walk(std::vector<uint8_t> b, int32_t ignore = 0) : bytes(std::move(b)) {
    PointAtMemory(&document, bytes.data(), static_cast<uint32_t>(bytes.size()));
    document.ignoreSpecialImages = ignore;
    log.hideUnknownTagWarnings = 1;
    ok = ReadPageDirectory(&document, &log);
    NumberPages(&document, &log);
  }
  std::u16string Text() const { return TextOf(&log.text); }
  int ok;
};

TEST(PageDirectory, WalksTheMainChainInOrder) {
  Walk w(MakeTiff({Linked(1), Linked(2), Dir()}));
  ASSERT_TRUE(w.ok);
  ASSERT_EQ(w.document.ifds.size(), 3u);
  EXPECT_EQ(w.document.pageCount, 3);
  EXPECT_EQ(w.document.ifds[0].offset, 10u);
  EXPECT_EQ(PageToIfd(&w.document, 2), 2);
  EXPECT_EQ(IfdToPage(&w.document, 1), 1);
  EXPECT_EQ(IfdToPage(&w.document, 3), -1);
  EXPECT_EQ(w.Text(), u"");
}

TEST(PageDirectory, LoopBackToTheFirstDirectoryIsReportedOnce) {
  Walk w(MakeTiff({Linked(1), Linked(0)}));
  ASSERT_TRUE(w.ok);
  EXPECT_EQ(w.document.ifds.size(), 2u);
  EXPECT_EQ(w.document.pageCount, 2);
  // libtiff adds warnings of its own about the loop; ours comes exactly once.
  std::u16string text = w.Text();
  std::u16string ours = u"Warning: IFD loop or duplicate IFD detected\r\n";
  size_t first = text.find(ours);
  ASSERT_NE(first, std::u16string::npos);
  EXPECT_EQ(text.find(ours, first + 1), std::u16string::npos);
}

TEST(PageDirectory, SubIfdsFollowTheirParentAndCanBeHidden) {
  // Directory 0 names 2 and 3 as SubIFDs; its successor is 1.
  std::vector<Dir> dirs = {Linked(1, {2, 3}), Dir(), Typed(1), Typed(1)};
  Walk shown(MakeTiff(dirs));
  ASSERT_EQ(shown.document.ifds.size(), 4u);
  EXPECT_EQ(shown.document.ifds[1].offset, 10u + 2 + 12 * 11 + 4 + 2 + 12 * 10 + 4);
  EXPECT_EQ(shown.document.ifds[1].flags, kReachedThroughSubIfd | 1);
  EXPECT_EQ(shown.document.ifds[3].flags, 0u);
  EXPECT_EQ(shown.document.pageCount, 4);

  Walk noSubIfds(MakeTiff(dirs), 2);
  EXPECT_EQ(noSubIfds.document.pageCount, 2);
  EXPECT_EQ(noSubIfds.document.ifds[1].page, -1);
  EXPECT_EQ(noSubIfds.document.ifds[3].page, 1);
  EXPECT_EQ(PageToIfd(&noSubIfds.document, 1), 3);

  Walk noReduced(MakeTiff(dirs), 1);
  EXPECT_EQ(noReduced.document.pageCount, 2);
}

TEST(PageDirectory, TransparencyMaskAloneYieldsNoImages) {
  Walk w(MakeTiff({Typed(4)}));
  EXPECT_TRUE(w.ok);
  EXPECT_EQ(w.document.pageCount, 0);
  EXPECT_EQ(w.Text(), u"Warning: No images found\r\n");
}

TEST(PageDirectory, OffsetsBeyond2GBAreIgnored) {
  Dir first;
  first.rawNext = 0x80000000u;
  Walk w(MakeTiff({first}));
  EXPECT_EQ(w.document.ifds.size(), 1u);
  EXPECT_EQ(w.Text(), u"Warning: IFD offsets over 0x80000000 are not supported\r\n");
}

TEST(PageDirectory, UnreadableSuccessorIsWarnedAndKept) {
  Dir first;
  first.rawNext = 20000;  // beyond the end of the bytes
  Walk w(MakeTiff({first}));
  ASSERT_EQ(w.document.ifds.size(), 2u);
  EXPECT_NE(w.Text().find(u"Warning: Unreadable IFD at 20000\r\n"), std::u16string::npos);
  EXPECT_EQ(w.document.pageCount, 2);
}

TEST(HeaderValidation, RejectsSmallAndNonTiffFiles) {
  Walk one({'I'});
  EXPECT_FALSE(one.ok);
  EXPECT_EQ(one.Text(), u"Error: File is too small to be a TIFF file (1 byte)\r\n");
  Walk text({'h', 'e', 'l', 'l', 'o', '\n', '\t', '!'});
  EXPECT_EQ(text.Text(), u"Error: Not a TIFF file. File contents: hello  !\r\n");
  Document unknown;
  MessageLog log;
  EXPECT_FALSE(ValidateTiffHeader(&unknown, &log));
  EXPECT_EQ(std::u16string(TextOf(&log.text)),
            u"Error: Unexpected error: Can\u2019t determine file size\r\n");
}

TEST(HeaderValidation, GarbageAfterAByteOrderMarkCannotBeProcessed) {
  Walk w({'I', 'I', 0, 0, 0, 0, 0, 0, 0, 0});
  EXPECT_FALSE(w.ok);
  EXPECT_EQ(w.document.pageCount, 0);
  EXPECT_GE(w.log.errorCount, 1);
}

TEST(TiffMessages, ModuleRulesAndUnknownTagSuppression) {
  MessageLog document, page;
  document.hideUnknownTagWarnings = 1;
  RouteTiffMessage(&document, LogKind::kWarning, "TIFFReadDirectory", "Unknown field with tag 700 (0x2bc)");
  RouteTiffMessage(&page, LogKind::kWarning, "TIFFReadDirectory", "Unknown field with tag 700 (0x2bc)");
  EXPECT_EQ(document.warningCount, 0);
  EXPECT_EQ(std::u16string(TextOf(&page.text)),
            u"Warning: TIFFReadDirectory: Unknown field with tag 700 (0x2bc)\r\n");
  MessageLog log;
  RouteTiffMessage(&log, LogKind::kError, "C:\\temp\\x.tif", "Read error\ton strip 3");
  RouteTiffMessage(&log, LogKind::kWarning, "M", ": already colon");
  RouteTiffMessage(&log, LogKind::kWarning, "", "C:\\temp\\mrv1.tmp: Bad value");
  EXPECT_EQ(std::u16string(TextOf(&log.text)),
            u"Error: Read error|on strip 3\r\nWarning: M: already colon\r\nWarning: Bad value\r\n");
}

}  // namespace

namespace {

TEST(PageDirectory, TableStopsAt32000Entries) {
  std::vector<Dir> dirs(40000);
  for (size_t i = 0; i + 1 < dirs.size(); ++i) dirs[i].next = static_cast<int>(i + 1);
  Walk w(MakeTiff(dirs));
  ASSERT_TRUE(w.ok);
  EXPECT_EQ(w.document.ifds.size(), 32000u);
  EXPECT_EQ(w.document.pageCount, 32000);
  EXPECT_LE(w.document.ifds.capacity(), 32000u);
}

}  // namespace

namespace {

// The intake keeps large downloads in a temporary file: the walk over the file
// must find exactly what the walk over the same bytes in memory finds.
TEST(PageDirectory, FileSourceWalksLikeMemory) {
  std::vector<Dir> dirs = {Linked(1, {2}), Linked(0), Dir()};
  dirs[2].subfileType = 1;
  std::vector<uint8_t> bytes = MakeTiff(dirs);
  Walk memory(bytes);
  std::u16string name = CreateUniqueTempFile(TempFolder(), u"mrv");
  FileHandle f = CreateFileForWriting(name);
  ASSERT_EQ(WriteToFile(f, bytes.data(), static_cast<uint32_t>(bytes.size())),
            static_cast<int64_t>(bytes.size()));
  CloseFile(f);
  Document file;
  file.sourceKind = kSourceFile;
  file.fileName = name;
  file.size = static_cast<uint32_t>(bytes.size());
  file.sizeKnown = 1;
  MessageLog log;
  log.hideUnknownTagWarnings = 1;
  ASSERT_TRUE(ReadPageDirectory(&file, &log));
  NumberPages(&file, &log);
  ASSERT_EQ(file.ifds.size(), memory.document.ifds.size());
  for (size_t i = 0; i < file.ifds.size(); ++i) {
    EXPECT_EQ(file.ifds[i].offset, memory.document.ifds[i].offset);
    EXPECT_EQ(file.ifds[i].flags, memory.document.ifds[i].flags);
  }
  EXPECT_EQ(file.pageCount, memory.document.pageCount);
  EXPECT_EQ(std::u16string(TextOf(&log.text)), memory.Text());

  // A file that vanished before the header check cannot be read.
  ASSERT_TRUE(DeleteFileAt(name));
  Document gone;
  gone.sourceKind = kSourceFile;
  gone.fileName = name;
  gone.size = 100;
  gone.sizeKnown = 1;
  MessageLog goneLog;
  EXPECT_FALSE(ReadPageDirectory(&gone, &goneLog));
  EXPECT_EQ(std::u16string(TextOf(&goneLog.text)), u"Error: File read error\r\n");
}

}  // namespace
