#include "output/print_plan.h"

#include <gtest/gtest.h>

#include <string>

#include "common/text_format.h"
#include "viewer/viewer_instance.h"

namespace {

TEST(PrintPlan, ModeForEachRequestKind) {
  struct {
    int32_t kind, allowAutoPrint, mode;
  } cases[] = {
      {0, 0, kPrintWithDialog}, {1, 0, kPrintSilently}, {4, 0, kPrintNothing}, {4, 1, kPrintSilently},
      {5, 0, kPrintWithDialog}, {5, 1, kPrintSilently}, {2, 1, kPrintNothing}, {3, 1, kPrintNothing},
      {6, 1, kPrintNothing},    {-1, 1, kPrintNothing},
  };
  ViewerInstance viewer;
  for (const auto& c : cases) {
    SCOPED_TRACE(c.kind);
    viewer.prefs.allowAutoPrint = c.allowAutoPrint;
    EXPECT_EQ(PrintModeForKind(&viewer, c.kind), c.mode);
  }
}

TEST(PrintPlan, SelectedPagesFromRanges) {
  struct {
    const char* name;
    std::vector<PageRange> ranges;
    int32_t pageCount;
    std::vector<uint8_t> selected;
  } cases[] = {
      {"the whole document", {{1, 3}}, 3, {1, 1, 1}},
      {"5-9 of 6 pages marks 5 and 6", {{5, 9}}, 6, {0, 0, 0, 0, 1, 1}},
      {"reversed range marks nothing", {{4, 2}}, 6, {0, 0, 0, 0, 0, 0}},
      {"a range beyond the document marks nothing", {{7, 9}}, 6, {0, 0, 0, 0, 0, 0}},
      {"zero and negative pages are outside", {{-5, 1}}, 3, {1, 0, 0}},
      {"overlapping ranges mark a page once", {{1, 2}, {2, 3}}, 4, {1, 1, 1, 0}},
      {"a range to the largest number stops at the last page", {{2, INT32_MAX}}, 3, {0, 1, 1}},
      {"no ranges", {}, 2, {0, 0}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    std::vector<uint8_t> selected;
    int32_t expectedTotal = 0;
    for (uint8_t flag : c.selected) expectedTotal += flag;
    EXPECT_EQ(SelectPages(c.ranges, c.pageCount, &selected), expectedTotal);
    EXPECT_EQ(selected, c.selected);
  }
}

TEST(PrintPlan, CopiesAsSetsOrRepeatedPages) {
  struct {
    int32_t copies, collate, support, sets, copiesPerPage;
  } cases[] = {
      {3, 1, 1, 3, 1}, {3, 0, 1, 1, 3},  {3, 1, 0, 1, 1}, {3, 0, 0, 1, 1},
      {0, 1, 1, 1, 1}, {-2, 0, 1, 1, 1}, {1, 0, 1, 1, 1},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(testing::Message() << c.copies << " collate " << c.collate << " support " << c.support);
    const CopyPlan plan = PlanCopies(c.copies, c.collate, c.support);
    EXPECT_EQ(plan.sets, c.sets);
    EXPECT_EQ(plan.copiesPerPage, c.copiesPerPage);
  }
}

TEST(PrintPlan, ProgressTexts) {
  struct {
    CopyPlan plan;
    int32_t page, printedInSet, total, set, copy;
    const char* text;
  } cases[] = {
      {{1, 1}, 5, 1, 2, 1, 1, "  Printing page 5 (1 of 2)"},
      {{3, 1}, 2, 2, 4, 3, 1, "  Printing page 2 of 4 (copy 3 of 3)"},
      {{1, 3}, 6, 1, 2, 1, 2, "  Printing page 1 of 2 (copy 2 of 3)"},
      {{2, 2}, 6, 1, 2, 2, 1, "  Printing page 1 of 2 (copy 1 of 2)"},
  };
  for (const auto& c : cases) {
    TextBuffer text{kStatusTextMaximum};
    PrintProgressText(&text, c.plan, c.page, c.printedInSet, c.total, c.set, c.copy);
    EXPECT_EQ(Utf16ToUtf8(TextOf(&text)), c.text);
  }
  // The status line holds 99 characters at most.
  TextBuffer text{kStatusTextMaximum};
  PrintProgressText(&text, {INT32_MAX, 1}, INT32_MAX, INT32_MAX, INT32_MAX, INT32_MAX, 1);
  EXPECT_LE(text.length, 99);
}

// Each step: the page's tags, whether it needs a new sheet, the state after the page ends.
TEST(PrintPlan, PageRoutingAcrossAJob) {
  struct Step {
    RoutingTags tags;
    int newSheet;
    int32_t bin, binGiven, duplex, frontSideAfter;
  };
  const Step steps[] = {
      {{0, 1, -1}, 0, 7, 0, 2, 0},    // a duplex front side
      {{-1, -1, -1}, 0, 7, 0, 2, 1},  // its back
      {{-1, -1, 3}, 0, 3, 1, 2, 0},   // front, from tray 3
      {{0, 1, -1}, 1, 3, 1, 2, 0},    // would fall on a back side: an empty one first, so it starts a sheet
      {{-1, 0, -1}, 0, 3, 1, 1, 1},   // simplex keeps every page on a front side
      {{-1, -1, -1}, 0, 3, 1, 1, 1},
  };
  PageRouting routing;
  routing.canDuplex = 1;
  int32_t started = 0;
  for (const Step& s : steps) {
    SCOPED_TRACE(started);
    const int newSheet = RoutePage(&routing, s.tags);
    if (newSheet) routing.frontSide = 1;  // the empty back side was printed
    EndRoutedPage(&routing);
    ++started;
    EXPECT_EQ(newSheet, s.newSheet);
    EXPECT_EQ(routing.bin, s.bin);
    EXPECT_EQ(routing.binGiven, s.binGiven);
    EXPECT_EQ(routing.duplex, s.duplex);
    EXPECT_EQ(routing.frontSide, s.frontSideAfter);
    EXPECT_EQ(routing.pagesStarted, started);
  }
}

}  // namespace
