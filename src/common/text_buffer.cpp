#include "common/text_buffer.h"

#include <cstdarg>
#include <cstdlib>
#include <cstring>

#include "common/text_format.h"
#include "platform/platform.h"

namespace {

constexpr size_t kFormatArea = 4096;

void StoreEmpty(TextBuffer* buffer) {
  free(buffer->text);
  buffer->text = nullptr;
  buffer->length = 0;
  buffer->capacity = 0;
}

}  // namespace

TextBuffer::TextBuffer(int32_t maximumLength) { InitText(this, maximumLength); }

TextBuffer::~TextBuffer() { ReleaseText(this); }

void InitText(TextBuffer* buffer, int32_t maximum) {
  buffer->text = nullptr;
  buffer->length = 0;
  buffer->capacity = 0;
  buffer->maximum = maximum < 0 ? kDefaultTextMaximum : maximum;
}

void ReleaseText(TextBuffer* buffer) { StoreEmpty(buffer); }

const char16_t* TextOf(const TextBuffer* buffer) { return buffer && buffer->text ? buffer->text : u""; }

int SetText(TextBuffer* buffer, const char16_t* text) {
  if (!text) {
    StoreEmpty(buffer);
    return 1;
  }
  int64_t length = static_cast<int64_t>(Utf16Length(text));
  if (!buffer->text || length + 1 > buffer->capacity) {
    int64_t needed = length + 1 < buffer->maximum ? length + 1 : buffer->maximum;
    if (needed < 1) needed = 1;
    char16_t* block = static_cast<char16_t*>(malloc(static_cast<size_t>(needed) * sizeof(char16_t)));
    StoreEmpty(buffer);
    if (!block) return 0;
    buffer->text = block;
    buffer->capacity = static_cast<int32_t>(needed);
  }
  int32_t kept = static_cast<int32_t>(length < buffer->capacity - 1 ? length : buffer->capacity - 1);
  memmove(buffer->text, text, static_cast<size_t>(kept) * sizeof(char16_t));
  buffer->text[kept] = 0;
  buffer->length = kept;
  return 1;
}

int AppendText(TextBuffer* buffer, const char16_t* text) {
  int64_t added = static_cast<int64_t>(Utf16Length(text));
  int64_t wanted = buffer->length + added + 1;
  int64_t limit = wanted < buffer->maximum ? wanted : buffer->maximum;
  if (!buffer->text || buffer->capacity < limit) {
    int64_t grown = 2 * static_cast<int64_t>(buffer->capacity);
    int64_t byAdding = buffer->capacity + 3 * added + 3;
    int64_t capacity = grown > byAdding ? grown : byAdding;
    if (capacity > buffer->maximum) capacity = buffer->maximum;
    if (capacity < 1) capacity = 1;
    char16_t* block =
        static_cast<char16_t*>(realloc(buffer->text, static_cast<size_t>(capacity) * sizeof(char16_t)));
    if (!block) {
      StoreEmpty(buffer);
      return 0;
    }
    if (!buffer->text) block[0] = 0;
    buffer->text = block;
    buffer->capacity = static_cast<int32_t>(capacity);
  }
  int64_t room = buffer->capacity - 1 - buffer->length;
  int64_t copied = added < room ? added : room;
  if (copied > 0) {
    memcpy(buffer->text + buffer->length, text, static_cast<size_t>(copied) * sizeof(char16_t));
  }
  buffer->length += static_cast<int32_t>(copied > 0 ? copied : 0);
  buffer->text[buffer->length] = 0;
  return 1;
}

static int FormatThen(TextBuffer* buffer, int (*store)(TextBuffer*, const char16_t*), const char* format,
                      va_list args) {
  char16_t area[kFormatArea];
  FormatBoundedV(area, kFormatArea, format, args);
  return store(buffer, area);
}

int SetTextFormatted(TextBuffer* buffer, const char* format, ...) {
  va_list args;
  va_start(args, format);
  int result = FormatThen(buffer, SetText, format, args);
  va_end(args);
  return result;
}

int AppendTextFormatted(TextBuffer* buffer, const char* format, ...) {
  va_list args;
  va_start(args, format);
  int result = FormatThen(buffer, AppendText, format, args);
  va_end(args);
  return result;
}

int SetTextFromUtf8(TextBuffer* buffer, const char* text) {
  if (!text) return SetText(buffer, nullptr);
  return SetText(buffer, Utf8ToUtf16(text).c_str());
}

int SetTextFromResource(TextBuffer* buffer, uint32_t id) {
  return SetText(buffer, ResourceString(id).c_str());
}

int SetTextFromNarrow(TextBuffer* buffer, const char* text) {
  if (!text) return SetText(buffer, nullptr);
  return SetText(buffer, FromSystemCodePage(text).c_str());
}
