#include <windows.h>

#include "platform/platform.h"
#include "platform/wide_text_win.h"

std::u16string TempFolder() {
  wchar_t folder[MAX_PATH + 1];
  DWORD n = GetTempPathW(MAX_PATH + 1, folder);
  if (n == 0 || n > MAX_PATH) return u"";
  return FromWide(folder);
}

std::u16string CreateUniqueTempFile(const std::u16string& folder, const std::u16string& prefix) {
  // Number 0 makes the system pick a unique name and create the empty file.
  wchar_t name[MAX_PATH];
  if (!GetTempFileNameW(AsWide(folder), AsWide(prefix), 0, name)) return u"";
  return FromWide(name);
}

int DeleteFileAt(const std::u16string& name) { return DeleteFileW(AsWide(name)) != 0; }

int FileExists(const std::u16string& name) {
  DWORD attributes = GetFileAttributesW(AsWide(name));
  return attributes != INVALID_FILE_ATTRIBUTES && !(attributes & FILE_ATTRIBUTE_DIRECTORY);
}

uint32_t LastSystemError() { return GetLastError(); }

int PlatformMessageBox(void* owner, const std::u16string& text, const std::u16string& caption,
                       uint32_t flags) {
  return MessageBoxW(static_cast<HWND>(owner), AsWide(text), AsWide(caption), flags);
}
