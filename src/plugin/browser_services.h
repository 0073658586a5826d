// The process's copy of the browser's service table and the wrappers through
// which the rest of the library calls the browser. A service the browser did
// not supply is never called: its wrapper answers a harmless fallback.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

#include "plugin/npapi.h"

// Only the services up to and including `enumerate` are ever used; whatever a
// browser places after them is never copied. 352 bytes on 64-bit Windows.
constexpr size_t kBrowserTableBytes = offsetof(NPNetscapeFuncs, pluginthreadasynccall);
constexpr int32_t kBrowserTextMaximum = 1000000;  // UTF-16 units

// Zero-fills the copy, then takes min(size, kBrowserTableBytes) bytes of
// `browser`. NPERR_INVALID_FUNCTABLE_ERROR for a null table and
// NPERR_INCOMPATIBLE_VERSION_ERROR for a major version other than 0 (the copy
// stays in place then).
NPError CopyBrowserTable(const NPNetscapeFuncs* browser);
void ClearBrowserTable();
// The copy; entries past the copied bytes are null.
const NPNetscapeFuncs& Browser();
int32_t BrowserMajorVersion();
int32_t BrowserMinorVersion();

// The class of the viewer's script object, or null when there is none. The
// class is allocated with calloc and owned here once set.
NPClass* ScriptClass();
void SetScriptClass(NPClass* scriptClass);

// Browser text (UTF-8) to UTF-16. Null text, or text longer than
// kBrowserTextMaximum units, gives 0 and leaves `out` empty.
int BrowserTextToUtf16(const char* text, std::u16string* out);

// NPN_GetURL with the pop-up permission pushed for any target but "_self".
// NPERR_OUT_OF_MEMORY_ERROR when the URL cannot be converted,
// NPERR_GENERIC_ERROR when the browser offers no such service.
NPError OpenUrl(NPP npp, const char16_t* url, const char16_t* target);
// The browser's user agent into `buffer` of `length` units, cut to fit and
// always terminated; empty when the browser gives none.
void UserAgent(NPP npp, char16_t* buffer, size_t length);
// Browser-owned memory for what is handed to the browser; null when refused.
void* BrowserAllocate(uint32_t size);
// An object of ScriptClass for `npp`, carrying one reference; null when either
// is missing.
NPObject* CreateScriptObject(NPP npp);
NPObject* RetainObject(NPObject* object);
void ReleaseObject(NPObject* object);
void ReleaseVariant(NPVariant* variant);
