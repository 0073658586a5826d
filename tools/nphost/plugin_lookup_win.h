// Finds a plug-in library the way Windows browsers do: by the MIME type, in
// the registrations under SOFTWARE\MozillaPlugins of the machine and of the
// current user.
#pragma once

#include <string>

struct PluginRegistration {
  std::wstring key;   // "HKLM\SOFTWARE\MozillaPlugins\<identifier>"
  std::wstring path;  // the registration's "Path"
};

// The first registration whose "MimeTypes" holds `mimeType` (compared without
// regard to case) and whose "Path" names an existing file; the machine's
// registrations come before the user's. Non-zero when one was found; else
// `error` says why.
int FindPluginForMimeType(const std::wstring& mimeType, PluginRegistration* found, std::string* error);

// For "--mime TYPE": finds the library and prints the observation
// {"step":"find-plugin","mime":…,"key":…,"path":…}; on failure tells why on
// standard error. Non-zero when found.
int FindRegisteredPlugin(const std::wstring& mimeType, std::wstring* path);
