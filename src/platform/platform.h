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
int FileExists(const std::u16string& name);
// The last operating-system error code (GetLastError or errno).
uint32_t LastSystemError();

// Shows a modal message box owned by `owner` (a window handle or null); natively
// the text goes to standard error and the answer is 1 (OK).
int PlatformMessageBox(void* owner, const std::u16string& text, const std::u16string& caption,
                       uint32_t flags);
