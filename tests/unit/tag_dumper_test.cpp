#include "document/tag_dumper.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "dump_test_files.h"

namespace {

using dumptest::AddPage;
using dumptest::DumpBytes;
using dumptest::TiffBuilder;

std::vector<std::string> Lines(const std::string& text) {
  std::vector<std::string> lines;
  size_t start = 0, end;
  while ((end = text.find('\n', start)) != std::string::npos) {
    lines.push_back(text.substr(start, end - start));
    start = end + 1;
  }
  if (start < text.size()) lines.push_back(text.substr(start));
  return lines;
}

size_t CountOf(const std::string& text, const std::string& part) {
  size_t n = 0;
  for (size_t at = text.find(part); at != std::string::npos; at = text.find(part, at + 1)) ++n;
  return n;
}

// The entry lines of a plain-text dump, split into their columns.
std::vector<std::vector<std::string>> EntryRows(const std::string& text) {
  std::vector<std::vector<std::string>> rows;
  for (const std::string& line : Lines(text)) {
    if (line.rfind("\xE2\x80\xA2\t", 0) != 0) continue;
    std::vector<std::string> columns;
    size_t start = 0, end;
    while ((end = line.find('\t', start)) != std::string::npos) {
      columns.push_back(line.substr(start, end - start));
      start = end + 1;
    }
    columns.push_back(line.substr(start));
    rows.push_back(columns);
  }
  return rows;
}

// The contents column of the first entry with this tag.
std::string ContentsOf(const std::string& text, uint32_t tag) {
  std::string prefix = std::to_string(tag) + ":";
  for (const auto& row : EntryRows(text)) {
    if (row.size() == 6 && row[3].rfind(prefix, 0) == 0) return row[5];
  }
  return "(no entry)";
}

TEST(TagDumperHeader, NamesFormatAndByteOrder) {
  TiffBuilder classic;
  AddPage(&classic);
  std::string text = DumpBytes(classic.Build());
  EXPECT_EQ(text.substr(0, text.find("\n\n")),
            "TIFF file information\nByte order: little-endian\nFirst image offset: 8");

  TiffBuilder big(true, true);
  AddPage(&big);
  text = DumpBytes(big.Build());
  EXPECT_NE(text.find("File format: BigTIFF\nByte order: big-endian\nFirst image offset: 16\n"),
            std::string::npos);

  TiffBuilder mdi;
  mdi.SetMagic("EP");
  AddPage(&mdi);
  text = DumpBytes(mdi.Build());
  EXPECT_NE(text.find("File format: MDI\nByte order: little-endian\n"), std::string::npos);
  EXPECT_NE(text.find("259:Compression"), std::string::npos);
}

TEST(TagDumperHeader, RefusedHeadersShowTheTitleAndTheReasonOnly) {
  struct Case {
    const char* magic;
    uint16_t version;
    const char* message;
  };
  const Case cases[] = {
      {"PK", 42, "Error: Not a TIFF file"},
      {"II", 41, "Error: Invalid or unsupported TIFF file (bad version number)"},
  };
  for (const Case& c : cases) {
    TiffBuilder b;
    b.SetMagic(c.magic);
    b.SetVersion(c.version);
    AddPage(&b);
    EXPECT_EQ(DumpBytes(b.Build()), std::string("TIFF file information\n") + c.message + "\n") << c.message;
  }
  TiffBuilder big(true);
  AddPage(&big);
  std::vector<uint8_t> bytes = big.Build();
  bytes[4] = 4;
  EXPECT_EQ(Lines(DumpBytes(bytes)).at(1), "Error: Invalid or unsupported BigTIFF bytesize (4)");
  bytes[4] = 8;
  bytes[6] = 1;
  EXPECT_EQ(Lines(DumpBytes(bytes)).at(1), "Error: Invalid BigTIFF filler bytes (1)");
  EXPECT_EQ(DumpBytes({'I'}), "TIFF file information\nError: Attempt to read beyond end of file\n");
}

TEST(TagDumperLists, LoopToTheFirstDirectoryListsItOnceWithTheError) {
  TiffBuilder b;
  int first = AddPage(&b);
  int second = AddPage(&b);
  b.Link(first, second);
  b.Link(second, first);
  std::vector<uint8_t> bytes = b.Build();
  std::string text = DumpBytes(bytes);
  EXPECT_EQ(CountOf(text, "Error: IFD loop or cross-link detected"), 1u);
  EXPECT_EQ(CountOf(text, "TIFF image at offset " + std::to_string(b.IfdOffset(first)) + "\n"), 1u);
  EXPECT_EQ(CountOf(text, "TIFF image at offset "), 2u);
  EXPECT_EQ(CountOf(text, "Next image offset: " + std::to_string(b.IfdOffset(first))), 1u);
}

TEST(TagDumperLists, MainChainFirstThenChildrenInDiscoveryOrderWithExifNames) {
  TiffBuilder b;
  int page1 = AddPage(&b);
  int page2 = AddPage(&b);
  int sub = AddPage(&b);
  int subOfSub = AddPage(&b);
  int exif = b.AddIfd();
  int interop = b.AddIfd();
  int gps = b.AddIfd();
  b.Link(page1, page2);
  b.AddChildren(page1, 330, 4, {sub});
  b.AddChildren(page1, 34665, 13, {exif});
  b.AddChildren(page2, 34853, 4, {gps});
  b.AddChildren(sub, 330, 4, {subOfSub});
  b.Add(exif, 33434, 5, {1, 250});
  b.Add(exif, 40000, 3, {7});
  b.AddChildren(exif, 40965, 4, {interop});
  b.AddString(interop, 1, "R98");
  b.Add(gps, 2, 5, {1, 1, 2, 1, 3, 1});
  b.Add(page2, 40000, 3, {7});
  b.Add(page2, 65001, 3, {7});
  std::string text = DumpBytes(b.Build());
  std::vector<uint64_t> order;
  for (const std::string& line : Lines(text)) {
    if (line.rfind("TIFF image at offset ", 0) == 0) order.push_back(std::stoull(line.substr(21)));
  }
  std::vector<uint64_t> expected;
  for (int i : {page1, page2, sub, exif, gps, subOfSub, interop}) expected.push_back(b.IfdOffset(i));
  EXPECT_EQ(order, expected);
  EXPECT_NE(text.find("33434:Exif:ExposureTime\t1\xC3\x97"
                      "8=8\t1/250=0.004\n"),
            std::string::npos);
  // An unnamed tag is private in a TIFF directory but plainly unknown in an Exif one.
  EXPECT_EQ(CountOf(text, "40000:Unk. private tag"), 1u);
  EXPECT_EQ(CountOf(text, "40000:Unknown tag"), 1u);
  EXPECT_EQ(CountOf(text, "65001:Reusable tag"), 1u);
  EXPECT_NE(text.find("1:Exif:InteroperabilityIndex\t4\xC3\x97"
                      "1=4\t\xE2\x80\x9CR98\xE2\x80\x9D"),
            std::string::npos);
  EXPECT_EQ(text.find("Error"), std::string::npos);
}

TEST(TagDumperLists, CrossLinksCountLimitsAndWideOffsets) {
  TiffBuilder b(true);
  int page = AddPage(&b);
  int sub = AddPage(&b);
  int wide = AddPage(&b);
  b.AddChildren(page, 330, 18, {sub, wide});
  b.AddChildren(sub, 330, 16, {page});  // back to the main chain
  std::string text = DumpBytes(b.Build());
  EXPECT_EQ(CountOf(text, "TIFF image at offset "), 3u);
  EXPECT_EQ(CountOf(text, "Error: IFD loop or cross-link detected"), 1u);

  // At most 31 children per directory; an entry of more than 1000 values is no list of children.
  TiffBuilder many;
  int parent = AddPage(&many);
  std::vector<int> children;
  for (int i = 0; i < 40; ++i) children.push_back(AddPage(&many));
  many.AddChildren(parent, 330, 4, children);
  int ignored = AddPage(&many);
  many.AddChildren(parent, 34665, 4, std::vector<int>(1001, ignored));
  text = DumpBytes(many.Build());
  EXPECT_EQ(CountOf(text, "TIFF image at offset "), 32u);
  EXPECT_EQ(text.find("TIFF image at offset " + std::to_string(many.IfdOffset(ignored))), std::string::npos);
}

TEST(TagDumperIfd, ThreeHundredEntriesShowTheFirstTwoHundredAfterTheWarning) {
  TiffBuilder b;
  int ifd = b.AddIfd();
  for (int i = 0; i < 300; ++i) b.Add(ifd, static_cast<uint16_t>(1000 + i), 3, {static_cast<uint64_t>(i)});
  b.LinkRaw(ifd, 0);
  std::string text = DumpBytes(b.Build());
  EXPECT_NE(
      text.find("Number of tags: 300\nWarning: Excessive number of tags. Only displaying the first 200.\n"
                "\tOffset\tType\tTag\tSize\tContents\n"),
      std::string::npos);
  auto rows = EntryRows(text);
  ASSERT_EQ(rows.size(), 200u);
  EXPECT_EQ(rows.back()[3], "1199:Unknown tag");
  EXPECT_EQ(rows.back()[5], "199");
  // The link after the last of all 300 entries is still found.
  EXPECT_NE(text.find("Next image offset: none"), std::string::npos);
}

TEST(TagDumperIfd, WarnsAboutOddOffsetsEmptyDirectoriesAndUnsortedTagsOnce) {
  TiffBuilder b;
  b.UseOddOffsets();
  int ifd = b.AddIfd();
  b.Add(ifd, 257, 3, {1});
  b.Add(ifd, 256, 3, {1});
  b.Add(ifd, 255, 3, {1});
  int empty = b.AddIfd();
  b.Link(ifd, empty);
  std::string text = DumpBytes(b.Build());
  std::vector<std::string> lines = Lines(text);
  auto at = [&](const std::string& line) {
    return std::find(lines.begin(), lines.end(), line) - lines.begin();
  };
  EXPECT_EQ(at("Warning: Offset should be an even number."), at("TIFF image at offset 9") + 1);
  EXPECT_EQ(CountOf(text, "Warning: Offset should be an even number."), 2u);
  EXPECT_EQ(CountOf(text, "Warning: Tags not in ascending numerical order."), 1u);
  // Reported right after the first entry out of order.
  EXPECT_NE(lines[at("Warning: Tags not in ascending numerical order.") - 1].find("\t256:ImageWidth"),
            std::string::npos);
  EXPECT_NE(text.find("Number of tags: 0\nWarning: Every image directory must have at least one tag.\n"),
            std::string::npos);
}

TEST(TagDumperIfd, ColumnsGiveDataPositionsTypesAndSizes) {
  TiffBuilder b;
  int ifd = b.AddIfd();
  b.Add(ifd, 258, 3, {8, 8});     // 4 bytes: in the value field
  b.Add(ifd, 258, 3, {8, 8, 8});  // 6 bytes: elsewhere
  b.AddRaw(ifd, 50000, 99, 3, 1234);
  b.AddRaw(ifd, 50001, 99, 0, 0);
  b.Add(ifd, 50002, 9, {static_cast<uint64_t>(-5) & 0xFFFFFFFF});
  std::vector<uint8_t> bytes = b.Build();
  auto rows = EntryRows(DumpBytes(bytes));
  ASSERT_EQ(rows.size(), 5u);
  EXPECT_EQ(rows[0][1], "18");  // 8 + 2 + 8: the field of the first entry
  EXPECT_EQ(rows[0][4],
            "2\xC3\x97"
            "2=4");
  uint32_t stored = bytes[30] | bytes[31] << 8;
  EXPECT_EQ(rows[1][1], std::to_string(stored));
  EXPECT_EQ(rows[1][5], "8, 8, 8");
  EXPECT_EQ(rows[2][2], "99:??");
  EXPECT_EQ(rows[2][4], "3\xC3\x97?\?=?\?");
  EXPECT_EQ(rows[3][4], "0\xC3\x97?\?=0");
  EXPECT_EQ(rows[4][2], "9:s.int32");
  EXPECT_EQ(rows[4][5], "-5");
}

TEST(TagDumperContents, StringsShowEscapedBytesAndAreCutAt200) {
  TiffBuilder b;
  int ifd = AddPage(&b);
  b.AddString(ifd, 270, "Scanned at the office\ton a Monday morning");
  b.AddString(ifd, 305, std::string(250, 'x'));
  b.AddString(ifd, 306, std::string(200, 'y'));
  b.AddString(ifd, 315, "a\\b{c}", false);
  b.Add(ifd, 700, 1, {'<', 'x', '/', '>'});
  std::vector<uint8_t> bytes = b.Build();
  std::string text = DumpBytes(bytes);
  EXPECT_EQ(ContentsOf(text, 270), "\xE2\x80\x9CScanned at the office\\09on a Monday morning\xE2\x80\x9D");
  EXPECT_EQ(ContentsOf(text, 305), "\xE2\x80\x9C" + std::string(200, 'x') + "\xE2\x80\xA6\xE2\x80\x9D");
  EXPECT_EQ(ContentsOf(text, 306), "\xE2\x80\x9C" + std::string(200, 'y') + "\xE2\x80\x9D");
  EXPECT_EQ(ContentsOf(text, 700), "\xE2\x80\x9C<x/>\xE2\x80\x9D");

  std::string rich = DumpBytes(bytes, kDumpRichText);
  EXPECT_NE(rich.find("\\'93\\cf1 Scanned at the office\\cf2 \\\\09\\cf1 on a Monday morning\\cf0\\'94"),
            std::string::npos);
  EXPECT_NE(rich.find("\\'93\\cf1 a\\\\b\\{c\\}\\cf0\\'94"), std::string::npos);
}

TEST(TagDumperContents, NumbersWithTheirMeaningsLimitsAndTotals) {
  TiffBuilder b(false, true);
  int ifd = b.AddIfd();
  b.Add(ifd, 254, 4, {7});
  b.Add(ifd, 259, 3, {32773});
  b.Add(ifd, 262, 3, {77});
  b.Add(ifd, 274, 3, {6});
  b.Add(ifd, 277, 3, {3});
  std::vector<uint64_t> counts(60, 10);
  b.Add(ifd, 279, 4, counts);
  b.Add(ifd, 282, 5, {300, 1, 7, 0});
  b.Add(ifd, 296, 3, {9});
  b.Add(ifd, 297, 3, {2, 5});
  b.Add(ifd, 325, 3, {100});
  b.Add(ifd, 339, 8, {0xFFFE});
  std::vector<uint64_t> rationals;
  for (int i = 1; i <= 21; ++i) rationals.insert(rationals.end(), {static_cast<uint64_t>(i), 2});
  b.Add(ifd, 50714, 5, rationals);
  b.Add(ifd, 50715, 11, {0x3FC00000});          // 1.5f
  b.Add(ifd, 50716, 12, {0xC004000000000000});  // -2.5
  b.Add(ifd, 50717, 17, {0xFFFFFFFFFFFFFFFF});
  int second = b.AddIfd();
  b.Add(second, 297, 3, {2, 0});
  b.Link(ifd, second);
  std::string text = DumpBytes(b.Build());
  EXPECT_EQ(ContentsOf(text, 254), "7:reduced-res-version,one-page-of-many,transparency-mask");
  EXPECT_EQ(ContentsOf(text, 259), "32773:Packbits");
  EXPECT_EQ(ContentsOf(text, 262), "77:Unknown");
  EXPECT_EQ(ContentsOf(text, 274), "6:right-top");
  EXPECT_EQ(ContentsOf(text, 277), "3");
  std::string fifty;
  for (int i = 0; i < 50; ++i) fifty += i ? ", 10" : "10";
  EXPECT_EQ(ContentsOf(text, 279), fifty + ", \xE2\x80\xA6 (total=600)");
  EXPECT_EQ(ContentsOf(text, 282), "300/1=300.000, 7/0");
  EXPECT_EQ(ContentsOf(text, 296), "9:unknown");
  EXPECT_EQ(ContentsOf(text, 297), "2, 5 (page 3 of 5)");
  EXPECT_EQ(ContentsOf(text, 325), "100");  // one value: no total
  EXPECT_EQ(ContentsOf(text, 339), "-2:unknown");
  std::string contents = ContentsOf(text, 50714);
  EXPECT_EQ(CountOf(contents, "/2="), 20u);
  const std::string last = ", 20/2=10.000, \xE2\x80\xA6";
  EXPECT_EQ(contents.substr(contents.size() - last.size()), last);
  EXPECT_EQ(ContentsOf(text, 50715), "1.5");
  EXPECT_EQ(ContentsOf(text, 50716), "-2.5");
  EXPECT_EQ(ContentsOf(text, 50717), "-1");
  EXPECT_NE(text.find("2, 0 (page 3)\n"), std::string::npos);
}

TEST(TagDumperReading, BadDataOffsetsAreReportedAndTheNextEntryIsTried) {
  TiffBuilder b;
  int ifd = b.AddIfd();
  b.AddRaw(ifd, 270, 2, 50, 150000000);
  b.AddRaw(ifd, 273, 4, 2, 7777);
  b.Add(ifd, 305, 3, {42});
  std::string text = DumpBytes(b.Build());
  std::vector<std::string> lines = Lines(text);
  auto first = std::find_if(lines.begin(), lines.end(), [](const std::string& l) {
    return l.find("270:ImageDescription") != std::string::npos;
  });
  ASSERT_NE(first, lines.end());
  EXPECT_EQ(first->substr(first->size() - 7), "\t\xE2\x80\x9C\xE2\x80\x9D");
  EXPECT_EQ(*(first + 1), "Error: Attempt to read beyond end of file");
  EXPECT_EQ(*(first + 3), "Error: Attempt to read beyond end of file");
  EXPECT_EQ(ContentsOf(text, 305), "42");
  EXPECT_NE(text.find("Next image offset: none"), std::string::npos);

  // A first directory beyond the end is listed with its error, the dump goes on.
  TiffBuilder beyond;
  AddPage(&beyond);
  beyond.SetFirstRaw(150000000);
  text = DumpBytes(beyond.Build());
  EXPECT_NE(text.find("TIFF image at offset 150000000\nError: Attempt to read beyond end of file\n"),
            std::string::npos);
}

int ReadFromVector(void* user, uint64_t offset, void* buffer, uint32_t wanted, uint32_t* got) {
  auto* bytes = static_cast<std::vector<uint8_t>*>(user);
  if (offset >= bytes->size()) return 0;
  *got = static_cast<uint32_t>(std::min<uint64_t>(wanted, bytes->size() - offset));
  std::copy_n(bytes->data() + offset, *got, static_cast<uint8_t*>(buffer));
  return 1;
}

int IgnoreText(void*, const char*, size_t) { return 1; }

TEST(TagDumperReading, CacheWindowEdgesAndTheStickyError) {
  std::vector<uint8_t> bytes(3000);
  for (size_t i = 0; i < bytes.size(); ++i) bytes[i] = static_cast<uint8_t>(i * 7);
  bytes[0] = bytes[1] = 'M';
  bytes[2] = 0;
  bytes[3] = 42;
  TagDumper dumper;
  // The end is not known: only the read procedure can refuse.
  InitTagDumper(&dumper, kDumpPlainText, ReadFromVector, IgnoreText, &bytes, 0);
  ASSERT_TRUE(ParseDumpHeader(&dumper));
  // A value across the edge of the first 1024-byte window, then one behind it.
  auto expected = [&](size_t at) {
    return uint32_t{bytes[at]} << 24 | uint32_t{bytes[at + 1]} << 16 | uint32_t{bytes[at + 2]} << 8 |
           bytes[at + 3];
  };
  EXPECT_EQ(DumpRead32(&dumper, 1022), expected(1022));
  EXPECT_EQ(DumpRead32(&dumper, 100), expected(100));
  EXPECT_EQ(DumpRead32(&dumper, 2996), expected(2996));
  EXPECT_EQ(dumper.hasError, 0);
  EXPECT_EQ(DumpRead32(&dumper, 2998), 0u);
  EXPECT_EQ(std::string(dumper.errorText), "Attempt to read beyond end of file");
  EXPECT_EQ(DumpRead32(&dumper, 100), 0u);  // sticky
  ClearDumpError(&dumper);
  EXPECT_EQ(DumpRead32(&dumper, 100), expected(100));
  EXPECT_EQ(DumpRead64(&dumper, 0xFFFFFFFFFFFFFFFCull), 0u);  // wraps past the end of the offsets
  EXPECT_EQ(dumper.hasError, 1);
}

// Offsets whose value would end exactly at 2^64: with the whole file in the
// read window, the window test must not wrap and take bytes from before it.
TEST(TagDumperReading, ValuesEndingAtTheTopOfTheOffsetsAreRefusedWithTheFileCached) {
  struct Case {
    int width;
    uint64_t offset;
  };
  const Case cases[] = {
      {1, 0xFFFFFFFFFFFFFFFFull}, {2, 0xFFFFFFFFFFFFFFFEull}, {4, 0xFFFFFFFFFFFFFFFCull},
      {8, 0xFFFFFFFFFFFFFFF8ull}, {8, 0xFFFFFFFFFFFFFFF9ull},
  };
  // Built at its full size: growing a vector here trips a false bounds warning in MinGW's g++ 12 at -O3.
  std::vector<uint8_t> bytes(88, 0x5A);
  const uint8_t header[] = {'I', 'I', 43, 0, 8, 0, 0, 0, 16, 0, 0, 0, 0, 0, 0, 0};
  std::copy(std::begin(header), std::end(header), bytes.begin());
  for (const Case& c : cases) {
    TagDumper dumper;
    for (uint64_t known : {uint64_t{0}, uint64_t{bytes.size()}}) {
      InitTagDumper(&dumper, kDumpPlainText, ReadFromVector, IgnoreText, &bytes, known);
      ASSERT_TRUE(ParseDumpHeader(&dumper));
      ASSERT_EQ(dumper.cacheValid, bytes.size());
      uint64_t value = c.width == 1   ? DumpRead8(&dumper, c.offset)
                       : c.width == 2 ? DumpRead16(&dumper, c.offset)
                       : c.width == 4 ? DumpRead32(&dumper, c.offset)
                                      : DumpRead64(&dumper, c.offset);
      EXPECT_EQ(value, 0u) << c.width << " bytes at " << c.offset;
      EXPECT_EQ(std::string(dumper.errorText), "Attempt to read beyond end of file")
          << c.width << " at " << c.offset;
    }
  }

  // The same through a whole-file dump: an 88-byte BigTIFF whose first
  // directory lies 8 bytes below 2^64.
  TiffBuilder big(true);
  int ifd = big.AddIfd();
  big.Add(ifd, 256, 4, {8});
  big.AddString(ifd, 270, "fifteen letters");
  big.SetFirstRaw(0xFFFFFFFFFFFFFFF8ull);
  bytes = big.Build();
  ASSERT_EQ(bytes.size(), 88u);
  std::string text = DumpBytes(bytes);
  EXPECT_NE(
      text.find("\nTIFF image at offset 18446744073709551608\nError: Attempt to read beyond end of file\n\n"),
      std::string::npos)
      << text;
  EXPECT_EQ(CountOf(text, "TIFF image at offset "), 1u);
  EXPECT_EQ(text.find("Number of tags"), std::string::npos);
}

TEST(TagDumperReading, BigTiffEntriesHave64BitCountsAndOffsets) {
  TiffBuilder b(true);
  int ifd = AddPage(&b);
  b.Add(ifd, 273, 16, {0x123456789A});
  b.Add(ifd, 279, 4, {5, 6});  // 8 bytes: still in the value field
  b.AddRaw(ifd, 50000, 1, 0x100000000ull, 77);
  std::string text = DumpBytes(b.Build());
  EXPECT_NE(text.find("File format: BigTIFF"), std::string::npos);
  auto rows = EntryRows(text);
  ASSERT_EQ(rows.size(), 6u);
  EXPECT_EQ(rows[0][1], std::to_string(16 + 8 + 12));  // the field of the first 20-byte entry
  EXPECT_EQ(rows[3][5], "78187493530");
  EXPECT_EQ(rows[4][1], std::to_string(16 + 8 + 4 * 20 + 12));
  EXPECT_EQ(rows[4][5], "5, 6 (total=11)");
  EXPECT_EQ(rows[5][4],
            "4294967296\xC3\x97"
            "1=4294967296");
  EXPECT_EQ(rows[5][1], "77");
}

TEST(TagDumperPage, OnePageShowsFileInformationAndThatDirectory) {
  TiffBuilder b;
  int first = AddPage(&b);
  int second = AddPage(&b);
  b.Add(second, 40000, 3, {1});
  b.Link(first, second);
  std::vector<uint8_t> bytes = b.Build();
  std::vector<IfdEntry> ifds = {{static_cast<uint32_t>(b.IfdOffset(first)), 0, 0},
                                {static_cast<uint32_t>(b.IfdOffset(second)), 0, 1}};
  std::string text = DumpBytes(bytes, kDumpPlainText, 1, ifds);
  EXPECT_EQ(CountOf(text, "TIFF file information"), 1u);
  EXPECT_EQ(CountOf(text, "TIFF image at offset "), 1u);
  EXPECT_NE(text.find("TIFF image at offset " + std::to_string(b.IfdOffset(second))), std::string::npos);
  EXPECT_NE(text.find("40000:Unk. private tag"), std::string::npos);
  // An index outside the table shows the whole file.
  EXPECT_EQ(CountOf(DumpBytes(bytes, kDumpPlainText, 2, ifds), "TIFF image at offset "), 2u);
}

TEST(TagNames, TableIsAscendingWithPrefixesAndEnds) {
  const TagNameRow* rows = TagNameRows();
  size_t n = 0;
  for (; rows[n].tag; ++n) {
    if (n) {
      EXPECT_LT(rows[n - 1].tag, rows[n].tag) << rows[n].name;
    }
    std::string name = rows[n].name;
    EXPECT_TRUE(name.rfind("T:", 0) == 0 || name.rfind("E:", 0) == 0) << name;
    EXPECT_STREQ(StoredTagName(rows[n].tag), rows[n].name);
  }
  EXPECT_EQ(n, 353u);
  EXPECT_EQ(StoredTagName(0), nullptr);
  EXPECT_EQ(StoredTagName(51126), nullptr);
}

}  // namespace
