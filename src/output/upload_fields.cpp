#include "output/upload_fields.h"

#include <algorithm>
#include <cstdint>
#include <utility>

namespace {

bool KeptInUrl(char32_t c) { return c > 32 && c <= 126 && c != U'#' && c != U'\'' && c != U'\\'; }

bool KeptInName(char32_t c) {
  if ((c >= U'A' && c <= U'Z') || (c >= U'a' && c <= U'z') || (c >= U'0' && c <= U'9')) return true;
  for (char32_t allowed : std::u32string_view(U" $+,-./@_")) {
    if (c == allowed) return true;
  }
  return false;
}

// One "_" for each character that is not kept; a surrogate pair is one
// character, so it gives one mark, and an unpaired half is a character too.
std::u16string Clean(std::u16string_view text, bool (*kept)(char32_t)) {
  std::u16string cleaned;
  cleaned.reserve(text.size());
  for (size_t i = 0; i < text.size(); ++i) {
    char16_t c = text[i];
    if (c >= 0xD800 && c <= 0xDBFF && i + 1 < text.size() && text[i + 1] >= 0xDC00 && text[i + 1] <= 0xDFFF) {
      ++i;
      cleaned.push_back(u'_');
      continue;
    }
    cleaned.push_back(kept(c) ? c : u'_');
  }
  return cleaned;
}

}  // namespace

std::u16string CleanUploadUrl(std::u16string_view url) { return Clean(url, KeptInUrl); }

std::u16string CleanUploadName(std::u16string_view name) { return Clean(name, KeptInName); }

int AddFormField(std::vector<UploadFormField>* fields, std::u16string_view name, std::u16string_view value) {
  std::u16string cleaned = CleanUploadName(name.substr(0, kFormFieldNameMaximum));
  if (cleaned.empty()) return 1;
  for (const UploadFormField& field : *fields) {
    if (field.name == cleaned) return 1;
  }
  if (fields->size() >= kFormFieldMaximum) return 0;
  fields->push_back({std::move(cleaned), std::u16string(value)});
  return 1;
}

int32_t DeleteFormFields(std::vector<UploadFormField>* fields, std::u16string_view name) {
  const size_t before = fields->size();
  std::erase_if(*fields, [name](const UploadFormField& field) { return field.name == name; });
  return static_cast<int32_t>(before - fields->size());
}
