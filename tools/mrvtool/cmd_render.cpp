#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "common/text_format.h"
#include "decode/page_loader.h"
#include "decode/photometric_name.h"
#include "document/page_directory.h"
#include "raster/bitmap_ops.h"
#include "raster/bmp_writer.h"
#include "tools/mrvtool/commands.h"
#include "tools/mrvtool/document_file.h"

namespace {

struct RenderArguments {
  int32_t page = 1;
  int32_t orient = 0;
  bool negative = false;
  bool smooth = false;
  const char* size = nullptr;
  const char* out = nullptr;
  const char* file = nullptr;
};

bool ParseNumber(const char* text, int32_t low, int32_t high, int32_t* value) {
  char* end = nullptr;
  long v = strtol(text, &end, 10);
  if (!*text || *end || v < low || v > high) return false;
  *value = static_cast<int32_t>(v);
  return true;
}

int ParseArguments(int argc, char** argv, RenderArguments* a) {
  for (int i = 0; i < argc; ++i) {
    const char* arg = argv[i];
    bool hasValue = i + 1 < argc;
    if (!strcmp(arg, "--page") && hasValue) {
      if (!ParseNumber(argv[++i], 1, 0x7FFFFFFF, &a->page)) return 0;
    } else if (!strcmp(arg, "--orient") && hasValue) {
      if (!ParseNumber(argv[++i], 0, 3, &a->orient)) return 0;
    } else if (!strcmp(arg, "--size") && hasValue) {
      a->size = argv[++i];
    } else if (!strcmp(arg, "--out") && hasValue) {
      a->out = argv[++i];
    } else if (!strcmp(arg, "--negative")) {
      a->negative = true;
    } else if (!strcmp(arg, "--smooth")) {
      a->smooth = true;
    } else if (arg[0] == '-' || a->file) {
      fprintf(stderr, "mrvtool render: unexpected argument \"%s\"\n", arg);
      return 0;
    } else {
      a->file = arg;
    }
  }
  if (!a->file || !a->out) {
    fprintf(stderr, "mrvtool render: %s\n", a->file ? "no --out file given" : "no file given");
    return 0;
  }
  return 1;
}

// The viewer's orientation codes: 1 a quarter turn clockwise, 2 a half turn,
// 3 a quarter turn counter-clockwise.
int TurnForViewer(PageBitmap* bitmap, int32_t orient, MessageLog* log) {
  switch (orient) {
    case 1: return Transpose(bitmap, log) && ReverseRowOrder(bitmap, log);
    case 2: MirrorRows(bitmap); return ReverseRowOrder(bitmap, log);
    case 3: if (!Transpose(bitmap, log)) return 0; MirrorRows(bitmap); return 1;
    default: return 1;
  }
}

void PrintFacts(const Document& document, int32_t page, const PageInfo& info, const PageBitmap& bitmap) {
  const BitmapHeader* header = HeaderOf(&bitmap);
  printf("page: %d of %d\n", page, document.pageCount);
  printf("size: %u x %u\n", info.width, info.height);
  printf("bits per pixel: %d (bitmap %u)\n", info.bitsPerPixel, header->bitCount);
  printf("compression: %s\n", Utf16ToUtf8(CompressionName(info.compression)).c_str());
  int32_t bitsPerSample = info.bitsPerPixel;
  printf("photometric: %s\n", Utf16ToUtf8(PhotometricName(info.photometric, bitsPerSample)).c_str());
  if (info.resolutionValid) {
    const char* unit = info.resolutionUnit == 2 ? " per inch" : info.resolutionUnit == 3 ? " per centimetre" : "";
    printf("resolution: %g x %g%s\n", info.xResolution, info.yResolution, unit);
  } else {
    printf("resolution: none\n");
  }
}

}  // namespace

int RunRender(int argc, char** argv) {
  RenderArguments a;
  if (!ParseArguments(argc, argv, &a)) return 2;
  if (a.size || a.smooth) {
    fprintf(stderr, "mrvtool render: --size and --smooth need the display scaler, which this build lacks\n");
    return 1;
  }
  Document document;
  MessageLog documentLog;
  documentLog.hideUnknownTagWarnings = 1;
  std::vector<uint8_t> bytes;
  if (ReadDocumentFile(a.file, &bytes, &document, &documentLog) && ReadPageDirectory(&document, &documentLog)) {
    NumberPages(&document, &documentLog);
  }
  for (const std::string& line : LogLines(documentLog)) printf("%s\n", line.c_str());
  int index = PageToIfd(&document, a.page - 1);
  if (index < 0) {
    fprintf(stderr, "mrvtool render: the file has no page %d\n", a.page);
    return 1;
  }
  PageLoadOptions options;
  PageInfo info;
  PageBitmap bitmap;
  MessageLog log;
  int shown = LoadPage(&document, index, &options, &info, &bitmap, &log);
  if (shown) {
    PrintFacts(document, a.page, info, bitmap);
    if (a.negative) Negative(&bitmap);
    shown = TurnForViewer(&bitmap, a.orient, &log) && WriteBmpFile(&bitmap, Utf8ToUtf16(a.out), &log);
  }
  for (const std::string& line : LogLines(log)) printf("%s\n", line.c_str());
  if (!shown && log.errorCount == 0 && log.warningCount == 0) printf("Unable to display image; unknown reason\n");
  ReleasePageBitmap(&bitmap);
  ReleasePageInfo(&info);
  return shown ? 0 : 1;
}
