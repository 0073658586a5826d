// A file name for saving, attaching or uploading, derived from where the
// document came from.
#pragma once

#include <string>

constexpr size_t kSuggestedNameSize = 256;

// `source` is the document's address when one is known (isAddress true), else
// the local file name. Without a TIFF name in it, a "docid=" query value (with
// "-%03d" from "pagenum=") is used; the result may be empty.
std::u16string SuggestFileName(const std::u16string& source, bool isAddress, bool keepExtension);
// Every character below 32 and each of " * / : < > ? \ | becomes "_".
std::u16string ReplaceUnsafe(std::u16string name);
