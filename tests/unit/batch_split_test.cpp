#include "analysis/batch_split.h"

#include <gtest/gtest.h>

namespace {

// Page shorthands: S:TEXT a separator sheet, B a blank back, P a page with
// content, C:TEXT content carrying a symbol that is no separator, X unreadable.
std::vector<BatchPage> Batch(const std::vector<std::u16string>& codes) {
  std::vector<BatchPage> pages;
  for (const std::u16string& code : codes) {
    BatchPage page;
    page.readable = code != u"X";
    page.inkFraction = code == u"B" ? 0.0004 : 0.08;
    if (code.size() > 2) page.barcodes = {code.substr(2)};
    pages.push_back(page);
  }
  return pages;
}

std::vector<std::vector<int32_t>> Pages(const SplitPlan& plan) {
  std::vector<std::vector<int32_t>> pages;
  for (const SplitDocument& d : plan.documents) pages.push_back(d.pages);
  return pages;
}

TEST(BatchSplit, SeparatorsBlanksAndUnreadablePages) {
  struct Case {
    const char* name;
    std::vector<std::u16string> batch;
    std::u16string prefix;
    double dropBelow;
    int32_t keep;
    std::vector<std::vector<int32_t>> documents;
    int32_t separators, blanks;
    std::vector<int32_t> unreadable;
  } cases[] = {
      {"no separators: one document", {u"P", u"P", u"B"}, u"SEP", -1, 0, {{0, 1, 2}}, 0, 0, {}},
      {"blank backs dropped", {u"P", u"B", u"P", u"B"}, u"SEP", 0.001, 0, {{0, 2}}, 0, 2, {}},
      {"separators cut and vanish",
       {u"S:SEP1", u"P", u"B", u"S:SEP2", u"P", u"P"},
       u"SEP",
       0.001,
       0,
       {{1}, {4, 5}},
       2,
       1,
       {}},
      {"kept separators open their document",
       {u"P", u"S:SEP1", u"P"},
       u"SEP",
       -1,
       1,
       {{0}, {1, 2}},
       1,
       0,
       {}},
      {"only separators: nothing", {u"S:SEP1", u"S:SEP2"}, u"SEP", -1, 0, {}, 2, 0, {}},
      {"other symbols are content", {u"C:INV-7", u"S:SEP1", u"C:INV-8"}, u"SEP", -1, 0, {{0}, {2}}, 1, 0, {}},
      {"any symbol without a prefix", {u"P", u"C:INV-7", u"P"}, u"", -1, 0, {{0}, {2}}, 1, 0, {}},
      {"unreadable pages listed, not written", {u"P", u"X", u"P"}, u"SEP", -1, 0, {{0, 2}}, 0, 0, {1}},
  };
  for (const Case& c : cases) {
    SplitOptions options;
    options.separatorPrefix = c.prefix;
    options.dropBelow = c.dropBelow;
    options.keepSeparators = c.keep;
    SplitPlan plan = PlanSplit(Batch(c.batch), options);
    EXPECT_EQ(Pages(plan), c.documents) << c.name;
    EXPECT_EQ(plan.separators, c.separators) << c.name;
    EXPECT_EQ(plan.blanks, c.blanks) << c.name;
    EXPECT_EQ(plan.unreadable, c.unreadable) << c.name;
  }
}

TEST(BatchSplit, NamesFromBarcodesAreSafeAndUnique) {
  SplitPlan plan;
  std::u16string longText(300, u'A');
  for (std::u16string text : {std::u16string(u""), std::u16string(u"SEP/INV 12"), std::u16string(u".."),
                              std::u16string(u"SEP\x01\x1F\x7F"), longText, std::u16string(u"sep/inv 12"),
                              std::u16string(u"SEP/INV 12")}) {
    plan.documents.push_back({{0}, text});
  }
  std::vector<std::u16string> numbered = SplitFileNames(plan, 0);
  EXPECT_EQ(numbered.front(), u"0001.tif");
  EXPECT_EQ(numbered.back(), u"0007.tif");
  std::vector<std::u16string> named = SplitFileNames(plan, 1);
  EXPECT_EQ(named[0], u"0001.tif");
  EXPECT_EQ(named[1], u"SEP_INV 12.tif");
  EXPECT_EQ(named[2], u"__.tif");
  EXPECT_EQ(named[3], u"SEP___.tif");
  EXPECT_EQ(named[4], std::u16string(kSplitNameMaximum, u'A') + u".tif");
  EXPECT_EQ(named[5], u"sep_inv 12-2.tif");  // the same file on a folder that ignores case
  EXPECT_EQ(named[6], u"SEP_INV 12-3.tif");
}

}  // namespace
