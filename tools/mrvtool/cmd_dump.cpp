#include <cstdio>
#include <iterator>
#include <string>

#include "common/text_format.h"
#include "document/document_dump.h"
#include "tools/mrvtool/commands.h"
#include "tools/mrvtool/tool_options.h"

namespace {

int WriteToStdout(void*, const char* text, size_t length) {
  return fwrite(text, 1, length, stdout) == length;
}

void PrintLog(const MessageLog& log) {
  std::string text = Utf16ToUtf8(TextOf(&log.text));
  if (!text.empty()) fprintf(stderr, "%s", text.c_str());
}

}  // namespace

int RunDump(int argc, char** argv) {
  int32_t mode = kDumpPlainText;
  int32_t page = -1;
  const char* file = nullptr;
  const ToolOption options[] = {FlagOption("--rtf", &mode, kDumpRichText),
                                FlagOption("--text", &mode, kDumpPlainText), PageOption(&page)};
  if (!ReadToolOptions("dump", argc, argv, options, std::size(options), &file)) return 2;
  Document document;
  MessageLog log;
  log.hideUnknownTagWarnings = 1;
  document.sourceKind = kSourceFile;
  document.fileName = Utf8ToUtf16(file);
  FileHandle probe = OpenFileForReading(document.fileName);
  if (probe) {
    int64_t size = FileSizeOf(probe);
    CloseFile(probe);
    if (size >= 0) {
      // Beyond 4 GB only the first bytes can hold what the dumper may read.
      document.size = size > 0xFFFFFFFF ? 0xFFFFFFFFu : static_cast<uint32_t>(size);
      document.sizeKnown = 1;
    }
  }
  if (!document.sizeKnown) {
    fprintf(stderr, "mrvtool dump: cannot read \"%s\"\n", file);
    return 1;
  }
  int32_t ifdIndex = -1;
  if (page >= 0) {
    if (ReadPageDirectory(&document, &log)) NumberPages(&document, &log);
    ifdIndex = PageToIfd(&document, page - 1);
    if (ifdIndex < 0) {
      PrintLog(log);
      fprintf(stderr, "mrvtool dump: the file has no page %d (it has %d)\n", page, document.pageCount);
      return 1;
    }
  }
  int ok = DumpDocument(&document, ifdIndex, mode, WriteToStdout, nullptr, &log);
  fflush(stdout);
  if (log.errorCount) PrintLog(log);
  return ok ? 0 : 1;
}
