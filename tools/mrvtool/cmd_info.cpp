#include <cstdio>
#include <iterator>
#include <string>
#include <vector>

#include "common/text_format.h"
#include "document/page_directory.h"
#include "tools/mrvtool/commands.h"
#include "tools/mrvtool/document_file.h"
#include "tools/mrvtool/tool_json.h"
#include "tools/mrvtool/tool_options.h"

namespace {

void PrintJson(const Document& d, const MessageLog& log) {
  printf("{\"pages\": %d, \"ifds\": [", d.pageCount);
  for (size_t i = 0; i < d.ifds.size(); ++i) {
    printf("%s{\"offset\": %u, \"flags\": %u, \"page\": %d}", i ? ", " : "", d.ifds[i].offset,
           d.ifds[i].flags, d.ifds[i].page);
  }
  printf("], \"errors\": %d, \"warnings\": %d, \"log\": [", log.errorCount, log.warningCount);
  std::vector<std::string> lines = LogLines(log);
  for (size_t i = 0; i < lines.size(); ++i) printf("%s%s", i ? ", " : "", JsonString(lines[i]).c_str());
  printf("]}\n");
}

void PrintTable(const Document& d, const MessageLog& log) {
  printf("%d page%s, %zu director%s\n", d.pageCount, d.pageCount == 1 ? "" : "s", d.ifds.size(),
         d.ifds.size() == 1 ? "y" : "ies");
  printf("%6s  %10s  %10s  %5s\n", "index", "offset", "flags", "page");
  for (size_t i = 0; i < d.ifds.size(); ++i) {
    printf("%6zu  %10u  0x%08x  %5d\n", i, d.ifds[i].offset, d.ifds[i].flags, d.ifds[i].page);
  }
  for (const std::string& line : LogLines(log)) printf("%s\n", line.c_str());
}

}  // namespace

int RunInfo(int argc, char** argv) {
  int32_t json = 0;
  int32_t ignore = 0;
  const char* file = nullptr;
  const ToolOption options[] = {FlagOption("--json", &json), NumberOption("--ignore-special", &ignore, 0, 3)};
  if (!ReadToolOptions("info", argc, argv, options, std::size(options), &file)) return 2;
  Document document;
  MessageLog log;
  log.hideUnknownTagWarnings = 1;  // as on the viewer's document log
  document.ignoreSpecialImages = ignore;
  std::vector<uint8_t> bytes;
  ReadDocumentFile(file, &bytes, &document, &log);
  if (document.sizeKnown && ReadPageDirectory(&document, &log)) NumberPages(&document, &log);
  if (json) {
    PrintJson(document, log);
  } else {
    PrintTable(document, log);
  }
  return document.pageCount >= 1 ? 0 : 1;
}
