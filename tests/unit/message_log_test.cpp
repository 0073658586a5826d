#include "common/message_log.h"

#include <gtest/gtest.h>

#include <string>

namespace {

std::u16string Text(const MessageLog& log) { return TextOf(&log.text); }

TEST(MessageLog, LinesCarryKindAndCrLf) {
  MessageLog log;
  LogError(&log, "Unable to read file");
  LogWarning(&log, "IFD loop or %s", "duplicate IFD detected");
  EXPECT_EQ(Text(log), u"Error: Unable to read file\r\nWarning: IFD loop or duplicate IFD detected\r\n");
  EXPECT_EQ(log.errorCount, 1);
  EXPECT_EQ(log.warningCount, 1);
  EXPECT_EQ(std::u16string(TextOf(&log.lastLine)), u"Warning: IFD loop or duplicate IFD detected\r\n");
}

TEST(MessageLog, ImmediateRepeatIsCountedButStoredOnce) {
  MessageLog log;
  LogError(&log, "same");
  LogError(&log, "same");
  EXPECT_EQ(log.errorCount, 2);
  EXPECT_EQ(Text(log), u"Error: same\r\n");
  LogWarning(&log, "other");
  LogError(&log, "same");
  EXPECT_EQ(Text(log), u"Error: same\r\nWarning: other\r\nError: same\r\n");
}

TEST(MessageLog, FullLogIsEmptiedBeforeTheNextLine) {
  MessageLog log;
  // 7990 characters of log, then a 20-character line: 7990 + 20 + 1 > 8000.
  for (char c = 'a'; c < 'a' + 10; ++c) {
    std::string filler(790, c);
    LogError(&log, "%s", filler.c_str());  // "Error: " + 790 + "\r\n" = 799 characters
  }
  ASSERT_EQ(log.text.length, 7990);
  LogWarning(&log, "%s", "0123456789");  // "Warning: 0123456789\r\n" = 21
  EXPECT_EQ(Text(log), u"Warning: 0123456789\r\n");
  EXPECT_EQ(log.errorCount, 10);
  EXPECT_EQ(log.warningCount, 1);
}

TEST(MessageLog, LongMessagesAreCutToTheLineArea) {
  MessageLog log;
  std::string text(3000, 'z');
  LogError(&log, "%s", text.c_str());
  EXPECT_EQ(log.text.length, 1023);
}

TEST(MessageLog, ResetClearsCountsAndTexts) {
  MessageLog log;
  LogError(&log, "x");
  ResetLog(&log);
  EXPECT_EQ(log.errorCount, 0);
  EXPECT_EQ(Text(log), u"");
  LogError(&log, "x");  // not a repeat of a line that was reset away
  EXPECT_EQ(Text(log), u"Error: x\r\n");
}

TEST(MessageLog, NullLogIsIgnored) {
  LogError(nullptr, "nothing");
  LogWarning(nullptr, "nothing");
  SUCCEED();
}

}  // namespace
