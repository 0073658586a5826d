#include "common/local_access.h"

#include <string>
#include <string_view>

#include "common/text_format.h"

namespace {

// Browsers drop the controls and spaces around an address and every tab, CR
// and LF inside it before they act on it, so " java\tscript:" runs as script.
// The rule judges the address they will act on.
std::u16string AsBrowsersReadIt(std::u16string_view a) {
  size_t begin = 0, end = a.size();
  while (begin < end && a[begin] <= u' ') ++begin;
  while (end > begin && a[end - 1] <= u' ') --end;
  std::u16string read;
  read.reserve(end - begin);
  for (char16_t c : a.substr(begin, end - begin)) {
    if (c != u'\t' && c != u'\r' && c != u'\n') read.push_back(c);
  }
  return read;
}

// "\\server\x", "c:\x", "/c:/x" and "file:..." all reach the local machine.
bool IsLocal(std::u16string_view a) {
  return (!a.empty() && a[0] == u'\\') || (a.size() > 1 && a[1] == u':') ||
         (a.size() > 2 && a[0] == u'/' && a[2] == u':') || StartsWithNoCase(a, u"file:");
}

// The file that is opened is named by what comes before a query or fragment:
// "secret.txt?.tif" opens secret.txt.
bool NamesTiffFile(std::u16string_view a) {
  std::u16string_view path = a.substr(0, a.find_first_of(u"?#"));
  return EndsWithNoCase(path, u".tif") || EndsWithNoCase(path, u".tiff") || EndsWithNoCase(path, u".mrvtif");
}

int Refuse(int32_t localAccess, MessageLog* log) {
  LogError(log, "%s",
           localAccess == kLocalAccessTiffOnly ? "Remote access to local non-TIFF files not allowed."
                                               : "Remote access to local files not allowed.");
  return 0;
}

}  // namespace

int CheckLocalAccess(int32_t localAccess, MessageLog* log, const char16_t* address) {
  if (!address || localAccess == kLocalAccessAll) return 1;
  const std::u16string a = AsBrowsersReadIt(std::u16string_view(address, Utf16Length(address)));
  if (StartsWithNoCase(a, u"javascript:") || StartsWithNoCase(a, u"vbscript:"))
    return Refuse(localAccess, log);
  if (!IsLocal(a)) return 1;
  if (localAccess == kLocalAccessTiffOnly && NamesTiffFile(a)) return 1;
  return Refuse(localAccess, log);
}
