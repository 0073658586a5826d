// The toolbar's item lists: the page's `toolbaritems`, else the user's
// setting, else the standard list; the words ".standard", ".none" and ".full"
// (or with "$") name the built-in lists.
#pragma once

#include <cstdint>
#include <string>

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
