// mrvtool barcodes, blank and omr: the page analysis on one page of a file,
// loaded as the viewer loads the page it shows.
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "analysis/barcode_reader.h"
#include "analysis/omr.h"
#include "common/text_format.h"
#include "document/page_directory.h"
#include "document/page_loader.h"
#include "tools/mrvtool/commands.h"
#include "tools/mrvtool/document_file.h"
#include "tools/mrvtool/tool_json.h"
#include "tools/mrvtool/tool_options.h"

namespace {

struct AnalysisArguments {
  const char* command = "";
  int32_t page = 1;
  ToolRectangle region;
  int32_t hasReference = 0;
  ToolRectangle reference;
  std::vector<ToolRectangle> boxes;
  int32_t json = 0;
  const char* file = nullptr;
};

// Options each command accepts: --page everywhere, --region for barcodes,
// --ref and --box for omr.
int ParseArguments(int argc, char** argv, const char* command, AnalysisArguments* a) {
  a->command = command;
  std::vector<ToolOption> options = {PageOption(&a->page), FlagOption("--json", &a->json)};
  if (!strcmp(command, "barcodes")) options.push_back(RectangleOption("--region", &a->region));
  const bool omr = !strcmp(command, "omr");
  if (omr) {
    options.push_back(RectangleOption("--ref", &a->reference, &a->hasReference));
    options.push_back(RectanglesOption("--box", &a->boxes));
  }
  if (!ReadToolOptions(command, argc, argv, options.data(), options.size(), &a->file)) return 0;
  if (omr && !a->hasReference) {
    fprintf(stderr, "mrvtool %s: no --ref rectangle given\n", command);
    return 0;
  }
  return 1;
}

// Loads the page with the document's and the page's messages on standard
// error; zero when there is no picture.
int LoadAnalysedPage(const AnalysisArguments& a, PageBitmap* bitmap) {
  Document document;
  MessageLog documentLog;
  std::vector<uint8_t> bytes;
  int index = ReadDocumentPages(a.file, a.page, &bytes, &document, &documentLog);
  for (const std::string& line : LogLines(documentLog)) fprintf(stderr, "%s\n", line.c_str());
  if (index < 0) {
    fprintf(stderr, "mrvtool %s: the file has no page %d\n", a.command, a.page);
    return 0;
  }
  PageLoadOptions options;
  PageInfo info;
  MessageLog log;
  int loaded = LoadPage(&document, index, &options, &info, bitmap, &log);
  for (const std::string& line : LogLines(log)) fprintf(stderr, "%s\n", line.c_str());
  if (!loaded && log.errorCount == 0 && log.warningCount == 0) {
    fprintf(stderr, "%s\n", kUnknownLoadFailure);
  }
  ReleasePageInfo(&info);
  return loaded;
}

// The keys every analysis command's object starts with.
JsonObject Head(const AnalysisArguments& a) {
  JsonObject o;
  o.Text("file", a.file).Integer("page", a.page);
  return o;
}

int Run(int argc, char** argv, const char* command, int (*analyse)(const AnalysisArguments&, PageBitmap*)) {
  AnalysisArguments a;
  if (!ParseArguments(argc, argv, command, &a)) return 2;
  PageBitmap bitmap;
  if (!LoadAnalysedPage(a, &bitmap)) {
    if (a.json) printf("%s\n", Head(a).Raw("error", JsonString("the page could not be read")).Json().c_str());
    return 1;
  }
  int status = analyse(a, &bitmap);
  ReleasePageBitmap(&bitmap);
  return status;
}

int PrintBarcodes(const AnalysisArguments& a, PageBitmap* bitmap) {
  BarcodeResults results;
  MessageLog log;
  const ToolRectangle& r = a.region;  // all zero without --region: the whole page
  DetectBarcodes(&results, bitmap, r.x, r.y, r.w, r.h, &log);
  std::vector<std::string> texts;
  for (std::u16string text = GetBarcode(&results); !text.empty(); text = GetBarcode(&results))
    texts.push_back(Utf16ToUtf8(text));
  if (a.json) {
    printf("%s\n",
           Head(a).Raw("barcodes", JsonStrings(texts)).Number("ink", results.inkFraction).Json().c_str());
    return 0;
  }
  for (const std::string& text : texts) printf("%s\n", text.c_str());
  printf("%.6f\n", results.inkFraction);
  return 0;
}

int PrintBlank(const AnalysisArguments& a, PageBitmap* bitmap) {
  BarcodeResults results;
  MessageLog log;
  double ink = DetectBlankPage(&results, bitmap, &log);
  if (a.json) {
    printf("%s\n", Head(a).Number("ink", ink).Json().c_str());
    return 0;
  }
  printf("%.6f\n", ink);
  return 0;
}

int PrintMarks(const AnalysisArguments& a, PageBitmap* bitmap) {
  OmrCalibration calibration;
  MessageLog log;
  const ToolRectangle& r = a.reference;
  OMRInit(&calibration, bitmap, r.x, r.y, r.w, r.h, &log);
  if (a.json) {
    std::string corners = "[", boxes = "[";
    for (const OmrPoint& corner : calibration.corners) {
      corners += (corners.size() > 1 ? ", [" : "[") + std::to_string(static_cast<long long>(corner.x)) +
                 ", " + std::to_string(static_cast<long long>(corner.y)) + "]";
    }
    for (const ToolRectangle& box : a.boxes) {
      boxes += (boxes.size() > 1 ? ", " : "") +
               JsonNumber(OMRCheck(&calibration, bitmap, box.x, box.y, box.w, box.h));
    }
    printf("%s\n", Head(a)
                       .Integer("found", calibration.found)
                       .Raw("corners", corners + "]")
                       .Raw("boxes", boxes + "]")
                       .Json()
                       .c_str());
    return 0;
  }
  printf("found %d\n", calibration.found);
  printf("corners");
  for (const OmrPoint& corner : calibration.corners) {
    printf(" %lld,%lld", static_cast<long long>(corner.x), static_cast<long long>(corner.y));
  }
  printf("\n");
  for (const ToolRectangle& box : a.boxes)
    printf("%.6f\n", OMRCheck(&calibration, bitmap, box.x, box.y, box.w, box.h));
  return 0;
}

}  // namespace

int RunBarcodes(int argc, char** argv) { return Run(argc, argv, "barcodes", PrintBarcodes); }
int RunBlank(int argc, char** argv) { return Run(argc, argv, "blank", PrintBlank); }
int RunOmr(int argc, char** argv) { return Run(argc, argv, "omr", PrintMarks); }
