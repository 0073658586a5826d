// Growable UTF-16 text with a fixed maximum: longer texts are cut, never refused.
#pragma once

#include <cstdint>

struct TextBuffer {
  char16_t* text = nullptr;  // owned; null while nothing was stored
  int32_t length = 0;        // characters, without the terminator
  int32_t capacity = 0;      // characters, with room for the terminator
  int32_t maximum = 0;       // capacity never exceeds this

  TextBuffer() = default;
  explicit TextBuffer(int32_t maximumLength);
  ~TextBuffer();
  TextBuffer(const TextBuffer&) = delete;
  TextBuffer& operator=(const TextBuffer&) = delete;
};

constexpr int32_t kDefaultTextMaximum = 1000000;

// A negative maximum means kDefaultTextMaximum.
void InitText(TextBuffer* buffer, int32_t maximum);
void ReleaseText(TextBuffer* buffer);
// The stored text, or an empty string when nothing is stored.
const char16_t* TextOf(const TextBuffer* buffer);

int SetText(TextBuffer* buffer, const char16_t* text);
int AppendText(TextBuffer* buffer, const char16_t* text);
int SetTextFormatted(TextBuffer* buffer, const char* format, ...) __attribute__((format(printf, 2, 3)));
int AppendTextFormatted(TextBuffer* buffer, const char* format, ...) __attribute__((format(printf, 2, 3)));
// String resource `id`; a missing resource stores the empty string.
int SetTextFromResource(TextBuffer* buffer, uint32_t id);
// Stores 8-bit text in the system code page as UTF-16.
int SetTextFromNarrow(TextBuffer* buffer, const char* text);
// Stores UTF-8 text as UTF-16.
int SetTextFromUtf8(TextBuffer* buffer, const char* text);
