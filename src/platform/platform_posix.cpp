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

int RemoveFolderAt(const std::u16string& name) { return rmdir(Utf16ToUtf8(name).c_str()) == 0; }

int FileExists(const std::u16string& name) {
  struct stat st;
  return stat(Utf16ToUtf8(name).c_str(), &st) == 0 && S_ISREG(st.st_mode);
}

std::u16string FromSystemCodePage(const std::string& text) { return Utf8ToUtf16(text); }

std::string ToSystemCodePage(const std::u16string& text) { return Utf16ToUtf8(text); }

std::u16string ResourceString(uint32_t) { return u""; }

uint32_t LastSystemError() { return static_cast<uint32_t>(errno); }

int PlatformMessageBox(void*, const std::u16string& text, const std::u16string& caption, uint32_t) {
  fprintf(stderr, "%s: %s\n", Utf16ToUtf8(caption).c_str(), Utf16ToUtf8(text).c_str());
  return 1;
}

namespace {
// Descriptor 0 is a valid file, so handles carry the descriptor plus one.
int Native(FileHandle file) { return static_cast<int>(reinterpret_cast<intptr_t>(file)) - 1; }
FileHandle Wrap(int fd) {
  return fd < 0 ? nullptr : reinterpret_cast<FileHandle>(static_cast<intptr_t>(fd) + 1);
}
}  // namespace

FileHandle OpenFileForReading(const std::u16string& name) {
  return Wrap(open(Utf16ToUtf8(name).c_str(), O_RDONLY | O_CLOEXEC));
}

FileHandle CreateFileForWriting(const std::u16string& name) {
  return Wrap(open(Utf16ToUtf8(name).c_str(), O_RDWR | O_CREAT | O_TRUNC | O_CLOEXEC, 0644));
}

FileHandle OpenFileForAppending(const std::u16string& name) {
  return Wrap(open(Utf16ToUtf8(name).c_str(), O_WRONLY | O_CREAT | O_APPEND | O_CLOEXEC, 0644));
}

int64_t ReadFromFile(FileHandle file, void* buffer, uint32_t count) {
  // Like ReadFile, keep reading until the count arrived or the file ended.
  uint32_t done = 0;
  while (done < count) {
    ssize_t n = read(Native(file), static_cast<char*>(buffer) + done, count - done);
    if (n < 0 && errno == EINTR) continue;
    if (n < 0) return -1;
    if (n == 0) break;
    done += static_cast<uint32_t>(n);
  }
  return done;
}

int64_t WriteToFile(FileHandle file, const void* buffer, uint32_t count) {
  uint32_t done = 0;
  while (done < count) {
    ssize_t n = write(Native(file), static_cast<const char*>(buffer) + done, count - done);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) return -1;
    done += static_cast<uint32_t>(n);
  }
  return done;
}

int64_t SeekFile(FileHandle file, int64_t offset, int whence) {
  off_t position = lseek(Native(file), offset, whence == 1 ? SEEK_CUR : whence == 2 ? SEEK_END : SEEK_SET);
  return position < 0 ? -1 : position;
}

int64_t FileSizeOf(FileHandle file) {
  struct stat st;
  return fstat(Native(file), &st) == 0 ? st.st_size : -1;
}

int CloseFile(FileHandle file) { return close(Native(file)) == 0; }

int EnvironmentValue(const std::u16string& name, std::u16string* value) {
  const char* text = getenv(Utf16ToUtf8(name).c_str());
  if (!text) return 0;
  *value = Utf8ToUtf16(text);
  return 1;
}
