#include "tools/mrvtool/document_file.h"

#include <fstream>
#include <iterator>

#include "common/text_format.h"

int ReadDocumentFile(const char* name, std::vector<uint8_t>* bytes, Document* document, MessageLog* log) {
  std::ifstream in(name, std::ios::binary);
  if (!in) {
    LogError(log, "Unable to read file");
    return 0;
  }
  bytes->assign(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
  if (bytes->size() > 0xFFFFFFFFu) {
    LogError(log, "Unable to read file");
    return 0;
  }
  PointAtMemory(document, bytes->data(), static_cast<uint32_t>(bytes->size()));
  return 1;
}

int ReadDocumentPages(const char* name, int32_t page, std::vector<uint8_t>* bytes, Document* document,
                      MessageLog* log) {
  log->hideUnknownTagWarnings = 1;
  if (ReadDocumentFile(name, bytes, document, log) && ReadPageDirectory(document, log))
    NumberPages(document, log);
  return PageToIfd(document, page - 1);
}

std::vector<std::string> LogLines(const MessageLog& log) {
  std::string text = Utf16ToUtf8(TextOf(&log.text));
  std::vector<std::string> lines;
  size_t start = 0, end;
  while ((end = text.find("\r\n", start)) != std::string::npos) {
    lines.push_back(text.substr(start, end - start));
    start = end + 2;
  }
  if (start < text.size()) lines.push_back(text.substr(start));
  return lines;
}
