#include "launcher/file_copy_win.h"

#include <windows.h>

#include "platform/platform.h"

int CopyFileAnsi(const std::u16string& source, const std::u16string& target, int failIfExists) {
  const std::string from = ToSystemCodePage(source);
  const std::string to = ToSystemCodePage(target);
  if (from.empty() || to.empty()) return 0;
  return CopyFileA(from.c_str(), to.c_str(), failIfExists ? TRUE : FALSE) != 0;
}
