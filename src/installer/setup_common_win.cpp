#include <shlobj.h>

#include <cstdarg>

#include "common/text_format.h"
#include "installer/setup_win.h"
#include "platform/wide_text_win.h"

std::u16string SuggestedFolder() {
  wchar_t programs[MAX_PATH] = {};
  if (FAILED(SHGetFolderPathW(nullptr, CSIDL_PROGRAM_FILES, nullptr, SHGFP_TYPE_CURRENT, programs)))
    programs[0] = 0;
  std::u16string folder = FromWide(programs);
  if (!folder.empty() && folder.back() == u'\\') folder.pop_back();
  folder += u"\\KOB\\Mervane";
  if (folder.size() > 511) folder.resize(511);
  return folder;
}

int SetupMessage(HWND owner, const char16_t* caption, UINT flags, const char* format, ...) {
  char16_t text[4096];
  va_list args;
  va_start(args, format);
  FormatBoundedV(text, sizeof text / sizeof text[0], format, args);
  va_end(args);
  return MessageBoxW(owner, AsWide(text), AsWide(caption), flags);
}

int CreateFolderWithParents(const std::u16string& folder) {
  auto isFolder = [](const std::u16string& name) {
    DWORD attributes = GetFileAttributesW(AsWide(name));
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY);
  };
  if (isFolder(folder)) return 1;
  if (CreateDirectoryW(AsWide(folder), nullptr) || isFolder(folder)) return isFolder(folder);
  // The first three characters are the drive ("C:\"), which cannot be made.
  for (size_t i = 3; i < folder.size(); ++i) {
    if (folder[i] == u'\\' || folder[i] == u'/') CreateDirectoryW(AsWide(folder.substr(0, i)), nullptr);
  }
  CreateDirectoryW(AsWide(folder), nullptr);
  return isFolder(folder);
}

int DeleteKeyTree(HKEY root, const std::u16string& path) {
  if (path.empty()) return 0;
  HKEY key = nullptr;
  if (RegOpenKeyExW(root, AsWide(path), 0, KEY_ENUMERATE_SUB_KEYS | KEY_QUERY_VALUE | DELETE, &key) !=
      ERROR_SUCCESS) {
    return 0;
  }
  wchar_t name[256];
  for (;;) {
    DWORD length = sizeof name / sizeof name[0];
    if (RegEnumKeyExW(key, 0, name, &length, nullptr, nullptr, nullptr, nullptr) != ERROR_SUCCESS) break;
    // A subkey that cannot be deleted would come first again forever.
    if (!DeleteKeyTree(root, path + u"\\" + FromWide(name))) break;
  }
  RegCloseKey(key);
  return RegDeleteKeyW(root, AsWide(path)) == ERROR_SUCCESS;
}
