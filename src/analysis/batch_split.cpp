#include "analysis/batch_split.h"

#include <set>

#include "common/suggested_name.h"
#include "common/text_format.h"

namespace {

// The first barcode that marks a separator, or null.
const std::u16string* SeparatorText(const BatchPage& page, const std::u16string& prefix) {
  for (const std::u16string& text : page.barcodes) {
    if (text.compare(0, prefix.size(), prefix) == 0) return &text;
  }
  return nullptr;
}

std::u16string SafeStem(const std::u16string& text) {
  std::u16string stem = ReplaceUnsafe(text.substr(0, kSplitNameMaximum));
  for (char16_t& c : stem) {
    if (c == 127) c = u'_';
  }
  // No hidden files and no ".." however the name is joined to the folder.
  for (size_t i = 0; i < stem.size() && stem[i] == u'.'; ++i) stem[i] = u'_';
  return stem;
}

std::u16string Lowered(std::u16string text) {
  for (char16_t& c : text) c = AsciiLower(c);
  return text;
}

}  // namespace

SplitPlan PlanSplit(const std::vector<BatchPage>& pages, const SplitOptions& options) {
  SplitPlan plan;
  bool open = false;  // the last document takes further pages
  for (size_t i = 0; i < pages.size(); ++i) {
    const BatchPage& page = pages[i];
    int32_t index = static_cast<int32_t>(i);
    if (!page.readable) {
      plan.unreadable.push_back(index);
      continue;
    }
    if (const std::u16string* text = SeparatorText(page, options.separatorPrefix)) {
      ++plan.separators;
      plan.documents.push_back({{}, *text});
      open = true;
      if (options.keepSeparators) plan.documents.back().pages.push_back(index);
      continue;
    }
    if (options.dropBelow >= 0 && page.inkFraction < options.dropBelow) {
      ++plan.blanks;
      continue;
    }
    if (!open) plan.documents.push_back({});
    open = true;
    plan.documents.back().pages.push_back(index);
  }
  std::vector<SplitDocument> kept;
  for (SplitDocument& d : plan.documents) {
    if (!d.pages.empty()) kept.push_back(std::move(d));
  }
  plan.documents.swap(kept);
  return plan;
}

std::vector<std::u16string> SplitFileNames(const SplitPlan& plan, int fromBarcode) {
  std::vector<std::u16string> names;
  std::set<std::u16string> taken;  // compared without case, as Windows folders do
  for (size_t i = 0; i < plan.documents.size(); ++i) {
    char16_t number[16];
    FormatBounded(number, 16, "%04u", static_cast<unsigned>(i + 1));
    std::u16string stem = number;
    if (fromBarcode && !plan.documents[i].separatorText.empty())
      stem = SafeStem(plan.documents[i].separatorText);
    std::u16string name = stem;
    for (int repeat = 2; taken.count(Lowered(name + u".tif")); ++repeat) {
      char16_t suffix[16];
      FormatBounded(suffix, 16, "-%d", repeat);
      name = stem + suffix;
    }
    taken.insert(Lowered(name + u".tif"));
    names.push_back(name + u".tif");
  }
  return names;
}
