#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <vector>

#include "common/text_format.h"
#include "platform/platform.h"

std::u16string TempFolder() {
  const char* dir = getenv("TMPDIR");
  std::string folder = dir && *dir ? dir : "/tmp";
  struct stat st;
  if (stat(folder.c_str(), &st) != 0 || !S_ISDIR(st.st_mode)) return u"";
  if (folder.back() != '/') folder += '/';
  return Utf8ToUtf16(folder);
}

std::u16string CreateUniqueTempFile(const std::u16string& folder, const std::u16string& prefix) {
  std::string pattern = Utf16ToUtf8(folder) + Utf16ToUtf8(prefix) + "XXXXXX.tmp";
  std::vector<char> name(pattern.begin(), pattern.end());
  name.push_back(0);
  int fd = mkstemps(name.data(), 4);
  if (fd < 0) return u"";
  close(fd);
  return Utf8ToUtf16(name.data());
}

int DeleteFileAt(const std::u16string& name) { return unlink(Utf16ToUtf8(name).c_str()) == 0; }

int FileExists(const std::u16string& name) {
  struct stat st;
  return stat(Utf16ToUtf8(name).c_str(), &st) == 0 && S_ISREG(st.st_mode);
}

uint32_t LastSystemError() { return static_cast<uint32_t>(errno); }

int PlatformMessageBox(void*, const std::u16string& text, const std::u16string& caption, uint32_t) {
  fprintf(stderr, "%s: %s\n", Utf16ToUtf8(caption).c_str(), Utf16ToUtf8(text).c_str());
  return 1;
}
