#include "plugin/browser_services.h"

#include <cstdlib>
#include <cstring>
#include <string_view>
#include <utility>

#include "common/text_format.h"

namespace {

NPNetscapeFuncs g_browser;
NPClass* g_scriptClass = nullptr;

static_assert(sizeof(void*) != 8 || kBrowserTableBytes == 352);

int ToBrowserText(const char16_t* text, std::string* out) {
  out->clear();
  if (!text) return 0;
  const size_t length = Utf16Length(text);
  if (length > static_cast<size_t>(kBrowserTextMaximum)) return 0;
  *out = Utf16ToUtf8(std::u16string_view(text, length));
  return 1;
}

bool IsSelfTarget(const char16_t* target) {
  constexpr std::u16string_view kSelf = u"_self";
  const std::u16string_view text(target);
  return EqualsNoCase(text, kSelf);
}

}  // namespace

NPError CopyBrowserTable(const NPNetscapeFuncs* browser) {
  ClearBrowserTable();
  if (!browser) return NPERR_INVALID_FUNCTABLE_ERROR;
  size_t bytes = browser->size;
  if (bytes > kBrowserTableBytes) bytes = kBrowserTableBytes;
  std::memcpy(&g_browser, browser, bytes);
  if (BrowserMajorVersion() != NP_VERSION_MAJOR) return NPERR_INCOMPATIBLE_VERSION_ERROR;
  return NPERR_NO_ERROR;
}

void ClearBrowserTable() { std::memset(&g_browser, 0, sizeof g_browser); }

const NPNetscapeFuncs& Browser() { return g_browser; }
int32_t BrowserMajorVersion() { return g_browser.version >> 8; }
int32_t BrowserMinorVersion() { return g_browser.version & 0xFF; }

NPClass* ScriptClass() { return g_scriptClass; }
void SetScriptClass(NPClass* scriptClass) {
  std::free(g_scriptClass);
  g_scriptClass = scriptClass;
}

int BrowserTextToUtf16(const char* text, std::u16string* out) {
  out->clear();
  if (!text) return 0;
  std::u16string converted = Utf8ToUtf16(text);
  if (converted.size() > static_cast<size_t>(kBrowserTextMaximum)) return 0;
  *out = std::move(converted);
  return 1;
}

NPError OpenUrl(NPP npp, const char16_t* url, const char16_t* target) {
  const bool push =
      g_browser.pushpopupsenabledstate && g_browser.poppopupsenabledstate && target && !IsSelfTarget(target);
  if (push) g_browser.pushpopupsenabledstate(npp, true);
  std::string url8;
  std::string target8;
  NPError result = NPERR_OUT_OF_MEMORY_ERROR;
  if (ToBrowserText(url, &url8)) {
    ToBrowserText(target, &target8);
    if (!g_browser.geturl) {
      result = NPERR_GENERIC_ERROR;
    } else {
      result = g_browser.geturl(npp, url8.c_str(), target ? target8.c_str() : nullptr);
    }
  }
  if (push) g_browser.poppopupsenabledstate(npp);
  return result;
}

void UserAgent(NPP npp, char16_t* buffer, size_t length) {
  if (!buffer || length == 0) return;
  buffer[0] = 0;
  if (!g_browser.uagent) return;
  std::u16string agent;
  if (BrowserTextToUtf16(g_browser.uagent(npp), &agent)) CopyBounded(buffer, length, agent);
}

void* BrowserAllocate(uint32_t size) { return g_browser.memalloc ? g_browser.memalloc(size) : nullptr; }

NPObject* CreateScriptObject(NPP npp) {
  if (!g_browser.createobject || !g_scriptClass) return nullptr;
  return g_browser.createobject(npp, g_scriptClass);
}

NPObject* RetainObject(NPObject* object) {
  return g_browser.retainobject ? g_browser.retainobject(object) : object;
}

void ReleaseObject(NPObject* object) {
  if (object && g_browser.releaseobject) g_browser.releaseobject(object);
}

void ReleaseVariant(NPVariant* variant) {
  if (variant && g_browser.releasevariantvalue) g_browser.releasevariantvalue(variant);
}
