#include "common/text_format.h"

#include <cstdio>
#include <vector>

namespace {

size_t FormatToUtf8(std::vector<char>* out, const char* format, va_list args) {
  va_list copy;
  va_copy(copy, args);
  char small[512];
  int n = vsnprintf(small, sizeof small, format, copy);
  va_end(copy);
  if (n < 0) n = 0;
  out->resize(static_cast<size_t>(n) + 1);
  if (static_cast<size_t>(n) < sizeof small) {
    std::copy(small, small + n + 1, out->begin());
  } else {
    vsnprintf(out->data(), out->size(), format, args);
  }
  return static_cast<size_t>(n);
}

}  // namespace

// Decodes one UTF-8 sequence at text[*i]; malformed bytes give U+FFFD and
// advance by one, so the rest of the text still converts.
static uint32_t DecodeUtf8(std::string_view text, size_t* i) {
  static const uint32_t kMin[] = {0, 0x80, 0x800, 0x10000};
  unsigned char c = static_cast<unsigned char>(text[*i]);
  size_t extra = c < 0x80 ? 0 : (c >> 5) == 6 ? 1 : (c >> 4) == 14 ? 2 : (c >> 3) == 30 ? 3 : 4;
  if (extra == 0) return text[(*i)++] & 0x7F;
  if (extra == 4 || *i + extra >= text.size()) {
    ++*i;
    return 0xFFFD;
  }
  uint32_t v = c & (0x3F >> extra);
  for (size_t k = 1; k <= extra; ++k) {
    unsigned char t = static_cast<unsigned char>(text[*i + k]);
    if ((t & 0xC0) != 0x80) {
      ++*i;
      return 0xFFFD;
    }
    v = (v << 6) | (t & 0x3F);
  }
  if (v < kMin[extra] || v > 0x10FFFF || (v >= 0xD800 && v <= 0xDFFF)) {
    ++*i;
    return 0xFFFD;
  }
  *i += extra + 1;
  return v;
}

std::u16string Utf8ToUtf16(std::string_view text) {
  std::u16string out;
  out.reserve(text.size());
  size_t i = 0;
  while (i < text.size()) {
    uint32_t cp = DecodeUtf8(text, &i);
    if (cp >= 0x10000) {
      cp -= 0x10000;
      out.push_back(static_cast<char16_t>(0xD800 + (cp >> 10)));
      out.push_back(static_cast<char16_t>(0xDC00 + (cp & 0x3FF)));
    } else {
      out.push_back(static_cast<char16_t>(cp));
    }
  }
  return out;
}

std::string Utf16ToUtf8(std::u16string_view text) {
  std::string out;
  out.reserve(text.size());
  for (size_t i = 0; i < text.size(); ++i) {
    uint32_t cp = text[i];
    if (cp >= 0xD800 && cp <= 0xDBFF && i + 1 < text.size() && text[i + 1] >= 0xDC00 &&
        text[i + 1] <= 0xDFFF) {
      cp = 0x10000 + ((cp - 0xD800) << 10) + (text[i + 1] - 0xDC00);
      ++i;
    } else if (cp >= 0xD800 && cp <= 0xDFFF) {
      cp = 0xFFFD;
    }
    if (cp < 0x80) {
      out.push_back(static_cast<char>(cp));
    } else if (cp < 0x800) {
      out.push_back(static_cast<char>(0xC0 | (cp >> 6)));
      out.push_back(static_cast<char>(0x80 | (cp & 0x3F)));
    } else if (cp < 0x10000) {
      out.push_back(static_cast<char>(0xE0 | (cp >> 12)));
      out.push_back(static_cast<char>(0x80 | ((cp >> 6) & 0x3F)));
      out.push_back(static_cast<char>(0x80 | (cp & 0x3F)));
    } else {
      out.push_back(static_cast<char>(0xF0 | (cp >> 18)));
      out.push_back(static_cast<char>(0x80 | ((cp >> 12) & 0x3F)));
      out.push_back(static_cast<char>(0x80 | ((cp >> 6) & 0x3F)));
      out.push_back(static_cast<char>(0x80 | (cp & 0x3F)));
    }
  }
  return out;
}

size_t Utf16Length(const char16_t* text) {
  size_t n = 0;
  if (text)
    while (text[n]) ++n;
  return n;
}

uint32_t CopyBounded(char16_t* dest, size_t size, std::u16string_view text) {
  if (!dest || size == 0 || size > 0x7FFFFFFF) return kResultInvalidArgument;
  size_t n = text.size() < size - 1 ? text.size() : size - 1;
  std::copy(text.begin(), text.begin() + n, dest);
  dest[n] = 0;
  return n < text.size() ? kResultInsufficientBuffer : 0;
}

uint32_t FormatBoundedV(char16_t* dest, size_t size, const char* format, va_list args) {
  if (!dest || size == 0 || size > 0x7FFFFFFF) return kResultInvalidArgument;
  std::vector<char> utf8;
  size_t n = FormatToUtf8(&utf8, format, args);
  return CopyBounded(dest, size, Utf8ToUtf16(std::string_view(utf8.data(), n)));
}

std::u16string FormatTextV(const char* format, va_list args) {
  std::vector<char> utf8;
  const size_t n = FormatToUtf8(&utf8, format, args);
  return Utf8ToUtf16(std::string_view(utf8.data(), n));
}

uint32_t FormatBounded(char16_t* dest, size_t size, const char* format, ...) {
  va_list args;
  va_start(args, format);
  uint32_t result = FormatBoundedV(dest, size, format, args);
  va_end(args);
  return result;
}

uint32_t FormatBoundedBytes(char* dest, size_t size, const char* format, ...) {
  // Above 0xFFFFFFFF bytes; written so that 32-bit builds need no special case.
  if (!dest || size < 2 || ((size >> 16) >> 16) != 0) return kResultInvalidArgument;
  va_list args;
  va_start(args, format);
  int n = vsnprintf(dest, size, format, args);
  va_end(args);
  if (n < 0) {
    dest[0] = 0;
    return kResultInvalidArgument;
  }
  return static_cast<size_t>(n) >= size ? kResultInsufficientBuffer : 0;
}

char16_t AsciiLower(char16_t c) { return c >= u'A' && c <= u'Z' ? static_cast<char16_t>(c + 32) : c; }

bool StartsWithNoCase(std::u16string_view text, std::u16string_view prefix) {
  if (text.size() < prefix.size()) return false;
  for (size_t i = 0; i < prefix.size(); ++i) {
    if (AsciiLower(text[i]) != AsciiLower(prefix[i])) return false;
  }
  return true;
}

bool EqualsNoCase(std::u16string_view text, std::u16string_view other) {
  return text.size() == other.size() && StartsWithNoCase(text, other);
}

bool EndsWithNoCase(std::u16string_view text, std::u16string_view suffix) {
  return text.size() >= suffix.size() && StartsWithNoCase(text.substr(text.size() - suffix.size()), suffix);
}
