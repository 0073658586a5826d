// The few operating-system services the engine needs. platform_posix.cpp and
// platform_win.cpp implement this header; nothing else in the engine touches
// the operating system.
#pragma once

#include <cstdint>
#include <string>

// The folder for temporary files, ending in a separator; empty on failure.
std::u16string TempFolder();
// Creates a new empty file named "<prefix>XXXX.tmp" in `folder` and returns its
// full name; empty on failure.
std::u16string CreateUniqueTempFile(const std::u16string& folder, const std::u16string& prefix);
int DeleteFileAt(const std::u16string& name);
// Removes an empty folder.
int RemoveFolderAt(const std::u16string& name);
int FileExists(const std::u16string& name);
// The last operating-system error code (GetLastError or errno).
uint32_t LastSystemError();

// 8-bit text in the system code page (UTF-8 natively); an empty result when the
// conversion fails.
std::u16string FromSystemCodePage(const std::string& text);
std::string ToSystemCodePage(const std::u16string& text);
// String resource `id` of the module holding this code, up to 1023 characters;
// empty when it is missing (natively there are no resources).
std::u16string ResourceString(uint32_t id);

// Shows a modal message box owned by `owner` (a window handle or null); natively
// the text goes to standard error and the answer is 1 (OK).
int PlatformMessageBox(void* owner, const std::u16string& text, const std::u16string& caption,
                       uint32_t flags);

// Files. A null handle means the file is not open.
using FileHandle = void*;
// An existing file, opened for reading with reading by others allowed.
FileHandle OpenFileForReading(const std::u16string& name);
// Creates the file or empties an existing one; others may read it meanwhile.
FileHandle CreateFileForWriting(const std::u16string& name);
// Opens the file for adding to its end, creating it when missing.
FileHandle OpenFileForAppending(const std::u16string& name);
// The count transferred, or -1 when the call failed.
int64_t ReadFromFile(FileHandle file, void* buffer, uint32_t count);
int64_t WriteToFile(FileHandle file, const void* buffer, uint32_t count);
// `whence` 0 from the start, 1 from the current position, 2 from the end; the
// new position, or -1 on failure.
int64_t SeekFile(FileHandle file, int64_t offset, int whence);
// The size in bytes, or -1 on failure.
int64_t FileSizeOf(FileHandle file);
// Non-zero when the handle was closed cleanly.
int CloseFile(FileHandle file);

// Environment variables: non-zero with the value when `name` is set.
int EnvironmentValue(const std::u16string& name, std::u16string* value);
