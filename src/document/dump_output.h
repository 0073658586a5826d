// The text side of the structure dump: Rich Text for the viewer's rich-edit
// control, or the same content as plain UTF-8 text for the command line.
// Pieces are collected in a buffer and handed to a write procedure in blocks.
#pragma once

#include <cstddef>
#include <cstdint>

enum DumpOutputMode : int32_t { kDumpRichText = 1, kDumpPlainText = 2 };

// Non-zero when all `length` bytes were taken.
using DumpWriteProc = int (*)(void* user, const char* text, size_t length);

enum class DumpMark {
  kParagraph,
  kTab,
  kBullet,
  kTimes,
  kEllipsis,
  kOpenQuote,
  kCloseQuote,
  kUnderline,
  kUnderlineOff,
  kBold,
  kBoldOff,
};

// The colours of the dump's colour table: 0 the default (labels), 1 values,
// 2 bytes shown escaped, 3 errors and warnings.
constexpr int32_t kDumpColourCount = 4;

constexpr size_t kDumpBufferSize = 4096;
constexpr size_t kDumpFormatSize = 2048;
// Waiting output is handed on once more than this many bytes are collected.
constexpr size_t kDumpHandOnLevel = 1000;

struct DumpOutput {
  int32_t mode = kDumpRichText;
  int32_t fontSize = 16;  // half-points
  DumpWriteProc write = nullptr;
  void* user = nullptr;
  char buffer[kDumpBufferSize];
  size_t fill = 0;
  char formatArea[kDumpFormatSize];
  char escapeArea[kDumpFormatSize];
  int32_t colour = 0;
  // Set after a control word that ends in a letter or digit: the next text
  // needs a space so that it is not read as part of the word.
  int32_t controlJustWritten = 0;
  int32_t writeFailed = 0;  // the write procedure refused; nothing more is written
};

void InitDumpOutput(DumpOutput* out, int32_t mode, DumpWriteProc write, void* user);
void WriteDocumentStart(DumpOutput* out);
// Closes the document and hands on everything that waits.
void WriteDocumentEnd(DumpOutput* out);
// Formatted text in `colour`; text longer than the formatting area is cut.
void WriteText(DumpOutput* out, int32_t colour, const char* format, ...)
    __attribute__((format(printf, 3, 4)));
// Text as it stands, and numbers in decimal: the bulk of a dump, written
// without going through printf.
void WriteLiteral(DumpOutput* out, int32_t colour, const char* text, size_t length);
void WriteUnsigned(DumpOutput* out, int32_t colour, uint64_t value);
void WriteSigned(DumpOutput* out, int32_t colour, int64_t value);
void WriteMark(DumpOutput* out, DumpMark mark);
void SetDumpColour(DumpOutput* out, int32_t colour);
// Hands on what waits; 0 when the write procedure failed now or before.
int FlushDumpOutput(DumpOutput* out);
