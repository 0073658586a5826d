// The test browser's scenario text: a wrong split or substitution would make
// a scenario check something other than what it says.
#include "tools/nphost/scenario.h"

#include <gtest/gtest.h>

TEST(ScenarioText, StepsHaveWordsAndValuesAndQuotedBlanks) {
  Step step;
  std::string error;
  ASSERT_TRUE(
      ParseStep(R"(expect  text="  Download \"failed\"" ctrl "a=b" caption=Mervane)", 7, &step, &error));
  EXPECT_EQ(step.line, 7);
  EXPECT_EQ(step.verb, "expect");
  EXPECT_EQ(step.Get("text"), "  Download \"failed\"");
  EXPECT_EQ(step.Get("caption"), "Mervane");
  EXPECT_EQ(step.Get("icon", "none"), "none");
  EXPECT_TRUE(step.HasWord("ctrl"));
  // A quoted "=" does not make a value.
  EXPECT_TRUE(step.HasWord("a=b"));
  EXPECT_FALSE(step.Has("a"));
}

TEST(ScenarioText, ScenarioSkipsCommentsAndBlankLinesAndReportsTheLineOfABadQuote) {
  std::vector<Step> steps;
  std::string error;
  ASSERT_TRUE(ParseScenario("# a comment\r\n\r\nload\r\n   \n  key ctrl+pagedown\n", &steps, &error));
  ASSERT_EQ(steps.size(), 2u);
  EXPECT_EQ(steps[0].verb, "load");
  EXPECT_EQ(steps[1].line, 5);
  EXPECT_EQ(steps[1].words[0], "ctrl+pagedown");

  steps.clear();
  EXPECT_FALSE(ParseScenario("load\nexpect text=\"open\n", &steps, &error));
  EXPECT_NE(error.find("line 2"), std::string::npos) << error;
}

TEST(ScenarioText, DefinitionsAreSubstitutedAndAnUndefinedOneStopsTheRun) {
  const std::map<std::string, std::string> definitions = {{"out", "/b/out"}, {"n", "3"}};
  std::string text = "capture file=${out}/a.bmp\nstream block=${n}${n} ${";
  std::string error;
  ASSERT_TRUE(SubstituteDefinitions(definitions, &text, &error));
  EXPECT_EQ(text, "capture file=/b/out/a.bmp\nstream block=33 ${");

  text = "stream file=${in}/a.tif";
  EXPECT_FALSE(SubstituteDefinitions(definitions, &text, &error));
  EXPECT_NE(error.find("${in}"), std::string::npos) << error;
  EXPECT_EQ(text, "stream file=${in}/a.tif");
}

TEST(ScenarioText, ReactionStepsSplitAtSemicolonsOutsideQuotes) {
  const std::vector<std::string> parts = SplitSteps(R"(files; expect text="a; \"b;\" c" ;stream block=1)");
  ASSERT_EQ(parts.size(), 3u);
  EXPECT_EQ(parts[0], "files");
  EXPECT_EQ(parts[1], R"( expect text="a; \"b;\" c" )");
  EXPECT_EQ(parts[2], "stream block=1");
  EXPECT_EQ(SplitSteps("").size(), 1u);
}
