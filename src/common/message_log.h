// Per-instance diagnostics: counts, the last line and a bounded log text.
#pragma once

#include <cstdint>

#include "common/text_buffer.h"

constexpr int32_t kLogTextMaximum = 8000;
constexpr int32_t kLastLineMaximum = 2048;

struct MessageLog {
  int32_t errorCount = 0;
  int32_t warningCount = 0;
  TextBuffer lastLine{kLastLineMaximum};
  TextBuffer text{kLogTextMaximum};
  // Set on the document log: libtiff's unknown-tag warnings while reading a
  // directory are noise there; the page log keeps them.
  int32_t hideUnknownTagWarnings = 0;
};

enum class LogKind { kError, kWarning };

void InitLog(MessageLog* log);
void ReleaseLog(MessageLog* log);
void ResetLog(MessageLog* log);

// Null logs are ignored.
void LogError(MessageLog* log, const char* format, ...) __attribute__((format(printf, 2, 3)));
void LogWarning(MessageLog* log, const char* format, ...) __attribute__((format(printf, 2, 3)));
// Adds an already formatted message as an "Error: " or "Warning: " line.
void AddLogLine(MessageLog* log, LogKind kind, const char16_t* message);
