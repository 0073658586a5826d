#include "output/upload_request.h"

#include <cstdio>

#include "common/text_format.h"
#include "output/document_writer.h"

namespace {

struct CodeText {
  int32_t code;
  const char* text;  // %u: the detail
};

// clang-format off
const CodeText kTexts[] = {
    {kUploadSuccessful,        "Successful"},
    {kUploadBadUrl,            "Failed to parse URL"},
    {kUploadNotHttp,           "Attempt to POST to non-HTTP URL"},
    {kUploadOpenFailed,        "InternetOpen failed with WinInet error code %u"},
    {kUploadConnectFailed,     "InternetConnect failed with WinInet error code %u"},
    {kUploadRequestFailed,     "HttpOpenRequest failed with WinInet error code %u"},
    {kUploadSendFailed,        "HttpSendRequestEx failed with WinInet error code %u"},
    {kUploadWriteFailed,       "InternetWriteFile failed with WinInet error code %u"},
    {kUploadEndFailed,         "HttpEndRequest failed with WinInet error code %u"},
    {kUploadStatusQueryFailed, "HttpQueryInfo (for status) failed with WinInet error code %u"},
    {kUploadStatusRefused,     "POST failed, server returned status %u"},
    {kUploadHeaderQueryFailed, "HttpQueryInfo (for headers) failed with WinInet error code %u"},
    {kUploadReadFailed,        "InternetReadFile failed with WinInet error code %u"},
    {kUploadNoLibrary,         "Failed to load WinInet library"},
    {kUploadNoTempFile,        "Failed to create temp file for upload"},
    {kUploadTiffFailed,        "Error writing temporary TIFF file"},
};
// clang-format on

constexpr size_t kHeaderNameMost = 199;
constexpr size_t kHeaderValueMost = 999;

bool Put(FileHandle file, const std::string& bytes) {
  return WriteToFile(file, bytes.data(), static_cast<uint32_t>(bytes.size())) ==
         static_cast<int64_t>(bytes.size());
}

// One part's head: the line break before every part but the first, the
// boundary line, the disposition and the part's type.
std::string PartHead(size_t written, const std::string& boundary, const std::string& disposition,
                     const char* type) {
  std::string head = written > 0 ? "\r\n" : "";
  head += "--" + boundary + "\r\n";
  head += "Content-Disposition: form-data" + disposition + "\r\n";
  head += std::string("Content-Type: ") + type + "\r\n";
  head += "Content-Transfer-Encoding: binary\r\n\r\n";
  return head;
}

}  // namespace

std::u16string UploadText(int32_t code, uint32_t detail) {
  for (const CodeText& entry : kTexts) {
    if (entry.code != code) continue;
    char text[1024];
    std::snprintf(text, sizeof text, entry.text, detail);
    return Utf8ToUtf16(text);
  }
  return u"Unknown error";
}

std::string UploadBoundary(uint32_t tickCount) { return "NEXTPART" + std::to_string(tickCount & 0xFFFFFF); }

std::u16string UploadContentType(const std::string& boundary) {
  return Utf8ToUtf16("Content-Type: multipart/form-data; boundary=" + boundary + "\r\n");
}

int32_t WriteUploadBody(FileHandle file, const Document* document, const MarkupTable* markup,
                        const UploadParts& parts) {
  size_t written = 0;
  if (parts.fields) {
    for (const UploadFormField& field : *parts.fields) {
      if (field.name.empty() || field.value.empty()) continue;
      const std::string disposition = "; name=\"" + ToSystemCodePage(field.name) + "\"";
      if (!Put(file, PartHead(written, parts.boundary, disposition, "text/plain;charset=utf-8")) ||
          !Put(file, Utf16ToUtf8(field.value)))
        return kUploadUnknown;
      ++written;
    }
  }
  const std::u16string fieldName = parts.fileField.empty() ? kDefaultUploadFieldName : parts.fileField;
  const std::u16string fileName = parts.fileName.empty() ? kDefaultUploadFileName : parts.fileName;
  const std::string disposition =
      "; name=\"" + ToSystemCodePage(fieldName) + "\"; filename=\"" + ToSystemCodePage(fileName) + "\"";
  if (!Put(file, PartHead(written, parts.boundary, disposition, "image/tiff"))) return kUploadUnknown;
  if (SeekFile(file, 0, 2) < 0 || !WriteAnnotatedTiff(document, markup, file)) return kUploadTiffFailed;
  return Put(file, "\r\n--" + parts.boundary + "--\r\n") ? kUploadSuccessful : kUploadUnknown;
}

std::vector<std::pair<std::u16string, std::u16string>> UploadHeaderLines(const char16_t* raw, size_t length) {
  std::vector<std::pair<std::u16string, std::u16string>> headers;
  for (size_t at = 0; raw && at < length;) {
    size_t end = at;
    while (end < length && raw[end] != 0) ++end;
    const std::u16string_view line(raw + at, end - at);
    if (line.empty()) break;
    const size_t colon = line.find(u':');
    if (colon != std::u16string_view::npos) {
      size_t value = colon + 1;
      while (value < line.size() && line[value] == u' ') ++value;
      headers.emplace_back(std::u16string(line.substr(0, std::min(colon, kHeaderNameMost))),
                           std::u16string(line.substr(value, kHeaderValueMost)));
    }
    at = end + 1;
  }
  return headers;
}
