#include "controls/toolbar_items.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

TEST(ItemLists, ClassesAndWhichListWins) {
  EXPECT_EQ(ClassifyItemList(u""), kItemsUnset);
  EXPECT_EQ(ClassifyItemList(nullptr), kItemsUnset);
  EXPECT_EQ(ClassifyItemList(u".standard"), kItemsStandard);
  EXPECT_EQ(ClassifyItemList(u"$none"), kItemsNone);
  EXPECT_EQ(ClassifyItemList(u".full"), kItemsFull);
  EXPECT_EQ(ClassifyItemList(u".Full"), kItemsUnset);  // the words are exact
  EXPECT_EQ(ClassifyItemList(u"$fancy"), kItemsUnset);
  EXPECT_EQ(ClassifyItemList(u"PR,SA"), kItemsExplicit);

  EXPECT_EQ(ChooseItemList(u"PR,SA", u".full"), u"PR,SA");
  EXPECT_EQ(ChooseItemList(u"", u".full"), kFullItems);
  EXPECT_EQ(ChooseItemList(u".bogus", u"ZO,PA"), u"ZO,PA");
  EXPECT_EQ(ChooseItemList(u"$none", u"ZO,PA"), u"");
  EXPECT_EQ(ChooseItemList(u"", u""), kStandardItems);
  EXPECT_EQ(ChooseItemList(u".standard", u"ZO"), kStandardItems);
}

TEST(ItemLists, OnlyAnUnconditionalWhiteoutButtonAllowsWhiteout) {
  EXPECT_TRUE(ItemListHasWhiteout(u"PR,SL,ZO"));
  EXPECT_TRUE(ItemListHasWhiteout(u"SLx"));
  EXPECT_FALSE(ItemListHasWhiteout(kStandardItems));  // "SL?"
  EXPECT_FALSE(ItemListHasWhiteout(u"sl,S,L"));
  EXPECT_FALSE(ItemListHasWhiteout(u""));
}

}  // namespace

namespace {

std::vector<std::u16string> Codes(const std::vector<int32_t>& items) {
  std::vector<std::u16string> codes;
  for (int32_t item : items) codes.push_back(kToolbarItems[item].code);
  return codes;
}

struct ParseCase {
  const char16_t* list;
  ItemConditions conditions;
  std::vector<std::u16string> expected;
};

TEST(ItemLists, ParsingKeepsEachItemOnceAndOnlyTheConditionsThatHold) {
  const ItemConditions none{};
  const ItemConditions all{1, 1, 1};
  const ParseCase cases[] = {
      // A repeated item and a double separator collapse; a leading separator stays.
      {u"PR,PR,_,_,ZO", none, {u"PR", u"_", u"ZO"}},
      {u"_,NE", none, {u"_", u"NE"}},
      // Only the first two characters count; a third "?" makes the element conditional.
      {u"PRINT,ZOx,NE?", none, {u"PR", u"ZO"}},
      {u"UP?,SL?,DR?,ER?", none, {}},
      {u"UP?,SL?,DR?,ER?", all, {u"UP", u"SL", u"DR", u"ER"}},
      {u"UP,SL", none, {u"UP", u"SL"}},  // without the mark always shown
      {u"UP?", {0, 0, 1}, {u"UP"}},
      {u"DR?,ER?,SL?", {0, 1, 0}, {u"DR", u"ER"}},
      {u"NE?", all, {}},  // other items have no condition to meet
      // Unknown, lower-case, blank and non-ASCII codes are skipped.
      {u"pr, PR,XX,,\u00c9A,P\u00e9,AB", none, {u"AB"}},
      {u",,,,", none, {}},
      {u"", none, {}},
  };
  for (const ParseCase& c : cases) {
    SCOPED_TRACE(testing::PrintToString(std::u16string(c.list)));
    EXPECT_EQ(Codes(ParseItemList(c.list, c.conditions)), c.expected);
  }
}

TEST(ItemLists, BuiltInListsParseToTheirButtons) {
  EXPECT_EQ(ParseItemList(kStandardItems, {}).size(), 25u);
  EXPECT_EQ(ParseItemList(kFullItems, {1, 1, 1}).size(), 37u);
  EXPECT_EQ(ParseItemList(kFullItems, {}).size(), 33u);
}

TEST(ItemLists, HugeListsGiveABoundedToolbar) {
  std::u16string repeated;
  for (int i = 0; i < 20000; ++i) repeated += i % 2 ? u"_," : u"NE,";
  EXPECT_EQ(Codes(ParseItemList(repeated, {})), (std::vector<std::u16string>{u"NE", u"_"}));
  EXPECT_TRUE(ParseItemList(std::u16string(100000, u'A'), {}).empty());
  EXPECT_TRUE(ParseItemList(std::u16string(100000, u','), {}).empty());
  // Separators around all 31 items make the longest possible toolbar, 63 entries.
  std::u16string longest;
  for (int round = 0; round < 3; ++round) {
    for (const ToolbarItem& item : kToolbarItems) longest += std::u16string(u"_,") + item.code + u",";
  }
  EXPECT_EQ(ParseItemList(longest, {1, 1, 1}).size(), 63u);
}

}  // namespace
