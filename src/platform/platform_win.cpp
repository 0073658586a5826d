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

int RemoveFolderAt(const std::u16string& name) { return RemoveDirectoryW(AsWide(name)) != 0; }

int FileExists(const std::u16string& name) {
  DWORD attributes = GetFileAttributesW(AsWide(name));
  return attributes != INVALID_FILE_ATTRIBUTES && !(attributes & FILE_ATTRIBUTE_DIRECTORY);
}

std::u16string FromSystemCodePage(const std::string& text) {
  if (text.empty()) return u"";
  int n = MultiByteToWideChar(CP_ACP, 0, text.data(), static_cast<int>(text.size()), nullptr, 0);
  if (n <= 0) return u"";
  std::u16string out(static_cast<size_t>(n), u'\0');
  MultiByteToWideChar(CP_ACP, 0, text.data(), static_cast<int>(text.size()),
                      reinterpret_cast<wchar_t*>(&out[0]), n);
  return out;
}

std::string ToSystemCodePage(const std::u16string& text) {
  if (text.empty()) return "";
  const wchar_t* wide = reinterpret_cast<const wchar_t*>(text.data());
  int n = WideCharToMultiByte(CP_ACP, 0, wide, static_cast<int>(text.size()), nullptr, 0, nullptr, nullptr);
  if (n <= 0) return "";
  std::string out(static_cast<size_t>(n), '\0');
  WideCharToMultiByte(CP_ACP, 0, wide, static_cast<int>(text.size()), &out[0], n, nullptr, nullptr);
  return out;
}

std::u16string ResourceString(uint32_t id) {
  // The resources live in the module that holds this code (the plug-in DLL),
  // not in the browser's executable.
  HMODULE module = nullptr;
  GetModuleHandleExW(GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS | GET_MODULE_HANDLE_EX_FLAG_UNCHANGED_REFCOUNT,
                     reinterpret_cast<LPCWSTR>(&ResourceString), &module);
  wchar_t text[1024];
  int n = LoadStringW(module, id, text, 1024);
  return n > 0 ? FromWide(text) : u"";
}

uint32_t LastSystemError() { return GetLastError(); }

int PlatformMessageBox(void* owner, const std::u16string& text, const std::u16string& caption,
                       uint32_t flags) {
  return MessageBoxW(static_cast<HWND>(owner), AsWide(text), AsWide(caption), flags);
}

namespace {
HANDLE Native(FileHandle file) { return static_cast<HANDLE>(file); }
FileHandle Wrap(HANDLE handle) { return handle == INVALID_HANDLE_VALUE ? nullptr : handle; }
}  // namespace

FileHandle OpenFileForReading(const std::u16string& name) {
  return Wrap(CreateFileW(AsWide(name), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                          FILE_ATTRIBUTE_NORMAL, nullptr));
}

FileHandle CreateFileForWriting(const std::u16string& name) {
  // Others may read the file while it is written (a download can be looked at
  // as it arrives), but not write it.
  return Wrap(CreateFileW(AsWide(name), GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ, nullptr, CREATE_ALWAYS,
                          FILE_ATTRIBUTE_NORMAL, nullptr));
}

FileHandle OpenFileForAppending(const std::u16string& name) {
  // Append-only access makes every write land at the end, as O_APPEND does.
  return Wrap(CreateFileW(AsWide(name), FILE_APPEND_DATA, FILE_SHARE_READ, nullptr, OPEN_ALWAYS,
                          FILE_ATTRIBUTE_NORMAL, nullptr));
}

int64_t ReadFromFile(FileHandle file, void* buffer, uint32_t count) {
  DWORD done = 0;
  if (!ReadFile(Native(file), buffer, count, &done, nullptr)) return -1;
  return done;
}

int64_t WriteToFile(FileHandle file, const void* buffer, uint32_t count) {
  DWORD done = 0;
  if (!WriteFile(Native(file), buffer, count, &done, nullptr)) return -1;
  return done;
}

int64_t SeekFile(FileHandle file, int64_t offset, int whence) {
  DWORD method = whence == 1 ? FILE_CURRENT : whence == 2 ? FILE_END : FILE_BEGIN;
  LARGE_INTEGER distance, position;
  distance.QuadPart = offset;
  if (!SetFilePointerEx(Native(file), distance, &position, method)) return -1;
  return position.QuadPart;
}

int64_t FileSizeOf(FileHandle file) {
  LARGE_INTEGER size;
  if (!GetFileSizeEx(Native(file), &size)) return -1;
  return size.QuadPart;
}

int CloseFile(FileHandle file) { return CloseHandle(Native(file)) != 0; }

int EnvironmentValue(const std::u16string& name, std::u16string* value) {
  wchar_t small[256];
  SetLastError(ERROR_SUCCESS);
  DWORD n = GetEnvironmentVariableW(AsWide(name), small, 256);
  if (n == 0) {
    // Zero is also the length of a variable set to an empty text.
    if (GetLastError() == ERROR_ENVVAR_NOT_FOUND) return 0;
    value->clear();
    return 1;
  }
  if (n < 256) {
    *value = FromWide(small);
    return 1;
  }
  std::u16string text(n, u'\0');
  DWORD got = GetEnvironmentVariableW(AsWide(name), reinterpret_cast<wchar_t*>(text.data()), n);
  if (got == 0 || got >= n) return 0;
  text.resize(got);
  *value = std::move(text);
  return 1;
}
