// mrvtool barcodes, blank and omr: the page analysis on one page of a file,
// loaded as the viewer loads the page it shows.
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "analysis/barcode_reader.h"
#include "analysis/omr.h"
#include "common/text_format.h"
#include "document/page_loader.h"
#include "document/page_directory.h"
#include "tools/mrvtool/commands.h"
#include "tools/mrvtool/document_file.h"

namespace {

struct Rectangle {
  int32_t x = 0, y = 0, w = 0, h = 0;
};

struct AnalysisArguments {
  const char* command = "";
  int32_t page = 1;
  bool hasRegion = false;
  Rectangle region;
  bool hasReference = false;
  Rectangle reference;
  std::vector<Rectangle> boxes;
  const char* file = nullptr;
};

bool ParseNumber(const char* text, char** end, int32_t* value) {
  long long v = strtoll(text, end, 10);
  if (*end == text || v < INT32_MIN || v > INT32_MAX) return false;
  *value = static_cast<int32_t>(v);
  return true;
}

// "x,y,w,h" in whole numbers.
bool ParseRectangle(const char* text, Rectangle* r) {
  int32_t* fields[4] = {&r->x, &r->y, &r->w, &r->h};
  const char* at = text;
  for (int i = 0; i < 4; ++i) {
    char* end = nullptr;
    if (!ParseNumber(at, &end, fields[i]) || *end != (i < 3 ? ',' : '\0')) return false;
    at = end + 1;
  }
  return true;
}

// Options each command accepts: --page everywhere, --region for barcodes,
// --ref and --box for omr.
int ParseArguments(int argc, char** argv, const char* command, AnalysisArguments* a) {
  a->command = command;
  bool barcodes = !strcmp(command, "barcodes"), omr = !strcmp(command, "omr");
  for (int i = 0; i < argc; ++i) {
    const char* arg = argv[i];
    const char* value = i + 1 < argc ? argv[i + 1] : nullptr;
    Rectangle r;
    bool ok = true;
    if (!strcmp(arg, "--page") && value) {
      char* end = nullptr;
      ok = ParseNumber(value, &end, &a->page) && !*end && a->page >= 1;
    } else if (barcodes && !strcmp(arg, "--region") && value) {
      ok = a->hasRegion = ParseRectangle(value, &a->region);
    } else if (omr && !strcmp(arg, "--ref") && value) {
      ok = a->hasReference = ParseRectangle(value, &a->reference);
    } else if (omr && !strcmp(arg, "--box") && value) {
      ok = ParseRectangle(value, &r);
      a->boxes.push_back(r);
    } else if (arg[0] != '-' && !a->file) {
      a->file = arg;
      continue;
    } else {
      fprintf(stderr, "mrvtool %s: unexpected argument \"%s\"\n", command, arg);
      return 0;
    }
    if (!ok) {
      fprintf(stderr, "mrvtool %s: bad value \"%s\" for %s\n", command, value, arg);
      return 0;
    }
    ++i;
  }
  if (!a->file || (omr && !a->hasReference)) {
    fprintf(stderr, "mrvtool %s: %s\n", command, a->file ? "no --ref rectangle given" : "no file given");
    return 0;
  }
  return 1;
}

// Loads the page with the document's and the page's messages on standard
// error; zero when there is no picture.
int LoadAnalysedPage(const AnalysisArguments& a, PageBitmap* bitmap) {
  Document document;
  MessageLog documentLog;
  documentLog.hideUnknownTagWarnings = 1;
  std::vector<uint8_t> bytes;
  if (ReadDocumentFile(a.file, &bytes, &document, &documentLog) &&
      ReadPageDirectory(&document, &documentLog)) {
    NumberPages(&document, &documentLog);
  }
  for (const std::string& line : LogLines(documentLog)) fprintf(stderr, "%s\n", line.c_str());
  int index = PageToIfd(&document, a.page - 1);
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
    fprintf(stderr, "%s\n", kUnknownDisplayFailure);
  }
  ReleasePageInfo(&info);
  return loaded;
}

int Run(int argc, char** argv, const char* command, int (*analyse)(const AnalysisArguments&, PageBitmap*)) {
  AnalysisArguments a;
  if (!ParseArguments(argc, argv, command, &a)) return 2;
  PageBitmap bitmap;
  if (!LoadAnalysedPage(a, &bitmap)) return 1;
  int status = analyse(a, &bitmap);
  ReleasePageBitmap(&bitmap);
  return status;
}

int PrintBarcodes(const AnalysisArguments& a, PageBitmap* bitmap) {
  BarcodeResults results;
  MessageLog log;
  const Rectangle& r = a.region;  // all zero without --region: the whole page
  DetectBarcodes(&results, bitmap, r.x, r.y, r.w, r.h, &log);
  for (std::u16string text = GetBarcode(&results); !text.empty(); text = GetBarcode(&results)) {
    printf("%s\n", Utf16ToUtf8(text).c_str());
  }
  printf("%.6f\n", results.inkFraction);
  return 0;
}

int PrintBlank(const AnalysisArguments&, PageBitmap* bitmap) {
  BarcodeResults results;
  MessageLog log;
  printf("%.6f\n", DetectBlankPage(&results, bitmap, &log));
  return 0;
}

int PrintMarks(const AnalysisArguments& a, PageBitmap* bitmap) {
  OmrCalibration calibration;
  MessageLog log;
  const Rectangle& r = a.reference;
  OMRInit(&calibration, bitmap, r.x, r.y, r.w, r.h, &log);
  printf("found %d\n", calibration.found);
  printf("corners");
  for (const OmrPoint& corner : calibration.corners) {
    printf(" %lld,%lld", static_cast<long long>(corner.x), static_cast<long long>(corner.y));
  }
  printf("\n");
  for (const Rectangle& box : a.boxes)
    printf("%.6f\n", OMRCheck(&calibration, bitmap, box.x, box.y, box.w, box.h));
  return 0;
}

}  // namespace

int RunBarcodes(int argc, char** argv) { return Run(argc, argv, "barcodes", PrintBarcodes); }
int RunBlank(int argc, char** argv) { return Run(argc, argv, "blank", PrintBlank); }
int RunOmr(int argc, char** argv) { return Run(argc, argv, "omr", PrintMarks); }
