// The texts an upload writes into its request: the target address goes into
// the request line, the field and file names into the form part headers
// between double quotes. The page gives them, so they are cleaned when they
// are set; the upload later relies on that and on nothing else.
#pragma once

#include <string>
#include <string_view>
#include <vector>

// Used when the page named no field or file.
constexpr char16_t kDefaultUploadFieldName[] = u"file";
constexpr char16_t kDefaultUploadFileName[] = u"image.tif";

// Every character from 0 to 32 or above 126, and "#", "'" and "\", becomes "_".
std::u16string CleanUploadUrl(std::u16string_view url);
// Every character but A-Z, a-z, 0-9, space and "$+,-./@_" becomes "_". For the
// file field name, the file name and the names of added form fields.
std::u16string CleanUploadName(std::u16string_view name);

// Extra form fields the page's scripts add to an upload, in the order added.
struct UploadFormField {
  std::u16string name;  // cleaned
  std::u16string value;
};
constexpr size_t kFormFieldMaximum = 64;
constexpr size_t kFormFieldNameMaximum = 100;

// Adds a field whose name is cut to kFormFieldNameMaximum characters and
// cleaned as CleanUploadName does. A name already present keeps its first
// value, and an empty name adds nothing (a part without a name is no form
// field); both still answer 1. 0 when the list is full.
int AddFormField(std::vector<UploadFormField>* fields, std::u16string_view name, std::u16string_view value);
// Removes every field whose stored name is exactly `name`; answers how many went.
int32_t DeleteFormFields(std::vector<UploadFormField>* fields, std::u16string_view name);
