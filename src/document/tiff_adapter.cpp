#include "document/tiff_adapter.h"

#include <algorithm>
#include <cerrno>
#include <cstdarg>
#include <cstdio>
#include <cstring>
#include <new>
#include <string>

#include "common/text_format.h"
#include "platform/platform.h"

namespace {

// Up to this many missing bytes per read are supplied as zeros, so that a file
// cut short in its last strip still shows.
constexpr int64_t kEndOfFileTolerance = 16384;

MessageLog* g_currentLog = nullptr;

// A read that came `got` bytes short of `n`: small shortfalls are made up with
// zeros and one warning, larger ones are left for libtiff to report.
tmsize_t CompleteShortRead(void* buffer, tmsize_t n, tmsize_t got) {
  if (n - got > kEndOfFileTolerance) return got;
  TIFFWarning("",
              "Unexpected end of file -- need %d bytes but only %d are available. Attempting to continue.",
              static_cast<int>(n), static_cast<int>(got));
  memset(static_cast<uint8_t*>(buffer) + got, 0, static_cast<size_t>(n - got));
  return n;
}

struct MemorySource {
  const uint8_t* bytes;
  int32_t position;
  int32_t size;
  int32_t open;
};

tmsize_t MemoryRead(thandle_t handle, void* buffer, tmsize_t n) {
  auto* source = static_cast<MemorySource*>(handle);
  if (!source || !source->open) {
    errno = EBADF;
    return -1;
  }
  int64_t available = source->size - source->position;
  if (available >= n) {
    memcpy(buffer, source->bytes + source->position, static_cast<size_t>(n));
    source->position += static_cast<int32_t>(n);
    return n;
  }
  if (available <= 0) return 0;
  memcpy(buffer, source->bytes + source->position, static_cast<size_t>(available));
  source->position += static_cast<int32_t>(available);
  return CompleteShortRead(buffer, n, available);
}

tmsize_t NoWrite(thandle_t, void*, tmsize_t) { return 0; }

toff_t MemorySeek(thandle_t handle, toff_t offset, int whence) {
  auto* source = static_cast<MemorySource*>(handle);
  int64_t base = whence == SEEK_SET   ? 0
                 : whence == SEEK_CUR ? source->position
                 : whence == SEEK_END ? source->size
                                      : -1;
  if (base < 0) {
    errno = EINVAL;
    return static_cast<toff_t>(-1);
  }
  // libtiff passes negative relative offsets as large unsigned values, and
  // offsets from the file may be anything: a sum that overflows is outside too.
  int64_t target = 0;
  if (__builtin_add_overflow(base, static_cast<int64_t>(offset), &target) || target < 0 ||
      target > source->size) {
    errno = EINVAL;
    return static_cast<toff_t>(-1);
  }
  source->position = static_cast<int32_t>(target);
  return static_cast<toff_t>(target);
}

int MemoryClose(thandle_t handle) {
  auto* source = static_cast<MemorySource*>(handle);
  if (!source->open) {
    errno = EBADF;
    return -1;
  }
  source->open = 0;
  delete source;
  return 0;
}

toff_t MemorySize(thandle_t handle) {
  auto* source = static_cast<MemorySource*>(handle);
  return static_cast<toff_t>(source->size);
}

// Declining to map sends every read, strips too, through MemoryRead and its
// end-of-file tolerance.
int NoMap(thandle_t, void**, toff_t*) { return 0; }
void NoUnmap(thandle_t, void*, toff_t) {}

struct FileSource {
  uint32_t cachedSize;
  int32_t open;
  int32_t sizeCached;
  FileHandle file;
};

tmsize_t FileRead(thandle_t handle, void* buffer, tmsize_t n) {
  auto* source = static_cast<FileSource*>(handle);
  if (!source || !source->open) {
    errno = EBADF;
    return -1;
  }
  if (n <= 0) return 0;
  uint32_t wanted = static_cast<uint32_t>(std::min<int64_t>(n, 0x7FFFFFFF));
  int64_t got = ReadFromFile(source->file, buffer, wanted);
  if (got <= 0) return 0;
  if (got >= n) return n;
  return CompleteShortRead(buffer, n, got);
}

// Positions are 32-bit: the intake never keeps a file of 4 GiB or more.
toff_t FileSeek(thandle_t handle, toff_t offset, int whence) {
  auto* source = static_cast<FileSource*>(handle);
  constexpr toff_t kFailed = 0xFFFFFFFFu;
  if (!source || !source->open) return kFailed;
  uint32_t low = static_cast<uint32_t>(offset);
  if (low == 0xFFFFFFFFu) return kFailed;
  int64_t position = SeekFile(source->file, low, whence == 1 ? 1 : whence == 2 ? 2 : 0);
  return position < 0 ? kFailed : static_cast<toff_t>(static_cast<uint32_t>(position));
}

int FileClose(thandle_t handle) {
  auto* source = static_cast<FileSource*>(handle);
  int closed = CloseFile(source->file);
  delete source;
  return closed ? 0 : -1;
}

toff_t FileSize(thandle_t handle) {
  auto* source = static_cast<FileSource*>(handle);
  if (!source->sizeCached) {
    int64_t size = FileSizeOf(source->file);
    if (size < 0) return 0;
    source->cachedSize = static_cast<uint32_t>(size);
    source->sizeCached = 1;
  }
  return source->cachedSize;
}

tmsize_t TargetRead(thandle_t handle, void* buffer, tmsize_t n) {
  auto* target = static_cast<WritingTarget*>(handle);
  return ReadFromFile(target->file, buffer, static_cast<uint32_t>(n));
}

tmsize_t TargetWrite(thandle_t handle, void* buffer, tmsize_t n) {
  auto* target = static_cast<WritingTarget*>(handle);
  return WriteToFile(target->file, buffer, static_cast<uint32_t>(n));
}

toff_t TargetSeek(thandle_t handle, toff_t offset, int whence) {
  auto* target = static_cast<WritingTarget*>(handle);
  int64_t position = -1;
  if (whence == SEEK_SET) {
    position = SeekFile(target->file, static_cast<int64_t>(offset + target->baseOffset), 0);
  } else if (whence == SEEK_CUR || whence == SEEK_END) {
    position = SeekFile(target->file, static_cast<int64_t>(offset), whence == SEEK_CUR ? 1 : 2);
  }
  return position < 0 ? static_cast<toff_t>(-1) : static_cast<toff_t>(position - target->baseOffset);
}

int TargetClose(thandle_t) { return 0; }

toff_t TargetSize(thandle_t handle) {
  auto* target = static_cast<WritingTarget*>(handle);
  int64_t size = FileSizeOf(target->file);
  return size < 0 ? 0 : static_cast<toff_t>(size - target->baseOffset);
}

void Handle(LogKind kind, const char* module, const char* format, va_list args) {
  if (!g_currentLog) return;
  char message[1024];
  vsnprintf(message, sizeof message, format, args);
  RouteTiffMessage(g_currentLog, kind, module, message);
}

void ErrorHandler(const char* module, const char* format, va_list args) {
  Handle(LogKind::kError, module, format, args);
}
void WarningHandler(const char* module, const char* format, va_list args) {
  Handle(LogKind::kWarning, module, format, args);
}
void SilentHandler(const char*, const char*, va_list) {}

}  // namespace

void RouteTiffMessage(MessageLog* log, LogKind kind, const char* module, const char* message) {
  if (!log) return;
  std::u16string text = Utf8ToUtf16(message ? message : "").substr(0, 1023);
  for (char16_t& c : text) {
    if (c < 32) c = u'|';
  }
  // libtiff puts the temporary download file's name in front of some messages.
  size_t tmp = text.find(u".tmp: ");
  if (tmp != std::u16string::npos) text = text.substr(tmp + 6);
  std::u16string moduleText = Utf8ToUtf16(module ? module : "").substr(0, 99);
  bool useModule = !moduleText.empty() && moduleText.find(u'\\') == std::u16string::npos;
  if (useModule) {
    if (kind == LogKind::kWarning && log->hideUnknownTagWarnings && moduleText == u"TIFFReadDirectory" &&
        (StartsWithNoCase(text, u"unknown field with tag ") ||
         StartsWithNoCase(text, u": unknown field with tag "))) {
      return;
    }
    text = moduleText + (text.empty() || text[0] != u':' ? u": " : u"") + text;
  }
  AddLogLine(log, kind, text.c_str());
}

void InstallLogHandlers(MessageLog* log) {
  g_currentLog = log;
  TIFFSetErrorHandler(ErrorHandler);
  TIFFSetWarningHandler(WarningHandler);
}

void InstallSilentHandlers() {
  TIFFSetErrorHandler(SilentHandler);
  TIFFSetWarningHandler(SilentHandler);
}

TIFF* OpenTiffFromMemory(const uint8_t* bytes, uint32_t size) {
  auto* source = new (std::nothrow) MemorySource{bytes, 0, static_cast<int32_t>(size & 0x7FFFFFFF), 1};
  if (!source) {
    TIFFError("TIFFOpen", "%s: Cannot open", "");
    return nullptr;
  }
  TIFF* tiff = TIFFClientOpen("", "r", source, MemoryRead, NoWrite, MemorySeek, MemoryClose, MemorySize,
                              NoMap, NoUnmap);
  // A failed open never calls the close procedure, so the source is ours to free.
  if (!tiff) delete source;
  return tiff;
}

TIFF* OpenTiffFromFile(const std::u16string& name) {
  FileHandle file = OpenFileForReading(name);
  if (!file) {
    TIFFError("TIFFOpen", "%s: Cannot open", Utf16ToUtf8(name).c_str());
    return nullptr;
  }
  auto* source = new (std::nothrow) FileSource{0, 1, 0, file};
  if (!source) {
    CloseFile(file);
    TIFFError("TIFFOpen", "Out of memory");
    return nullptr;
  }
  TIFF* tiff =
      TIFFClientOpen("", "rm", source, FileRead, NoWrite, FileSeek, FileClose, FileSize, NoMap, NoUnmap);
  if (!tiff) FileClose(source);
  return tiff;
}

TIFF* OpenTiffForDocument(const Document* document) {
  if (document->sourceKind == kSourceMemory && document->bytes) {
    return OpenTiffFromMemory(document->bytes, document->size);
  }
  if (document->sourceKind == kSourceFile && !document->fileName.empty()) {
    return OpenTiffFromFile(document->fileName);
  }
  return nullptr;
}

TIFF* OpenTiffForWriting(WritingTarget* target) {
  int64_t position = SeekFile(target->file, 0, 1);
  if (position < 0) return nullptr;
  target->baseOffset = static_cast<uint32_t>(position);
  return TIFFClientOpen("", "w", target, TargetRead, TargetWrite, TargetSeek, TargetClose, TargetSize, NoMap,
                        NoUnmap);
}
