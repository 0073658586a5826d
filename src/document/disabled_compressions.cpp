#include "document/disabled_compressions.h"

#include <algorithm>

namespace {

std::vector<int32_t>& DisabledList() {
  static std::vector<int32_t> list;
  return list;
}

}  // namespace

void SetDisabledCompressions(const std::vector<int32_t>& codes) {
  std::vector<int32_t>& list = DisabledList();
  list.clear();
  for (int32_t code : codes) {
    if (code >= 1) list.push_back(code);
  }
}

void ClearDisabledCompressions() { DisabledList().clear(); }

int IsCompressionDisabled(int32_t code) {
  const std::vector<int32_t>& list = DisabledList();
  return std::find(list.begin(), list.end(), code) != list.end() ? 1 : 0;
}
