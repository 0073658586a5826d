#include "tools/mrvtool/tool_options.h"

#include <gtest/gtest.h>

#include <iterator>
#include <string>
#include <vector>

namespace {

struct Parsed {
  int ok = 0;
  int32_t flag = 0;
  int32_t page = 7;
  const char* out = nullptr;
  ToolRectangle region;
  int32_t hasRegion = 0;
  std::vector<ToolRectangle> boxes;
  const char* file = nullptr;
};

Parsed Parse(std::vector<std::string> words) {
  Parsed p;
  std::vector<char*> argv;
  for (std::string& word : words) argv.push_back(word.data());
  const ToolOption options[] = {
      FlagOption("--flag", &p.flag, 3), PageOption(&p.page), TextOption("--out", &p.out),
      RectangleOption("--region", &p.region, &p.hasRegion), RectanglesOption("--box", &p.boxes)};
  p.ok = ReadToolOptions("test", static_cast<int>(argv.size()), argv.data(), options, std::size(options),
                         &p.file);
  if (p.file) p.file = "given";  // the words die with the call
  if (p.out) p.out = "given";
  return p;
}

TEST(ToolOptions, EveryKindOfOptionReachesItsTarget) {
  Parsed p = Parse({"--flag", "--page", "12", "f.tif", "--out", "o.bmp", "--region", "1,-2,3,4", "--box",
                    "0,0,1,1", "--box", "5,6,7,8"});
  ASSERT_TRUE(p.ok);
  EXPECT_EQ(p.flag, 3);
  EXPECT_EQ(p.page, 12);
  EXPECT_STREQ(p.out, "given");
  EXPECT_STREQ(p.file, "given");
  EXPECT_EQ(p.hasRegion, 1);
  EXPECT_EQ(p.region.y, -2);
  ASSERT_EQ(p.boxes.size(), 2u);
  EXPECT_EQ(p.boxes[1].h, 8);
}

TEST(ToolOptions, BadWordsAreRefusedAndTheTargetsKeepTheirValues) {
  const std::vector<std::vector<std::string>> refused = {
      {},                          // no file
      {"f.tif", "g.tif"},          // two files
      {"--unknown", "f.tif"},      // an option the command lacks
      {"f.tif", "--page"},         // a value missing
      {"--page", "0", "f.tif"},    // pages start at 1
      {"--page", "12x", "f.tif"},  // text after the number
      {"--page", "", "f.tif"},     // no digits
      {"--page", "2147483648", "f.tif"},
      {"--region", "1,2,3", "f.tif"},
      {"--region", "1,2,3,4,", "f.tif"},
      {"--box", "1,2,3,99999999999", "f.tif"},
  };
  for (const auto& words : refused) {
    Parsed p = Parse(words);
    EXPECT_FALSE(p.ok) << (words.empty() ? "" : words[0]);
    EXPECT_EQ(p.page, 7);
  }
}

TEST(ToolOptions, PageNumbersReachTheLargest32BitNumber) {
  EXPECT_EQ(Parse({"--page", "2147483647", "f.tif"}).page, 2147483647);
  EXPECT_EQ(Parse({"--page", "1", "f.tif"}).page, 1);
}

}  // namespace
