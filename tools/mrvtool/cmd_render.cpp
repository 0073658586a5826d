#include <cstdio>
#include <cstdlib>
#include <iterator>
#include <string>
#include <vector>

#include "common/text_format.h"
#include "document/bitmap_ops.h"
#include "document/bmp_writer.h"
#include "document/code_names.h"
#include "document/page_directory.h"
#include "document/page_loader.h"
#include "document/scale_for_display.h"
#include "tools/mrvtool/commands.h"
#include "tools/mrvtool/document_file.h"
#include "tools/mrvtool/tool_json.h"
#include "tools/mrvtool/tool_options.h"
#include "tools/mrvtool/tool_settings.h"

namespace {

struct RenderArguments {
  int32_t page = 0;  // 1-based; 0: the viewer's start page
  int32_t orient = 0;
  int32_t orientGiven = 0;  // else the viewer's orientation
  int32_t negative = 0;
  int32_t smooth = 0;
  int32_t json = 0;
  const char* size = nullptr;
  const char* out = nullptr;
  const char* file = nullptr;
};

int ParseArguments(int argc, char** argv, RenderArguments* a) {
  // Any whole number of quarter turns, taken modulo 4 as the viewer turns.
  ToolOption orient = NumberOption("--orient", &a->orient, INT32_MIN, INT32_MAX);
  orient.given = &a->orientGiven;
  const ToolOption options[] = {PageOption(&a->page),
                                orient,
                                FlagOption("--negative", &a->negative),
                                FlagOption("--smooth", &a->smooth),
                                FlagOption("--json", &a->json),
                                TextOption("--size", &a->size),
                                TextOption("--out", &a->out)};
  if (!ReadToolOptions("render", argc, argv, options, std::size(options), &a->file)) return 0;
  if (!a->out) {
    fprintf(stderr, "mrvtool render: no --out file given\n");
    return 0;
  }
  return 1;
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

void PrintFacts(const Document& document, int32_t page, const PageInfo& info, const PageBitmap& bitmap) {
  const BitmapHeader* header = HeaderOf(&bitmap);
  printf("page: %d of %d\n", page, document.pageCount);
  printf("size: %u x %u\n", info.width, info.height);
  printf("bits per pixel: %d (bitmap %u)\n", info.bitsPerPixel, header->bitCount);
  printf("compression: %s\n", Utf16ToUtf8(CompressionName(info.compression)).c_str());
  int32_t bitsPerSample = info.bitsPerPixel;
  printf("photometric: %s\n", Utf16ToUtf8(PhotometricName(info.photometric, bitsPerSample)).c_str());
  if (info.resolutionValid) {
    const char* unit = info.resolutionUnit == 2   ? " per inch"
                       : info.resolutionUnit == 3 ? " per centimetre"
                                                  : "";
    printf("resolution: %g x %g%s\n", info.xResolution, info.yResolution, unit);
  } else {
    printf("resolution: none\n");
  }
}

// The same facts as one object, with every log line of the run.
void PrintJsonFacts(const RenderArguments& a, const Document& document, const PageInfo* info,
                    int32_t bitmapBits, const std::vector<std::string>& log, int shown) {
  JsonObject o;
  o.Text("file", a.file).Integer("page", a.page).Integer("pages", document.pageCount);
  if (info) {
    std::string resolution = "null";
    if (info->resolutionValid) {
      resolution = JsonObject()
                       .Number("x", info->xResolution)
                       .Number("y", info->yResolution)
                       .Integer("unit", info->resolutionUnit)
                       .Json();
    }
    o.Integer("width", info->width)
        .Integer("height", info->height)
        .Integer("bitsPerPixel", info->bitsPerPixel)
        .Integer("bitmapBits", bitmapBits)
        .Text("compression", Utf16ToUtf8(CompressionName(info->compression)))
        .Text("photometric", Utf16ToUtf8(PhotometricName(info->photometric, info->bitsPerPixel)))
        .Raw("resolution", resolution);
  }
  o.Raw("out", shown ? JsonString(a.out) : "null").Raw("log", JsonStrings(log));
  printf("%s\n", o.Json().c_str());
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
  // Text mode prints each log as it comes; --json gathers them into the object.
  std::vector<std::string> lines = LogLines(viewer->logs.documentLog);
  if (!a.json) {
    for (const std::string& line : lines) printf("%s\n", line.c_str());
    lines.clear();
  }
  if (a.page == 0) a.page = viewer->download.initialPage > 0 ? viewer->download.initialPage + 1 : 1;
  if (!a.orientGiven) a.orient = viewer->settings.orientation;
  a.negative = a.negative || viewer->settings.negative;
  // The viewer smooths by default; the command does so when asked, by --smooth
  // or by the smoothing parameter or setting.
  bool smoothingNamed = false;
  for (const std::u16string& name : toolSettings.parameterNames)
    smoothingNamed |= EqualsNoCase(name, u"smooth");
  for (const std::u16string& name : toolSettings.settingNames)
    smoothingNamed |= EqualsNoCase(name, u"resample");
  a.smooth = a.smooth || (smoothingNamed && viewer->settings.raster.resample);
  PageLoadOptions options;
  options.memoryLimitMb = viewer->settings.raster.memoryLimitMb;
  options.readPrintTags = viewer->print.printRouting;
  RasterSettings raster = viewer->settings.raster;
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
  std::vector<uint8_t> bytes;
  int index = ReadDocumentPages(a.file, a.page, &bytes, &document, &documentLog);
  for (const std::string& line : LogLines(documentLog)) lines.push_back(line);
  if (!a.json) {
    for (const std::string& line : lines) printf("%s\n", line.c_str());
    lines.clear();
  }
  if (index < 0) {
    if (a.json) PrintJsonFacts(a, document, nullptr, 0, lines, 0);
    fprintf(stderr, "mrvtool render: the file has no page %d\n", a.page);
    return 1;
  }
  PageInfo info;
  PageBitmap bitmap;
  MessageLog log;
  int shown = LoadPage(&document, index, &options, &info, &bitmap, &log);
  const int decoded = shown;
  const int32_t bitmapBits = shown ? HeaderOf(&bitmap)->bitCount : 0;
  if (shown) {
    if (!a.json) PrintFacts(document, a.page, info, bitmap);
    if (a.negative) Negative(&bitmap);
    shown = TurnBitmap(&bitmap, a.orient, &log);
    if (shown && a.size) {
      PageBitmap scaled;
      shown = ScaleForDisplay(&raster, &log, &bitmap, &scaled, width, height, 0);
      ReleasePageBitmap(&bitmap);
      bitmap = scaled;
    }
    shown = shown && WriteBmpFile(&bitmap, Utf8ToUtf16(a.out), &log);
  }
  for (const std::string& line : LogLines(log)) lines.push_back(line);
  if (!shown && log.errorCount == 0 && log.warningCount == 0) lines.push_back(kUnknownLoadFailure);
  if (a.json) {
    PrintJsonFacts(a, document, decoded ? &info : nullptr, bitmapBits, lines, shown);
  } else {
    for (const std::string& line : lines) printf("%s\n", line.c_str());
  }
  ReleasePageBitmap(&bitmap);
  ReleasePageInfo(&info);
  return shown ? 0 : 1;
}
