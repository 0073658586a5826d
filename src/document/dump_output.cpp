#include "document/dump_output.h"

#include <cstdarg>
#include <cstdio>
#include <cstring>

namespace {

struct MarkText {
  const char* richText;
  const char* plainText;  // UTF-8
  bool endsInWord;        // the Rich Text form needs a delimiter before text
  bool isCharacter;       // drawn in the label colour, whatever came before
};

// Indexed by DumpMark.
const MarkText kMarks[] = {
    {"\\par\r\n", "\n", false, false},
    {"\\tab", "\t", true, false},
    {"\\bullet", "\xE2\x80\xA2", true, true},
    {"\\'d7", "\xC3\x97", false, true},
    {"\\'85", "\xE2\x80\xA6", false, true},
    {"\\'93", "\xE2\x80\x9C", false, true},
    {"\\'94", "\xE2\x80\x9D", false, true},
    {"\\ul", "", true, false},
    {"\\ulnone", "", true, false},
    {"\\b", "", true, false},
    {"\\b0", "", true, false},
};

void Put(DumpOutput* out, const char* text, size_t length) {
  if (out->writeFailed || length == 0) return;
  if (out->fill + length > sizeof out->buffer && !FlushDumpOutput(out)) return;
  if (length > sizeof out->buffer) {
    // Larger than the whole buffer: handed on directly.
    if (!out->write(out->user, text, length)) out->writeFailed = 1;
    return;
  }
  memcpy(out->buffer + out->fill, text, length);
  out->fill += length;
  if (out->fill > kDumpHandOnLevel) FlushDumpOutput(out);
}

void PutControl(DumpOutput* out, const char* word, bool endsInWord) {
  Put(out, word, strlen(word));
  out->controlJustWritten = endsInWord;
}

// Backslashes and braces are preceded by a backslash; the result is cut at a
// whole character when the escaping area is full.
size_t Escape(const char* text, size_t length, char* escaped, size_t size) {
  size_t used = 0;
  for (size_t i = 0; i < length; ++i) {
    char c = text[i];
    bool special = c == '\\' || c == '{' || c == '}';
    if (used + (special ? 2 : 1) > size) break;
    if (special) escaped[used++] = '\\';
    escaped[used++] = c;
  }
  return used;
}

}  // namespace

void InitDumpOutput(DumpOutput* out, int32_t mode, DumpWriteProc write, void* user) {
  out->mode = mode;
  out->write = write;
  out->user = user;
  out->fill = 0;
  out->colour = 0;
  out->controlJustWritten = 0;
  out->writeFailed = 0;
}

void WriteDocumentStart(DumpOutput* out) {
  if (out->mode != kDumpRichText) return;
  char start[400];
  int n =
      snprintf(start, sizeof start,
               "{\\rtf1\\ansi\\ansicpg1252\\deff0\\deflang1033\r\n"
               "{\\fonttbl{\\f0\\fswiss\\fcharset0 Arial;}}\r\n"
               "{\\colortbl ;\\red0\\green0\\blue192;\\red0\\green128\\blue255;\\red128\\green0\\blue0;}\r\n"
               "\\viewkind4\\uc1\\pard\\tx150\\tx1100\\tx2000\\tx4200\\tx5300\\f0\\fs%d\r\n",
               static_cast<int>(out->fontSize));
  Put(out, start, static_cast<size_t>(n));
  out->controlJustWritten = 0;
}

void WriteDocumentEnd(DumpOutput* out) {
  if (out->mode == kDumpRichText) PutControl(out, "}\r\n", false);
  FlushDumpOutput(out);
}

void WriteText(DumpOutput* out, int32_t colour, const char* format, ...) {
  if (!strchr(format, '%')) {
    WriteLiteral(out, colour, format, strlen(format));
    return;
  }
  va_list args;
  va_start(args, format);
  int n = vsnprintf(out->formatArea, sizeof out->formatArea, format, args);
  va_end(args);
  if (n <= 0) return;
  size_t length =
      static_cast<size_t>(n) < sizeof out->formatArea ? static_cast<size_t>(n) : sizeof out->formatArea - 1;
  WriteLiteral(out, colour, out->formatArea, length);
}

void WriteLiteral(DumpOutput* out, int32_t colour, const char* text, size_t length) {
  SetDumpColour(out, colour);
  if (length > kDumpFormatSize - 1) length = kDumpFormatSize - 1;  // as if formatted
  if (length == 0) return;
  if (out->mode != kDumpRichText) {
    Put(out, text, length);
    return;
  }
  if (out->controlJustWritten) Put(out, " ", 1);
  out->controlJustWritten = 0;
  Put(out, out->escapeArea, Escape(text, length, out->escapeArea, sizeof out->escapeArea));
}

void WriteUnsigned(DumpOutput* out, int32_t colour, uint64_t value) {
  char digits[24];
  char* end = digits + sizeof digits;
  char* p = end;
  do {
    *--p = static_cast<char>('0' + value % 10);
    value /= 10;
  } while (value);
  WriteLiteral(out, colour, p, static_cast<size_t>(end - p));
}

void WriteSigned(DumpOutput* out, int32_t colour, int64_t value) {
  if (value >= 0) {
    WriteUnsigned(out, colour, static_cast<uint64_t>(value));
    return;
  }
  char digits[24];
  char* end = digits + sizeof digits;
  char* p = end;
  uint64_t magnitude = 0 - static_cast<uint64_t>(value);
  do {
    *--p = static_cast<char>('0' + magnitude % 10);
    magnitude /= 10;
  } while (magnitude);
  *--p = '-';
  WriteLiteral(out, colour, p, static_cast<size_t>(end - p));
}

void WriteMark(DumpOutput* out, DumpMark mark) {
  const MarkText& m = kMarks[static_cast<int>(mark)];
  if (m.isCharacter) SetDumpColour(out, 0);
  if (out->mode == kDumpRichText) {
    PutControl(out, m.richText, m.endsInWord);
  } else {
    Put(out, m.plainText, strlen(m.plainText));
  }
}

void SetDumpColour(DumpOutput* out, int32_t colour) {
  if (colour == out->colour || colour < 0 || colour >= kDumpColourCount) return;
  out->colour = colour;
  if (out->mode != kDumpRichText) return;
  static const char* const kColourWords[kDumpColourCount] = {"\\cf0", "\\cf1", "\\cf2", "\\cf3"};
  PutControl(out, kColourWords[colour], true);
}

int FlushDumpOutput(DumpOutput* out) {
  if (out->writeFailed) return 0;
  if (out->fill && !out->write(out->user, out->buffer, out->fill)) out->writeFailed = 1;
  out->fill = 0;
  return !out->writeFailed;
}
