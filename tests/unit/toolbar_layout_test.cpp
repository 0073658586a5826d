#include "controls/toolbar_layout.h"

#include <gtest/gtest.h>

#include <climits>

#include "controls/toolbar_items.h"

namespace {

constexpr int32_t kBar = 17;  // a vertical scroll bar's width

struct MetricsCase {
  int32_t height;  // button-size setting plus 4
  int32_t messageFont;
  int32_t button, pageList;
  int32_t separator, upDown, pageStep, plainButton, pageListWidth;
};

TEST(ToolbarLayout, WidthsFollowTheButtonSize) {
  const MetricsCase cases[] = {
      {26, 16, 22, 22, 6, 12, 17, 23, kBar + 26},
      {14, 16, 22, 22, 6, 12, 17, 23, kBar + 26},      // below 22 acts as 22
      {44, 16, 40, 24, 11, 22, 31, 42, kBar + 28},     // the page list keeps the font's height
      {104, 13, 100, 24, 27, 55, 77, 105, kBar + 28},  // a small font counts as 16
      {504, 20, 100, 28, 27, 55, 77, 105, kBar + 33},  // above 100 acts as 100
      {0, 16, 22, 22, 6, 12, 17, 23, kBar + 26},
      {-5, 16, 22, 22, 6, 12, 17, 23, kBar + 26},
      {INT_MAX, 16, 100, 24, 27, 55, 77, 105, kBar + 28},
  };
  for (const MetricsCase& c : cases) {
    SCOPED_TRACE(c.height);
    const ToolbarMetrics m = ToolbarMetricsFor(c.height, c.messageFont);
    EXPECT_EQ(m.buttonSize, c.button);
    EXPECT_EQ(m.height, c.button + 4);
    EXPECT_EQ(m.pageListHeight, c.pageList);
    EXPECT_EQ(ToolbarItemWidth(kItemSeparator, m, kBar), c.separator);
    EXPECT_EQ(ToolbarItemWidth(kItemZoomStep, m, kBar), c.upDown);
    EXPECT_EQ(ToolbarItemWidth(kItemPreviousPage, m, kBar), c.pageStep);
    EXPECT_EQ(ToolbarItemWidth(kItemNextPage, m, kBar), c.pageStep);
    EXPECT_EQ(ToolbarItemWidth(kItemPrint, m, kBar), c.plainButton);
    EXPECT_EQ(ToolbarItemWidth(kItemPageList, m, kBar), c.pageListWidth);
  }
}

TEST(ToolbarLayout, ItemsRunFromTheLeftMarginAndTheLogoSitsAtTheRight) {
  const ToolbarMetrics m = ToolbarMetricsFor(26, 16);
  const ToolbarPlacement p =
      PlaceToolbarItems({kItemPrint, kItemSeparator, kItemZoomMode, kItemPageList}, m, kBar);
  EXPECT_EQ(p.x, (std::vector<int32_t>{3, 26, 32, 55}));
  EXPECT_EQ(p.width, 55 + kBar + 26 + 1);
  EXPECT_EQ(PlaceToolbarItems({}, m, kBar).width, 4);

  struct LogoCase {
    int32_t layoutWidth, clientWidth, lctrl, position;
  };
  const LogoCase logos[] = {
      {300, 600, 0, 533}, {300, 600, 2, 533}, {300, 600, 3, 597}, {580, 600, 0, 580},  // never over the items
      {300, 100, 7, 300},
  };
  for (const LogoCase& c : logos)
    EXPECT_EQ(ToolbarLogoPosition(c.layoutWidth, c.clientWidth, c.lctrl), c.position);
}

TEST(ToolbarLayout, LogoLinkCoversTheLogoOnly) {
  EXPECT_TRUE(PointOnLogo(533, 533, 2));
  EXPECT_TRUE(PointOnLogo(533, 596, 23));
  EXPECT_FALSE(PointOnLogo(533, 597, 10));
  EXPECT_FALSE(PointOnLogo(533, 532, 10));
  EXPECT_FALSE(PointOnLogo(533, 540, 24));
  EXPECT_FALSE(PointOnLogo(533, 540, 1));
  EXPECT_TRUE(LogoShown(2) && LogoIsLink(0));
  EXPECT_FALSE(LogoIsLink(1) || LogoShown(3) || LogoShown(INT_MAX));
}

}  // namespace
