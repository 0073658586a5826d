#include "document/dump_output.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

struct Sink {
  std::vector<std::string> blocks;
  int refuseAfter = -1;  // blocks taken before writes fail
};

int Collect(void* user, const char* text, size_t length) {
  Sink* sink = static_cast<Sink*>(user);
  if (sink->refuseAfter >= 0 && static_cast<int>(sink->blocks.size()) >= sink->refuseAfter) return 0;
  sink->blocks.emplace_back(text, length);
  return 1;
}

std::string Joined(const Sink& sink) {
  std::string all;
  for (const std::string& b : sink.blocks) all += b;
  return all;
}

TEST(RichTextWriter, DocumentFrameEscapesAndDelimitsControlWords) {
  Sink sink;
  DumpOutput out;
  InitDumpOutput(&out, kDumpRichText, Collect, &sink);
  WriteDocumentStart(&out);
  WriteMark(&out, DumpMark::kBold);
  WriteText(&out, 0, "a\\b{c}");
  WriteMark(&out, DumpMark::kBoldOff);
  WriteMark(&out, DumpMark::kParagraph);
  WriteText(&out, 1, "%d", 42);
  WriteText(&out, 1, "%d", 7);  // same colour: no second \cf1
  WriteMark(&out, DumpMark::kTimes);
  WriteText(&out, 0, "2=4");
  WriteMark(&out, DumpMark::kTab);
  WriteMark(&out, DumpMark::kOpenQuote);
  WriteText(&out, 2, "\\09");
  WriteMark(&out, DumpMark::kEllipsis);
  WriteMark(&out, DumpMark::kCloseQuote);
  WriteMark(&out, DumpMark::kBullet);
  WriteMark(&out, DumpMark::kUnderline);
  WriteText(&out, 3, "x");
  WriteMark(&out, DumpMark::kUnderlineOff);
  WriteDocumentEnd(&out);
  EXPECT_EQ(Joined(sink),
            "{\\rtf1\\ansi\\ansicpg1252\\deff0\\deflang1033\r\n"
            "{\\fonttbl{\\f0\\fswiss\\fcharset0 Arial;}}\r\n"
            "{\\colortbl ;\\red0\\green0\\blue192;\\red0\\green128\\blue255;\\red128\\green0\\blue0;}\r\n"
            "\\viewkind4\\uc1\\pard\\tx150\\tx1100\\tx2000\\tx4200\\tx5300\\f0\\fs16\r\n"
            "\\b a\\\\b\\{c\\}\\b0\\par\r\n"
            "\\cf1 427\\cf0\\'d72=4\\tab\\'93\\cf2 \\\\09\\cf0\\'85\\'94\\bullet\\ul\\cf3 x\\ulnone}\r\n");
}

TEST(PlainTextWriter, SameContentWithoutMarkup) {
  Sink sink;
  DumpOutput out;
  InitDumpOutput(&out, kDumpPlainText, Collect, &sink);
  WriteDocumentStart(&out);
  WriteMark(&out, DumpMark::kBullet);
  WriteMark(&out, DumpMark::kTab);
  WriteText(&out, 1, "a\\b{c}");
  WriteMark(&out, DumpMark::kTimes);
  WriteMark(&out, DumpMark::kOpenQuote);
  WriteMark(&out, DumpMark::kEllipsis);
  WriteMark(&out, DumpMark::kCloseQuote);
  WriteMark(&out, DumpMark::kBold);
  WriteMark(&out, DumpMark::kParagraph);
  WriteUnsigned(&out, 1, 0);
  WriteText(&out, 0, " ");
  WriteUnsigned(&out, 1, UINT64_MAX);
  WriteText(&out, 0, " ");
  WriteSigned(&out, 1, INT64_MIN);
  WriteText(&out, 0, " ");
  WriteSigned(&out, 1, -7);
  WriteDocumentEnd(&out);
  EXPECT_EQ(Joined(sink),
            "\xE2\x80\xA2\ta\\b{c}\xC3\x97\xE2\x80\x9C\xE2\x80\xA6\xE2\x80\x9D\n"
            "0 18446744073709551615 -9223372036854775808 -7");
}

TEST(RichTextWriter, HandsOnBlocksPastAThousandBytesAndStopsWhenRefused) {
  Sink sink;
  DumpOutput out;
  InitDumpOutput(&out, kDumpRichText, Collect, &sink);
  std::string expected;
  for (int i = 0; i < 500; ++i) {
    WriteText(&out, 0, "line %d", i);
    WriteMark(&out, DumpMark::kParagraph);
    expected += "line " + std::to_string(i) + "\\par\r\n";
  }
  std::string big(3000, '{');  // 6000 bytes once escaped: more than the buffer holds
  WriteText(&out, 0, "%s", big.c_str());
  FlushDumpOutput(&out);
  ASSERT_GT(sink.blocks.size(), 5u);
  for (size_t i = 0; i < sink.blocks.size(); ++i) {
    if (i + 1 < sink.blocks.size()) {
      EXPECT_GT(sink.blocks[i].size(), kDumpHandOnLevel);
    }
    EXPECT_LE(sink.blocks[i].size(), kDumpBufferSize);
  }
  // The escaping area bounds one piece of text, cut at a whole escape.
  std::string escaped;
  for (size_t i = 0; i < kDumpFormatSize / 2; ++i) escaped += "\\{";
  std::string all = Joined(sink);
  EXPECT_TRUE(all.size() > escaped.size() && all.substr(all.size() - escaped.size()) == escaped &&
              all[all.size() - escaped.size() - 1] == '\n');
  EXPECT_EQ(Joined(sink).substr(0, expected.size()), expected);

  Sink refusing;
  refusing.refuseAfter = 1;
  InitDumpOutput(&out, kDumpRichText, Collect, &refusing);
  for (int i = 0; i < 500; ++i) WriteText(&out, 0, "line %d", i);
  EXPECT_EQ(FlushDumpOutput(&out), 0);
  EXPECT_EQ(refusing.blocks.size(), 1u);
  EXPECT_EQ(out.writeFailed, 1);
}

}  // namespace
