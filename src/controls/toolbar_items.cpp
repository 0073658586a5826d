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
