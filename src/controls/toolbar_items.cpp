#include "controls/toolbar_items.h"

#include <string_view>

const char16_t kStandardItems[] =
    u"PR,SA,CC,UP?,_,ZO,PA,SL?,DR?,ER?,_,BF,FW,FS,SS,_,O4,O1,O2,O3,_,NE,_,PG,PP,NP,_,ME,AB";
const char16_t kFullItems[] =
    u"PR,QP,OF,SA,CC,SE,UP?,_,ZO,PA,SL?,DR?,ER?,_,BF,FW,FH,FS,SS,_,O4,O1,O2,O3,O6,O5,O7,_,SM,NE,_,PG,PP,NP,_,"
    u"ME,AB";

int32_t ClassifyItemList(const char16_t* text) {
  if (!text || !*text) return kItemsUnset;
  if (text[0] != u'.' && text[0] != u'$') return kItemsExplicit;
  std::u16string_view word(text + 1);
  if (word == u"standard") return kItemsStandard;
  if (word == u"none") return kItemsNone;
  if (word == u"full") return kItemsFull;
  return kItemsUnset;
}

std::u16string ChooseItemList(const char16_t* parameter, const char16_t* setting) {
  int32_t kind = ClassifyItemList(parameter);
  const char16_t* text = parameter;
  if (kind == kItemsUnset) {
    kind = ClassifyItemList(setting);
    text = setting;
  }
  switch (kind) {
    case kItemsExplicit:
      return text;
    case kItemsNone:
      return u"";
    case kItemsFull:
      return kFullItems;
    default:
      return kStandardItems;
  }
}

int ItemListHasWhiteout(const std::u16string& list) {
  size_t start = 0;
  while (start <= list.size()) {
    size_t end = list.find(u',', start);
    if (end == std::u16string::npos) end = list.size();
    std::u16string_view item(list.data() + start, end - start);
    // "SL?" only appears when white-out is allowed already, so only a plain "SL" allows it.
    if (item.substr(0, 2) == u"SL" && (item.size() < 3 || item[2] != u'?')) return 1;
    start = end + 1;
  }
  return 0;
}

const ToolbarItem kToolbarItems[kItemCount] = {
    {u"_", 6, 0, 0, kControlNone, kStylePlain},
    {u"PR", 23, 105, 182, kControlButton, kStyleDisabled},
    {u"SA", 23, 110, 183, kControlButton, kStyleDisabled},
    {u"CC", 23, 109, 184, kControlButton, kStyleDisabled},
    {u"ZO", 23, 140, 185, kControlButton, kStyleToggle},
    {u"PA", 23, 141, 186, kControlButton, kStyleToggle},
    {u"BF", 23, 131, 187, kControlButton, kStyleToggle},
    {u"FW", 23, 117, 188, kControlButton, kStyleToggle},
    {u"FS", 23, 133, 0, kControlButton, kStyleToggle},
    {u"SS", 12, 0, 190, kControlUpDown, kStylePlain},
    {u"O4", 23, 114, 191, kControlButton, kStyleToggle},
    {u"O1", 23, 111, 192, kControlButton, kStyleToggle},
    {u"O2", 23, 113, 193, kControlButton, kStyleToggle},
    {u"O3", 23, 112, 194, kControlButton, kStyleToggle},
    {u"NE", 23, 115, 195, kControlButton, kStyleToggle},
    {u"PP", 17, 108, 0, kControlButton, kStyleDisabled},
    {u"NP", 17, 107, 0, kControlButton, kStyleDisabled},
    {u"ME", 23, 151, 198, kControlButton, kStyleToggle},
    {u"AB", 23, 106, 199, kControlButton, kStylePlain},
    {u"PG", 42, 0, 200, kControlPageList, kStyleDisabled},
    {u"OF", 23, 123, 201, kControlButton, kStylePlain},
    {u"FH", 23, 118, 202, kControlButton, kStyleToggle},
    {u"SM", 23, 136, 203, kControlButton, kStyleToggle},
    {u"O6", 23, 154, 204, kControlButton, kStylePlain},
    {u"O5", 23, 155, 205, kControlButton, kStylePlain},
    {u"SE", 23, 156, 287, kControlButton, kStyleDisabled},
    {u"QP", 23, 157, 288, kControlButton, kStyleDisabled},
    {u"SL", 23, 161, 311, kControlButton, kStyleToggle},
    {u"DR", 23, 165, 329, kControlButton, kStyleToggle},
    {u"ER", 23, 166, 330, kControlButton, kStyleToggle},
    {u"UP", 23, 167, 0, kControlButton, kStyleDisabled},
    {u"O7", 23, 168, 206, kControlButton, kStylePlain},
};

namespace {

int32_t FindItem(std::u16string_view code) {
  for (int32_t i = 0; i < kItemCount; ++i) {
    if (code == kToolbarItems[i].code) return i;
  }
  return -1;
}

int ConditionHolds(int32_t item, const ItemConditions& conditions) {
  switch (item) {
    case kItemWhiteoutMode:
      return conditions.selectAllowed;
    case kItemDrawMode:
    case kItemEraseMode:
      return conditions.sketchButtons;
    case kItemUpload:
      return conditions.uploadAddress;
    default:
      return 0;
  }
}

int AlreadyListed(const std::vector<int32_t>& items, int32_t item) {
  if (item == kItemSeparator) return !items.empty() && items.back() == kItemSeparator;
  for (int32_t listed : items) {
    if (listed == item) return 1;
  }
  return 0;
}

}  // namespace

std::vector<int32_t> ParseItemList(std::u16string_view list, const ItemConditions& conditions) {
  std::vector<int32_t> items;
  size_t start = 0;
  while (start <= list.size()) {
    size_t end = list.find(u',', start);
    if (end == std::u16string_view::npos) end = list.size();
    std::u16string_view element = list.substr(start, end - start);
    start = end + 1;
    const int32_t item = FindItem(element.substr(0, 2));
    if (item < 0 || items.size() >= static_cast<size_t>(kToolbarEntryMaximum)) continue;
    if (AlreadyListed(items, item)) continue;
    const bool conditional = element.size() > 2 && element[2] == u'?';
    if (conditional && !ConditionHolds(item, conditions)) continue;
    items.push_back(item);
  }
  return items;
}
