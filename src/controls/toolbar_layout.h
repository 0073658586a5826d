// Where the toolbar's items go: sizes from the toolbar height, x positions
// from left to right, and the logo at the right end.
#pragma once

#include <cstdint>
#include <vector>

struct ToolbarMetrics {
  int32_t height = 26;          // the toolbar window's height
  int32_t buttonSize = 22;      // every control's height, and the unit of the widths
  int32_t pageListHeight = 22;  // the page list's own height, from the message font
};

constexpr int32_t kToolbarMargin = 3;  // left of the first item, right of the logo
constexpr int32_t kControlTop = 2;
constexpr int32_t kLogoWidth = 64;
constexpr int32_t kLogoHeight = 22;

// `height` is the setting's button size plus 4; anything outside 26..104 is
// held at the nearer end. The message font counts as at least 16 pixels.
ToolbarMetrics ToolbarMetricsFor(int32_t height, int32_t messageFontHeight);
// The width of one item; the page list also makes room for its drop-down arrow.
int32_t ToolbarItemWidth(int32_t item, const ToolbarMetrics& metrics, int32_t verticalBarWidth);

struct ToolbarPlacement {
  std::vector<int32_t> x;  // one per item, in list order
  int32_t width = 0;       // where the logo may start at the earliest
};
ToolbarPlacement PlaceToolbarItems(const std::vector<int32_t>& items, const ToolbarMetrics& metrics,
                                   int32_t verticalBarWidth);

// The logo's left edge: at the right end of the client area, never over the items.
int32_t ToolbarLogoPosition(int32_t layoutWidth, int32_t clientWidth, int32_t logoControl);
// Whether `lctrl` shows the logo, and whether it is also a link.
inline int LogoShown(int32_t logoControl) { return logoControl <= 2; }
inline int LogoIsLink(int32_t logoControl) { return logoControl == 0; }
int PointOnLogo(int32_t logoPosition, int32_t x, int32_t y);
