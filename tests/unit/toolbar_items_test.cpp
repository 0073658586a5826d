#include "controls/toolbar_items.h"

#include <gtest/gtest.h>

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
