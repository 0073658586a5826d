#include "common/local_access.h"

#include <string_view>

#include "common/text_format.h"

namespace {

// "\\server\x", "c:\x", "/c:/x" and "file:..." all reach the local machine.
bool IsLocal(std::u16string_view a) {
  return (!a.empty() && a[0] == u'\\') || (a.size() > 1 && a[1] == u':') ||
         (a.size() > 2 && a[0] == u'/' && a[2] == u':') || StartsWithNoCase(a, u"file:");
}

}  // namespace

int CheckLocalAccess(int32_t localAccess, MessageLog* log, const char16_t* address) {
  if (!address || localAccess == kLocalAccessAll) return 1;
  std::u16string_view a(address, Utf16Length(address));
  if (StartsWithNoCase(a, u"javascript:") || StartsWithNoCase(a, u"vbscript:")) {
    LogError(log, "%s", localAccess == kLocalAccessTiffOnly ? "Remote access to local non-TIFF files not allowed."
                                                             : "Remote access to local files not allowed.");
    return 0;
  }
  if (!IsLocal(a)) return 1;
  if (localAccess == kLocalAccessTiffOnly &&
      (EndsWithNoCase(a, u".tif") || EndsWithNoCase(a, u".tiff") || EndsWithNoCase(a, u".mrvtif"))) {
    return 1;
  }
  LogError(log, "%s", localAccess == kLocalAccessTiffOnly ? "Remote access to local non-TIFF files not allowed."
                                                           : "Remote access to local files not allowed.");
  return 0;
}
