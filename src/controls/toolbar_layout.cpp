#include "controls/toolbar_layout.h"

#include <algorithm>

#include "controls/toolbar_items.h"

namespace {

constexpr int32_t kUnit = 22;  // the button size the base widths are given for

// value * numerator / denominator rounded half up; all positive here.
int32_t RoundedShare(int64_t value, int64_t numerator, int64_t denominator) {
  return static_cast<int32_t>((2 * value * numerator + denominator) / (2 * denominator));
}

}  // namespace

ToolbarMetrics ToolbarMetricsFor(int32_t height, int32_t messageFontHeight) {
  ToolbarMetrics metrics;
  metrics.height = std::clamp<int32_t>(height, kUnit + 4, 100 + 4);
  metrics.buttonSize = metrics.height - 4;
  metrics.pageListHeight = std::min(std::max(messageFontHeight, 16) + 8, metrics.buttonSize);
  return metrics;
}

int32_t ToolbarItemWidth(int32_t item, const ToolbarMetrics& metrics, int32_t verticalBarWidth) {
  if (item < 0 || item >= kItemCount) return 0;
  if (item == kItemPageList)
    return verticalBarWidth + RoundedShare(kToolbarItems[item].baseWidth - 16, metrics.pageListHeight, kUnit);
  return RoundedShare(kToolbarItems[item].baseWidth, metrics.buttonSize, kUnit);
}

ToolbarPlacement PlaceToolbarItems(const std::vector<int32_t>& items, const ToolbarMetrics& metrics,
                                   int32_t verticalBarWidth) {
  ToolbarPlacement placement;
  int32_t x = kToolbarMargin;
  for (int32_t item : items) {
    placement.x.push_back(x);
    x += ToolbarItemWidth(item, metrics, verticalBarWidth);
  }
  placement.width = x + 1;
  return placement;
}

int32_t ToolbarLogoPosition(int32_t layoutWidth, int32_t clientWidth, int32_t logoControl) {
  const int32_t reserved = LogoShown(logoControl) ? kLogoWidth + kToolbarMargin : kToolbarMargin;
  return std::max(clientWidth - reserved, layoutWidth);
}

int PointOnLogo(int32_t logoPosition, int32_t x, int32_t y) {
  return x >= logoPosition && x < logoPosition + kLogoWidth && y >= kControlTop &&
         y < kControlTop + kLogoHeight;
}
