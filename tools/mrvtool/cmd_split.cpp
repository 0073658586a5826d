// mrvtool split: one scanned batch into one TIFF per document, cut at
// separator sheets found by their Code 128 symbol, with blank pages dropped.
// Every page is decoded once for the analysis; writing carries pages over
// without decoding them again wherever the file allows.
#include <cstdio>
#include <cstdlib>
#include <iterator>
#include <string>
#include <vector>

#include "analysis/barcode_reader.h"
#include "analysis/batch_split.h"
#include "common/text_format.h"
#include "document/page_loader.h"
#include "output/document_writer.h"
#include "tools/mrvtool/commands.h"
#include "tools/mrvtool/document_file.h"
#include "tools/mrvtool/tool_json.h"
#include "tools/mrvtool/tool_options.h"

namespace {

struct SplitArguments {
  const char* prefix = "";
  const char* dropBlank = nullptr;
  int32_t keepSeparators = 0;
  int32_t nameFromBarcode = 0;
  int32_t json = 0;
  const char* outDir = nullptr;
  const char* file = nullptr;
  SplitOptions options;
};

int ParseArguments(int argc, char** argv, SplitArguments* a) {
  const ToolOption options[] = {TextOption("--separator-prefix", &a->prefix),
                                TextOption("--drop-blank", &a->dropBlank),
                                FlagOption("--keep-separators", &a->keepSeparators),
                                FlagOption("--name-from-barcode", &a->nameFromBarcode),
                                FlagOption("--json", &a->json),
                                TextOption("--out-dir", &a->outDir)};
  if (!ReadToolOptions("split", argc, argv, options, std::size(options), &a->file)) return 0;
  if (!a->outDir) {
    fprintf(stderr, "mrvtool split: no --out-dir given\n");
    return 0;
  }
  if (a->dropBlank) {
    char* end = nullptr;
    a->options.dropBelow = strtod(a->dropBlank, &end);
    if (end == a->dropBlank || *end || !(a->options.dropBelow >= 0 && a->options.dropBelow <= 1)) {
      fprintf(stderr, "mrvtool split: bad value \"%s\" for --drop-blank (a fraction from 0 to 1)\n",
              a->dropBlank);
      return 0;
    }
  }
  a->options.separatorPrefix = Utf8ToUtf16(a->prefix);
  a->options.keepSeparators = a->keepSeparators;
  return 1;
}

// Decodes the page once and reads its symbols and its ink.
BatchPage AnalysePage(const Document& document, int32_t directory) {
  BatchPage page;
  PageLoadOptions options;
  PageInfo info;
  PageBitmap bitmap;
  MessageLog log;
  if (directory >= 0 && LoadPage(&document, directory, &options, &info, &bitmap, &log)) {
    BarcodeResults results;
    DetectBarcodes(&results, &bitmap, 0, 0, 0, 0, &log);
    page.readable = 1;
    page.barcodes = results.texts;
    page.inkFraction = results.inkFraction;
  }
  ReleasePageBitmap(&bitmap);
  ReleasePageInfo(&info);
  return page;
}

struct WrittenDocument {
  std::string file;
  int32_t first, last, pages, copied;
};

std::string PageList(const std::vector<int32_t>& pages) {
  std::string list;
  for (int32_t p : pages) list += (list.empty() ? "" : ", ") + std::to_string(p + 1);
  return list;
}

void PrintJson(const SplitArguments& a, const Document& document, const SplitPlan& plan,
               const std::vector<WrittenDocument>& written, const std::string& failure) {
  std::string documents = "[";
  for (size_t i = 0; i < written.size(); ++i) {
    const WrittenDocument& w = written[i];
    documents += (i ? ", " : "") + JsonObject()
                                       .Text("file", w.file)
                                       .Integer("first", w.first)
                                       .Integer("last", w.last)
                                       .Integer("pages", w.pages)
                                       .Integer("copied", w.copied)
                                       .Json();
  }
  std::string unreadable = "[";
  for (size_t i = 0; i < plan.unreadable.size(); ++i)
    unreadable += (i ? ", " : "") + std::to_string(plan.unreadable[i] + 1);
  printf("%s\n", JsonObject()
                     .Text("file", a.file)
                     .Integer("pages", document.pageCount)
                     .Raw("documents", documents + "]")
                     .Integer("separators", plan.separators)
                     .Integer("blank", plan.blanks)
                     .Raw("unreadable", unreadable + "]")
                     .Raw("error", failure.empty() ? "null" : JsonString(failure))
                     .Json()
                     .c_str());
}

}  // namespace

int RunSplit(int argc, char** argv) {
  SplitArguments a;
  if (!ParseArguments(argc, argv, &a)) return 2;
  Document document;
  MessageLog documentLog;
  std::vector<uint8_t> bytes;
  ReadDocumentPages(a.file, 1, &bytes, &document, &documentLog);
  for (const std::string& line : LogLines(documentLog)) fprintf(stderr, "%s\n", line.c_str());
  if (document.pageCount < 1) {
    fprintf(stderr, "mrvtool split: no page to read in %s\n", a.file);
    return 1;
  }
  std::vector<BatchPage> pages;
  for (int32_t p = 0; p < document.pageCount; ++p)
    pages.push_back(AnalysePage(document, PageToIfd(&document, p)));
  SplitPlan plan = PlanSplit(pages, a.options);
  std::vector<std::u16string> names = SplitFileNames(plan, a.nameFromBarcode);

  std::vector<WrittenDocument> written;
  std::string failure;
  for (size_t i = 0; i < plan.documents.size() && failure.empty(); ++i) {
    const SplitDocument& d = plan.documents[i];
    std::vector<int32_t> directories;
    for (int32_t p : d.pages) directories.push_back(PageToIfd(&document, p));
    std::string path = std::string(a.outDir) + "/" + Utf16ToUtf8(names[i]);
    MessageLog log;
    int32_t copied = 0;
    if (!WritePagesToFile(&document, directories, Utf8ToUtf16(path), &copied, &log)) {
      failure = "cannot write " + path + " in " + a.outDir;
      for (const std::string& line : LogLines(log)) fprintf(stderr, "%s\n", line.c_str());
      break;
    }
    written.push_back(
        {path, d.pages.front() + 1, d.pages.back() + 1, static_cast<int32_t>(d.pages.size()), copied});
  }

  if (a.json) {
    PrintJson(a, document, plan, written, failure);
  } else {
    int32_t total = 0;
    for (const WrittenDocument& w : written) {
      printf("%s: pages %d-%d, %d page%s\n", w.file.c_str(), w.first, w.last, w.pages,
             w.pages == 1 ? "" : "s");
      total += w.pages;
    }
    printf("%zu document%s, %d page%s written, %d separator%s, %d blank page%s dropped\n", written.size(),
           written.size() == 1 ? "" : "s", total, total == 1 ? "" : "s", plan.separators,
           plan.separators == 1 ? "" : "s", plan.blanks, plan.blanks == 1 ? "" : "s");
  }
  if (!failure.empty()) fprintf(stderr, "mrvtool split: %s\n", failure.c_str());
  if (!plan.unreadable.empty())
    fprintf(stderr, "mrvtool split: pages that could not be read: %s\n", PageList(plan.unreadable).c_str());
  return failure.empty() && plan.unreadable.empty() ? 0 : 1;
}
