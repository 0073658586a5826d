#include "common/suggested_name.h"

#include <cstdlib>
#include <utility>

#include "common/text_format.h"

namespace {

std::u16string Lowered(std::u16string text) {
  for (char16_t& c : text) c = AsciiLower(c);
  return text;
}

int HexValue(char16_t c) {
  if (c >= u'0' && c <= u'9') return c - u'0';
  c = AsciiLower(c);
  if (c >= u'a' && c <= u'f') return c - u'a' + 10;
  return -1;
}

// Percent escapes are bytes; they are read as UTF-8 when they form it, else
// each byte stands for one character.
std::u16string DecodePercentEscapes(const std::u16string& text) {
  std::string bytes;
  bool ascii = true;
  for (size_t i = 0; i < text.size(); ++i) {
    int high = i + 2 < text.size() && text[i] == u'%' ? HexValue(text[i + 1]) : -1;
    int low = high >= 0 ? HexValue(text[i + 2]) : -1;
    if (high >= 0 && low >= 0) {
      bytes.push_back(static_cast<char>(high * 16 + low));
      i += 2;
    } else if (text[i] < 0x80) {
      bytes.push_back(static_cast<char>(text[i]));
    } else {
      ascii = false;
      break;
    }
  }
  if (!ascii) return text;
  std::u16string utf16 = Utf8ToUtf16(bytes);
  if (utf16.find(u'\uFFFD') == std::u16string::npos) return utf16;
  std::u16string latin;
  for (unsigned char b : bytes) latin.push_back(b);
  return latin;
}

std::u16string FromQuery(const std::u16string& source, size_t queryStart) {
  std::u16string query = Lowered(source.substr(queryStart, 240));
  size_t docid = query.find(u"docid=");
  if (docid == std::u16string::npos) return u"";
  std::u16string value = query.substr(docid + 6);
  value = value.substr(0, value.find(u'&')).substr(0, 25);
  size_t pagenum = query.find(u"pagenum=");
  if (pagenum != std::u16string::npos) {
    std::string digits = Utf16ToUtf8(query.substr(pagenum + 8, 12));
    long page = strtol(digits.c_str(), nullptr, 10);
    if (page >= 1) {
      char16_t suffix[24];
      FormatBounded(suffix, 24, "-%03ld", page);
      value += suffix;
    }
  }
  return value;
}

}  // namespace

std::u16string SuggestFileName(const std::u16string& source, bool isAddress, bool keepExtension) {
  size_t separator = 0, dot = std::u16string::npos, query = std::u16string::npos;
  for (size_t i = 0; i < source.size(); ++i) {
    char16_t c = source[i];
    if (c == u'?') query = i + 1;
    if (c == u'/' || c == u':' || c == u'=' || c == u'\\' || (c == u'&' && query != std::u16string::npos)) {
      separator = i + 1;
      dot = std::u16string::npos;
    } else if (c == u'.') {
      dot = i + 1;
    }
  }
  std::u16string name;
  bool fromPath = false;
  if (dot != std::u16string::npos) {
    size_t baseLength = dot - 1 - separator;
    std::u16string extension = Lowered(source.substr(dot));
    if (baseLength >= 1 && baseLength <= 99 && (extension == u"tif" || extension == u"tiff")) {
      name = keepExtension ? source.substr(separator) : source.substr(separator, baseLength);
      fromPath = true;
    }
  }
  if (!fromPath && query != std::u16string::npos) {
    name = FromQuery(source, query);
    if (keepExtension && !name.empty()) name += u".tif";
  }
  if (isAddress && source.find(u'%') != std::u16string::npos) name = DecodePercentEscapes(name);
  name = ReplaceUnsafe(std::move(name));
  if (name.size() > kSuggestedNameSize - 1) name.resize(kSuggestedNameSize - 1);
  return name;
}

std::u16string ReplaceUnsafe(std::u16string name) {
  for (char16_t& c : name) {
    if (c < 32 || std::u16string_view(u"\"*/:<>?\\|").find(c) != std::u16string_view::npos) c = u'_';
  }
  return name;
}
