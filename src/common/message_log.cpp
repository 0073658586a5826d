#include "common/message_log.h"

#include <cstdarg>
#include <cstring>

#include "common/text_format.h"

namespace {

constexpr size_t kMessageArea = 2048;
constexpr size_t kLineArea = 1024;

void LogFormatted(MessageLog* log, LogKind kind, const char* format, va_list args) {
  char16_t message[kMessageArea];
  FormatBoundedV(message, kMessageArea, format, args);
  AddLogLine(log, kind, message);
}

}  // namespace

void InitLog(MessageLog* log) {
  log->errorCount = 0;
  log->warningCount = 0;
  InitText(&log->lastLine, kLastLineMaximum);
  InitText(&log->text, kLogTextMaximum);
}

void ReleaseLog(MessageLog* log) {
  ReleaseText(&log->lastLine);
  ReleaseText(&log->text);
}

void ResetLog(MessageLog* log) {
  log->errorCount = 0;
  log->warningCount = 0;
  SetText(&log->lastLine, u"");
  SetText(&log->text, u"");
}

void AddLogLine(MessageLog* log, LogKind kind, const char16_t* message) {
  if (!log) return;
  // Counted every time, even when the line repeats and is not stored again.
  if (kind == LogKind::kError) {
    ++log->errorCount;
  } else {
    ++log->warningCount;
  }
  std::u16string line = kind == LogKind::kError ? u"Error: " : u"Warning: ";
  line += message ? message : u"";
  line += u"\r\n";
  char16_t bounded[kLineArea];
  CopyBounded(bounded, kLineArea, line);
  size_t length = Utf16Length(bounded);
  if (log->lastLine.text && std::u16string_view(log->lastLine.text) == bounded) return;
  // Older lines are dropped as a whole rather than cutting the new one.
  if (log->text.length + static_cast<int64_t>(length) + 1 > kLogTextMaximum) SetText(&log->text, u"");
  AppendText(&log->text, bounded);
  SetText(&log->lastLine, bounded);
}

void LogError(MessageLog* log, const char* format, ...) {
  if (!log) return;
  va_list args;
  va_start(args, format);
  LogFormatted(log, LogKind::kError, format, args);
  va_end(args);
}

void LogWarning(MessageLog* log, const char* format, ...) {
  if (!log) return;
  va_list args;
  va_start(args, format);
  LogFormatted(log, LogKind::kWarning, format, args);
  va_end(args);
}
