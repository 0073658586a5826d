#include "tools/nphost/plugin_lookup_win.h"

#include <windows.h>

#include <cstdio>
#include <vector>

#include "tools/nphost/host_window_win.h"
#include "tools/nphost/json_line.h"

namespace {

constexpr wchar_t kPluginsKey[] = L"SOFTWARE\\MozillaPlugins";

struct Root {
  HKEY key;
  const wchar_t* name;
};

std::vector<std::wstring> SubkeyNames(HKEY key) {
  std::vector<std::wstring> names;
  wchar_t name[256];
  for (DWORD index = 0;; ++index) {
    DWORD length = sizeof name / sizeof name[0];
    LONG result = RegEnumKeyExW(key, index, name, &length, nullptr, nullptr, nullptr, nullptr);
    if (result == ERROR_NO_MORE_ITEMS || result != ERROR_SUCCESS) break;
    names.emplace_back(name, length);
  }
  return names;
}

int HoldsMimeType(HKEY registration, const std::wstring& mimeType) {
  HKEY types = nullptr;
  if (RegOpenKeyExW(registration, L"MimeTypes", 0, KEY_READ, &types) != ERROR_SUCCESS) return 0;
  int holds = 0;
  for (const std::wstring& name : SubkeyNames(types)) {
    if (CompareStringOrdinal(name.c_str(), -1, mimeType.c_str(), -1, TRUE) == CSTR_EQUAL) holds = 1;
  }
  RegCloseKey(types);
  return holds;
}

// The registration's "Path" when it names an existing file; the value comes
// from the registry and is checked like any outside text.
std::wstring LibraryPath(HKEY registration) {
  wchar_t path[MAX_PATH] = {};
  DWORD size = sizeof path - sizeof path[0];
  if (RegGetValueW(registration, nullptr, L"Path", RRF_RT_REG_SZ, nullptr, path, &size) != ERROR_SUCCESS)
    return L"";
  DWORD attributes = GetFileAttributesW(path);
  if (attributes == INVALID_FILE_ATTRIBUTES || (attributes & FILE_ATTRIBUTE_DIRECTORY)) return L"";
  return path;
}

int FindUnder(const Root& root, const std::wstring& mimeType, PluginRegistration* found) {
  HKEY plugins = nullptr;
  if (RegOpenKeyExW(root.key, kPluginsKey, 0, KEY_READ, &plugins) != ERROR_SUCCESS) return 0;
  int hit = 0;
  for (const std::wstring& name : SubkeyNames(plugins)) {
    HKEY registration = nullptr;
    if (RegOpenKeyExW(plugins, name.c_str(), 0, KEY_READ, &registration) != ERROR_SUCCESS) continue;
    std::wstring path = HoldsMimeType(registration, mimeType) ? LibraryPath(registration) : L"";
    RegCloseKey(registration);
    if (path.empty()) continue;
    found->key = std::wstring(root.name) + L"\\" + kPluginsKey + L"\\" + name;
    found->path = path;
    hit = 1;
    break;
  }
  RegCloseKey(plugins);
  return hit;
}

}  // namespace

int FindPluginForMimeType(const std::wstring& mimeType, PluginRegistration* found, std::string* error) {
  const Root roots[] = {{HKEY_LOCAL_MACHINE, L"HKLM"}, {HKEY_CURRENT_USER, L"HKCU"}};
  for (const Root& root : roots) {
    if (FindUnder(root, mimeType, found)) return 1;
  }
  *error = "no registered plug-in with an existing library handles this MIME type";
  return 0;
}

int FindRegisteredPlugin(const std::wstring& mimeType, std::wstring* path) {
  PluginRegistration found;
  std::string error;
  if (!FindPluginForMimeType(mimeType, &found, &error)) {
    std::fprintf(stderr, "nphost: %s: %s\n", ToUtf8(mimeType).c_str(), error.c_str());
    return 0;
  }
  JsonLine line;
  line.Text("step", "find-plugin").Text("mime", ToUtf8(mimeType)).Text("key", ToUtf8(found.key));
  std::printf("%s\n", line.Text("path", ToUtf8(found.path)).str().c_str());
  std::fflush(stdout);
  *path = found.path;
  return 1;
}
