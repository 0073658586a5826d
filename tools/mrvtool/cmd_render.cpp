#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "common/text_format.h"
#include "document/page_loader.h"
#include "document/scale_for_display.h"
#include "document/code_names.h"
#include "document/page_directory.h"
#include "document/bitmap_ops.h"
#include "document/bmp_writer.h"
#include "tools/mrvtool/commands.h"
#include "tools/mrvtool/document_file.h"
#include "tools/mrvtool/tool_settings.h"

namespace {

struct RenderArguments {
  int32_t page = 0;     // 1-based; 0: the viewer's start page
  int32_t orient = -1;  // -1: the viewer's orientation
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

bool EqualsNoCase(const std::u16string& text, std::u16string_view name) {
  return text.size() == name.size() && StartsWithNoCase(text, name);
}

// "WIDTHxHEIGHT", the size the display bitmap is scaled to.
bool ParseSize(const char* text, int32_t* width, int32_t* height) {
  char* end = nullptr;
  long w = strtol(text, &end, 10);
  if (end == text || (*end != 'x' && *end != 'X')) return false;
  const char* rest = end + 1;
  long h = strtol(rest, &end, 10);
  if (end == rest || *end || w < 1 || h < 1 || w > 100000 || h > 100000) return false;
  *width = static_cast<int32_t>(w);
  *height = static_cast<int32_t>(h);
  return true;
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
  ToolSettings toolSettings;
  std::vector<char*> rest;
  std::string error;
  if (!ParseToolSettings(argc, argv, &toolSettings, &rest, &error)) {
    fprintf(stderr, "mrvtool render: %s\n", error.c_str());
    return 2;
  }
  RenderArguments a;
  if (!ParseArguments(static_cast<int>(rest.size()), rest.data(), &a)) return 2;
  // Settings and page parameters reach the render as they reach the viewer;
  // the command's own options win over them.
  ViewerInstance* viewer = nullptr;
  if (!CreateToolViewer(toolSettings, &viewer)) {
    fprintf(stderr, "mrvtool render: the viewer could not be created\n");
    return 1;
  }
  for (const std::string& line : LogLines(viewer->documentLog)) printf("%s\n", line.c_str());
  if (a.page == 0) a.page = viewer->initialPage > 0 ? viewer->initialPage + 1 : 1;
  if (a.orient < 0) a.orient = viewer->orientation;
  a.negative = a.negative || viewer->negative;
  // The viewer smooths by default; the command does so when asked, by --smooth
  // or by the smoothing parameter or setting.
  bool smoothingNamed = false;
  for (const std::u16string& name : toolSettings.parameterNames) smoothingNamed |= EqualsNoCase(name, u"smooth");
  for (const std::u16string& name : toolSettings.settingNames) smoothingNamed |= EqualsNoCase(name, u"resample");
  a.smooth = a.smooth || (smoothingNamed && viewer->raster.resample);
  PageLoadOptions options;
  options.memoryLimitMb = viewer->raster.memoryLimitMb;
  options.readPrintTags = viewer->printRouting;
  RasterSettings raster = viewer->raster;
  raster.resample = a.smooth;
  const int32_t ignoreSpecialImages = viewer->prefs.ignoreSpecialImages;
  DestroyToolViewer(&viewer);
  int32_t width = 0, height = 0;
  if (a.size && !ParseSize(a.size, &width, &height)) {
    fprintf(stderr, "mrvtool render: bad size \"%s\" (WIDTHxHEIGHT, each 1 to 100000)\n", a.size);
    return 2;
  }
  Document document;
  document.ignoreSpecialImages = ignoreSpecialImages;
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
  PageInfo info;
  PageBitmap bitmap;
  MessageLog log;
  int shown = LoadPage(&document, index, &options, &info, &bitmap, &log);
  if (shown) {
    PrintFacts(document, a.page, info, bitmap);
    if (a.negative) Negative(&bitmap);
    shown = TurnForViewer(&bitmap, a.orient, &log);
    if (shown && a.size) {
      PageBitmap scaled;
      shown = ScaleForDisplay(&raster, &log, &bitmap, &scaled, width, height, 0);
      ReleasePageBitmap(&bitmap);
      bitmap = scaled;
    }
    shown = shown && WriteBmpFile(&bitmap, Utf8ToUtf16(a.out), &log);
  }
  for (const std::string& line : LogLines(log)) printf("%s\n", line.c_str());
  if (!shown && log.errorCount == 0 && log.warningCount == 0) printf("Unable to display image; unknown reason\n");
  ReleasePageBitmap(&bitmap);
  ReleasePageInfo(&info);
  return shown ? 0 : 1;
}
