// mrvtool save: the document written as the viewer's save command writes it,
// with white-outs and pen strokes given on the command line standing in for
// the user's marks.
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <iterator>
#include <string>
#include <vector>

#include "analysis/sketch_layer.h"
#include "common/colour_text.h"
#include "common/saturated.h"
#include "common/text_format.h"
#include "output/document_writer.h"
#include "tools/mrvtool/commands.h"
#include "tools/mrvtool/document_file.h"
#include "tools/mrvtool/tool_options.h"

namespace {

// "PAGE:#rrggbb:x,y,x,y,..." - one stroke through the points (one point: a dot).
struct ToolStroke {
  int32_t page = 1;
  uint32_t colour = 0;
  std::vector<RealPoint> points;
};

int ReadStroke(const char* text, ToolStroke* stroke) {
  char* end = nullptr;
  long page = strtol(text, &end, 10);
  if (end == text || *end != ':' || page < 1 || page > INT32_MAX) return 0;
  stroke->page = static_cast<int32_t>(page);
  const char* colour = end + 1;
  if (strlen(colour) < 8 || colour[7] != ':') return 0;
  if (!ParseColour(Utf8ToUtf16(std::string(colour, 7)).c_str(), &stroke->colour)) return 0;
  for (const char* at = colour + 8;;) {
    RealPoint p;
    p.x = strtod(at, &end);
    if (end == at || *end != ',') return 0;
    at = end + 1;
    p.y = strtod(at, &end);
    if (end == at) return 0;
    stroke->points.push_back(p);
    if (*end == '\0') return 1;
    if (*end != ',') return 0;
    at = end + 1;
  }
}

// The page's markup slot, or null with a message when the file has no such page.
PageMarkup* PageSlot(const Document& document, MarkupTable* table, int32_t page) {
  int32_t directory = PageToIfd(&document, page - 1);
  if (directory < 0) {
    fprintf(stderr, "mrvtool save: the file has no page %d\n", page);
    return nullptr;
  }
  auto& slot = (*table)[static_cast<size_t>(directory)];
  if (!slot) slot.reset(new PageMarkup);
  return slot.get();
}

int AddStroke(PageMarkup* markup, const ToolStroke& stroke) {
  const std::vector<RealPoint>& p = stroke.points;
  if (p.size() == 1) return AppendSegment(markup, p[0], p[0], stroke.colour);
  for (size_t i = 1; i < p.size(); ++i) {
    if (!AppendSegment(markup, p[i - 1], p[i], stroke.colour)) return 0;
  }
  return 1;
}

}  // namespace

int RunSave(int argc, char** argv) {
  std::vector<ToolPageRectangle> whiteouts;
  std::vector<const char*> strokeTexts;
  const char *output = nullptr, *file = nullptr;
  const ToolOption options[] = {PageRectanglesOption("--whiteout", &whiteouts),
                                TextsOption("--stroke", &strokeTexts)};
  if (!ReadToolOptionsWithOutput("save", argc, argv, options, std::size(options), &output, &file)) return 2;
  std::vector<ToolStroke> strokes(strokeTexts.size());
  for (size_t i = 0; i < strokeTexts.size(); ++i) {
    if (!ReadStroke(strokeTexts[i], &strokes[i])) {
      fprintf(stderr, "mrvtool save: bad value \"%s\" for --stroke\n", strokeTexts[i]);
      return 2;
    }
  }
  for (const ToolPageRectangle& w : whiteouts) {
    if (w.rectangle.w < 1 || w.rectangle.h < 1) {
      fprintf(stderr, "mrvtool save: a white-out needs a width and a height of at least 1\n");
      return 2;
    }
  }

  Document document;
  MessageLog log;
  std::vector<uint8_t> bytes;
  ReadDocumentPages(file, 1, &bytes, &document, &log);
  for (const std::string& line : LogLines(log)) fprintf(stderr, "%s\n", line.c_str());
  if (document.pageCount < 1) {
    fprintf(stderr, "mrvtool save: no page to save in %s\n", file);
    return 1;
  }
  MarkupTable table(document.ifds.size());
  for (const ToolPageRectangle& w : whiteouts) {
    PageMarkup* markup = PageSlot(document, &table, w.page);
    if (!markup) return 1;
    const ToolRectangle& r = w.rectangle;
    markup->whiteouts.push_back(
        {kMarkWhiteout, {r.x, r.y, Saturated(int64_t{r.x} + r.w - 1), Saturated(int64_t{r.y} + r.h - 1)}});
  }
  for (const ToolStroke& stroke : strokes) {
    PageMarkup* markup = PageSlot(document, &table, stroke.page);
    if (!markup) return 1;
    if (!AddStroke(markup, stroke)) {
      fprintf(stderr, "mrvtool save: out of memory for the stroke\n");
      return 1;
    }
  }
  MessageLog writeLog;
  int written = WriteDocumentToFile(&document, &table, Utf8ToUtf16(output), &writeLog);
  for (const std::string& line : LogLines(writeLog)) fprintf(stderr, "%s\n", line.c_str());
  if (!written) return 1;
  printf("%s: %s\n", output, DocumentHasMarks(&table) ? "annotated" : "copied unchanged");
  return 0;
}
