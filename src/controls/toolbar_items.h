// The toolbar's item lists: the page's `toolbaritems`, else the user's
// setting, else the standard list; the words ".standard", ".none" and ".full"
// (or with "$") name the built-in lists.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

extern const char16_t kStandardItems[];
extern const char16_t kFullItems[];
enum ItemListClass : int32_t {
  kItemsUnset = 0,
  kItemsExplicit = 1,
  kItemsStandard = 2,
  kItemsNone = 3,
  kItemsFull = 4,
};
int32_t ClassifyItemList(const char16_t* text);
// The page's list wins unless it is unset; then the user's setting decides.
std::u16string ChooseItemList(const char16_t* parameter, const char16_t* setting);
// Whether the list shows the white-out button unconditionally.
int ItemListHasWhiteout(const std::u16string& list);

// The toolbar's items by index; the index is also where other parts find an
// item's control.
enum ToolbarItemIndex : int32_t {
  kItemSeparator = 0,
  kItemPrint = 1,
  kItemSave = 2,
  kItemCopy = 3,
  kItemZoomMode = 4,
  kItemPanMode = 5,
  kItemBestFit = 6,
  kItemFitWidth = 7,
  kItemFixedSize = 8,
  kItemZoomStep = 9,
  kItemRotatedLeft = 10,
  kItemUpright = 11,
  kItemRotatedRight = 12,
  kItemUpsideDown = 13,
  kItemNegative = 14,
  kItemPreviousPage = 15,
  kItemNextPage = 16,
  kItemMenu = 17,
  kItemAbout = 18,
  kItemPageList = 19,
  kItemOpen = 20,
  kItemFitHeight = 21,
  kItemSmooth = 22,
  kItemTurnLeft = 23,
  kItemTurnRight = 24,
  kItemMail = 25,
  kItemQuickPrint = 26,
  kItemWhiteoutMode = 27,
  kItemDrawMode = 28,
  kItemEraseMode = 29,
  kItemUpload = 30,
  kItemTurnHalf = 31,
  kItemCount = 32,
};

enum ToolbarControl : int32_t {
  kControlNone = 0,
  kControlButton = 1,
  kControlUpDown = 2,
  kControlPageList = 3
};
// Extra style of the control: created disabled, or a push button that stays
// pressed while checked.
enum ToolbarStyle : int32_t { kStylePlain = 0, kStyleDisabled = 1, kStyleToggle = 2 };

struct ToolbarItem {
  const char16_t* code;
  int32_t baseWidth;  // in units of a 22-pixel button
  int32_t iconId;     // 0: none
  int32_t tipId;      // 0: the text is made when the tooltip asks
  ToolbarControl control;
  ToolbarStyle style;
};
extern const ToolbarItem kToolbarItems[kItemCount];

constexpr int32_t kToolbarEntryMaximum = 64;

// What the conditional ("?") elements of a list depend on.
struct ItemConditions {
  int selectAllowed = 0;
  int sketchButtons = 0;
  int uploadAddress = 0;
};
// The item indexes of a list in order: unknown codes, repeated items, a
// separator after a separator, conditional elements whose condition fails and
// everything past 64 entries are left out.
std::vector<int32_t> ParseItemList(std::u16string_view list, const ItemConditions& conditions);
