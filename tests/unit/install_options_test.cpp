#include "installer/install_options.h"

#include <gtest/gtest.h>

#include <string>

#include "platform/platform.h"

namespace {

InstallerOptions Read(const std::string& text) {
  InstallerOptions options;
  OptionsTextReader reader(&options);
  reader.Feed(text);
  reader.Finish();
  return options;
}

TEST(InstallOptions, DefaultsWhenNothingIsGiven) {
  InstallerOptions options = Read("");
  EXPECT_EQ(options.showConfig, 1);
  EXPECT_EQ(options.showErrors, 2);
  EXPECT_EQ(options.showResult, 2);
  EXPECT_EQ(options.access, -1);
  EXPECT_EQ(options.mouseMode, -1);
  EXPECT_EQ(options.allowScript, -1);
  EXPECT_TRUE(options.toolbarItems.empty());
}

struct LineCase {
  const char* text;
  int32_t access;
  int32_t mouseMode;
};

TEST(InstallOptions, LinesAsAnAdministratorWritesThem) {
  const std::string longValue(140, '7');
  const LineCase cases[] = {
      {"access=8\n", 8, -1},
      {";access=8\n", -1, -1},
      {"access 8\n", -1, -1},                    // no "=": ignored
      {"ACCESS=8\r\nMouseMode=1\r\n", 8, 1},     // keys in any case, CRLF lines
      {"colour=3\naccess=2\n", 2, -1},           // unknown keys ignored
      {"access=5", 5, -1},                       // last line without a line end
      {"access=12abc\n", 12, -1},                // a number ends at its first non-digit
      {"access=\n", 0, -1},                      // no digits read as 0
      {"access=99999999999\n", 2147483647, -1},  // held at the limit, never wrapped
      {"access =8\n", -1, -1},                   // the key is the text before "=" exactly
      {"access=4\naccess=6\n", 6, -1},           // the last line wins
  };
  for (const LineCase& c : cases) {
    InstallerOptions options = Read(c.text);
    EXPECT_EQ(options.access, c.access) << c.text;
    EXPECT_EQ(options.mouseMode, c.mouseMode) << c.text;
  }
}

TEST(InstallOptions, NulByteEndsTheLinesText) {
  InstallerOptions options = Read(std::string("access=3\0mousemode=1\nmousemode=2\n", 33));
  EXPECT_EQ(options.access, 3);
  EXPECT_EQ(options.mouseMode, 2);
}

TEST(InstallOptions, OverlongLinesAreCutAndTheirTailIsNoLine) {
  // 150 characters: the first 99 are the line, and a "key=value" hidden in
  // the rest must not be taken as a setting.
  std::string line = "access=1" + std::string(91, ' ');
  ASSERT_EQ(line.size(), 99u);
  line += "mousemode=3" + std::string(40, 'x');
  InstallerOptions options = Read(line + "\nshowresult=0\n");
  EXPECT_EQ(options.access, 1);
  EXPECT_EQ(options.mouseMode, -1);
  EXPECT_EQ(options.showResult, 0);

  // The value of a long toolbaritems line is cut with its line.
  InstallerOptions items = Read("toolbaritems=" + std::string(150, 'a') + "\n");
  EXPECT_EQ(items.toolbarItems, std::u16string(99 - 13, u'a'));
}

TEST(InstallOptions, PiecesSplitAnywhereReadAsOneText) {
  const std::string text = "showconfig=0\r\n;comment\r\ntoolbaritems=1,2,3\r\naccess=8\r\n";
  for (size_t split = 0; split <= text.size(); ++split) {
    InstallerOptions options;
    OptionsTextReader reader(&options);
    reader.Feed(std::string_view(text).substr(0, split));
    reader.Feed(std::string_view(text).substr(split));
    reader.Finish();
    EXPECT_EQ(options.showConfig, 0) << split;
    EXPECT_EQ(options.access, 8) << split;
    EXPECT_EQ(options.toolbarItems, u"1,2,3") << split;
  }
}

TEST(InstallOptions, HugeTextKeepsItsLimits) {
  // Ten megabytes without a line end, then a setting: one cut line, then the setting.
  InstallerOptions options;
  OptionsTextReader reader(&options);
  std::string block(1 << 20, 'z');
  for (int i = 0; i < 10; ++i) reader.Feed(block);
  reader.Feed("\naccess=7\ntoolbaritems=" + std::string(10000, 'b'));
  reader.Finish();
  EXPECT_EQ(options.access, 7);
  EXPECT_LE(options.toolbarItems.size(), kToolbarItemsLimit);
}

struct SwitchCase {
  const char16_t* commandLine;
  int conditional;
  int silent;
};

TEST(InstallOptions, CommandLineSwitches) {
  const SwitchCase cases[] = {
      {u"", 0, 0},         {u"/s", 0, 1},     {u"/S", 0, 1},      {u"/COND", 1, 0},
      {u"/cond /s", 1, 1}, {u"  /s  ", 0, 1}, {u"/silent", 0, 0}, {u"/s/cond", 0, 0},
  };
  for (const SwitchCase& c : cases) {
    InstallerOptions options = Read("showconfig=5\nshowerrors=5\nshowresult=5\n");
    ApplyCommandLine(&options, c.commandLine);
    EXPECT_EQ(options.conditional, c.conditional);
    EXPECT_EQ(options.silent, c.silent);
    // "/s" overrides what options.txt said about showing anything.
    int32_t shown = c.silent ? 0 : 5;
    EXPECT_EQ(options.showConfig, shown);
    EXPECT_EQ(options.showErrors, shown);
    EXPECT_EQ(options.showResult, shown);
  }
}

}  // namespace

namespace {

TEST(InstallOptions, ReadsTheFileAndSurvivesOneThatCannotBeRead) {
  const std::u16string name = CreateUniqueTempFile(TempFolder(), u"opt");
  ASSERT_FALSE(name.empty());
  FileHandle file = CreateFileForWriting(name);
  ASSERT_NE(file, nullptr);
  const std::string text = "access=8\r\nshowconfig=0\r\n";
  WriteToFile(file, text.data(), static_cast<uint32_t>(text.size()));
  CloseFile(file);

  InstallerOptions options;
  EXPECT_TRUE(ReadOptionsFile(&options, name));
  EXPECT_EQ(options.access, 8);
  EXPECT_EQ(options.showConfig, 0);
  DeleteFileAt(name);

  // Missing, or a folder where the file should be: the defaults stay.
  for (const std::u16string& unreadable : {name, TempFolder()}) {
    InstallerOptions untouched;
    EXPECT_FALSE(ReadOptionsFile(&untouched, unreadable));
    EXPECT_EQ(untouched.access, -1);
    EXPECT_EQ(untouched.showConfig, 1);
  }
}

}  // namespace
