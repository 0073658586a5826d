#include "document/disabled_compressions.h"

#include <algorithm>

namespace {

// Written once at library start, read while pages decode; both happen on the
// browser's plug-in thread.
std::vector<int32_t>& DisabledList() {
  static std::vector<int32_t> list;
  return list;
}

}  // namespace

void SetDisabledCompressions(const std::vector<int32_t>& codes) { DisabledList() = codes; }

void ClearDisabledCompressions() {
  DisabledList().clear();
  DisabledList().shrink_to_fit();
}

int IsCompressionDisabled(int32_t code) {
  const std::vector<int32_t>& list = DisabledList();
  return std::find(list.begin(), list.end(), code) != list.end();
}
