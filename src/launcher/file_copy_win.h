// modFile: the launcher's file copy.
#pragma once

#include <string>

// Copies `source` to `target` with the system's ANSI file functions (the
// names converted to the ANSI code page); with `failIfExists` an existing
// target makes the copy fail. Non-zero on success.
int CopyFileAnsi(const std::u16string& source, const std::u16string& target, int failIfExists);
