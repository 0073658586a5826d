#include "document/tiff_adapter.h"

#include <cerrno>
#include <cstdarg>
#include <cstdio>
#include <cstring>
#include <new>
#include <string>

#include "common/text_format.h"

namespace {

// Up to this many missing bytes per read are supplied as zeros, so that a file
// cut short in its last strip still shows.
constexpr int64_t kEndOfFileTolerance = 16384;

MessageLog* g_currentLog = nullptr;

struct MemorySource {
  const uint8_t* bytes;
  int32_t position;
  int32_t size;
  int32_t open;
};

tmsize_t MemoryRead(thandle_t handle, void* buffer, tmsize_t n) {
  auto* source = static_cast<MemorySource*>(handle);
  if (!source || !source->open) {
    errno = 9;
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
  if (n - available > kEndOfFileTolerance) return available;
  TIFFWarning("", "Unexpected end of file -- need %d bytes but only %d are available. Attempting to continue.",
              static_cast<int>(n), static_cast<int>(available));
  memset(static_cast<uint8_t*>(buffer) + available, 0, static_cast<size_t>(n - available));
  return n;
}

tmsize_t NoWrite(thandle_t, void*, tmsize_t) { return 0; }

toff_t MemorySeek(thandle_t handle, toff_t offset, int whence) {
  auto* source = static_cast<MemorySource*>(handle);
  int64_t base = whence == SEEK_SET ? 0 : whence == SEEK_CUR ? source->position
                 : whence == SEEK_END ? source->size : -1;
  if (base < 0) {
    errno = 22;
    return static_cast<toff_t>(-1);
  }
  // libtiff passes negative relative offsets as large unsigned values.
  int64_t target = base + static_cast<int64_t>(offset);
  if (target < 0 || target > source->size) {
    errno = 22;
    return static_cast<toff_t>(-1);
  }
  source->position = static_cast<int32_t>(target);
  return static_cast<toff_t>(target);
}

int MemoryClose(thandle_t handle) {
  auto* source = static_cast<MemorySource*>(handle);
  if (!source->open) {
    errno = 9;
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
        (StartsWithNoCase(text, u"unknown field with tag ") || StartsWithNoCase(text, u": unknown field with tag "))) {
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
