#include "analysis/annotated_page.h"

#include <algorithm>
#include <cstdlib>
#include <cstring>

#include "analysis/paint_marks.h"
#include "analysis/sketch_layer.h"
#include "document/bitmap_ops.h"

namespace {

bool PlainBlackAndWhite(const PageBitmap* page) {
  const BitmapHeader* header = HeaderOf(page);
  if (header->bitCount != 1 || ColourTableEntries(header) < 2) return false;
  const uint8_t* table = ColourTableOf(page);
  static const uint8_t kPlain[8] = {0, 0, 0, 0, 255, 255, 255, 0};
  for (int i = 0; i < 8; ++i) {
    if (i % 4 != 3 && table[i] != kPlain[i]) return false;
  }
  return true;
}

// Blue, green and red of pixel x in a stored row of 1, 4, 8 or 24 bits.
const uint8_t* PixelColour(const PageBitmap* page, const uint8_t* row, uint32_t x) {
  uint32_t bits = HeaderOf(page)->bitCount;
  if (bits == 24) return row + 3 * x;
  uint32_t index;
  if (bits == 8) {
    index = row[x];
  } else if (bits == 4) {
    index = (row[x / 2] >> (x % 2 ? 0 : 4)) & 0xF;
  } else {
    index = (row[x / 8] >> (7 - x % 8)) & 1;
  }
  return ColourTableOf(page) + 4 * index;
}

void CopyPixels(const PageBitmap* page, PageBitmap* out, uint32_t width, uint32_t height) {
  if (HeaderOf(out)->bitCount == 1) {
    memcpy(out->pixels, page->pixels, uint64_t{out->stride} * height);
    return;
  }
  for (uint32_t r = 0; r < height; ++r) {
    const uint8_t* source = RowOf(page, r);
    uint8_t* target = RowOf(out, r);
    for (uint32_t x = 0; x < width; ++x) memcpy(target + 3 * x, PixelColour(page, source, x), 3);
  }
}

// Sets pixels of the merged image by view coordinates (y down), in a Windows
// colour (0x00BBGGRR); a bilevel image takes white for white, black otherwise.
struct Canvas {
  PageBitmap* bitmap;
  int64_t width;
  int64_t height;

  void Set(int64_t x, int64_t y, uint32_t colour) const {
    if (x < 0 || y < 0 || x >= width || y >= height) return;
    uint8_t* row = RowOf(bitmap, static_cast<uint32_t>(height - 1 - y));
    if (HeaderOf(bitmap)->bitCount == 1) {
      uint8_t bit = static_cast<uint8_t>(0x80 >> (x % 8));
      row[x / 8] = (colour & 0xFFFFFF) == kWhiteColour ? row[x / 8] | bit : row[x / 8] & ~bit;
      return;
    }
    uint8_t* pixel = row + 3 * x;
    pixel[0] = static_cast<uint8_t>(colour >> 16);
    pixel[1] = static_cast<uint8_t>(colour >> 8);
    pixel[2] = static_cast<uint8_t>(colour);
  }

  void Fill(const MarkFill& f) const {
    for (int64_t y = std::max<int64_t>(f.top, 0); y < std::min<int64_t>(f.bottom, height); ++y) {
      for (int64_t x = std::max<int64_t>(f.left, 0); x < std::min<int64_t>(f.right, width); ++x) {
        Set(x, y, f.colour);
      }
    }
  }

  // A one-pixel line from a towards b, leaving b out as a device line does.
  void Line(IntPoint a, IntPoint b, uint32_t colour) const {
    int64_t x = a.x, y = a.y;
    int64_t dx = std::llabs(int64_t{b.x} - x), dy = -std::llabs(int64_t{b.y} - y);
    int64_t sx = x < b.x ? 1 : -1, sy = y < b.y ? 1 : -1;
    int64_t error = dx + dy;
    while (x != b.x || y != b.y) {
      Set(x, y, colour);
      int64_t twice = 2 * error;
      if (twice >= dy) {
        error += dy;
        x += sx;
      }
      if (twice <= dx) {
        error += dx;
        y += sy;
      }
    }
  }
};

}  // namespace

int BuildAnnotatedPage(const PageBitmap* page, const PageInfo* info, const PageMarkup* markup,
                       int32_t orientation, PageBitmap* out, MessageLog* log) {
  if (!page->block) return 0;
  const BitmapHeader* header = HeaderOf(page);
  int32_t width = header->width, height = std::abs(header->height);
  int oneBit = PlainBlackAndWhite(page) && !HasColouredStrokes(markup);
  RasterSettings settings;
  if (!CreatePageBitmap(&settings, log, out, width, height, oneBit ? 1 : 24, 0)) return 0;
  BitmapHeader* outHeader = HeaderOf(out);
  outHeader->xPixelsPerMetre = header->xPixelsPerMetre;
  outHeader->yPixelsPerMetre = header->yPixelsPerMetre;
  if (oneBit) {
    MakeGreyRamp(out, 1, 0);
    outHeader->coloursUsed = 2;
  }
  CopyPixels(page, out, static_cast<uint32_t>(width), static_cast<uint32_t>(height));
  if (!markup) return 1;

  ViewState view;
  InitView(&view, kViewBurnedCopy);
  view.width = width;
  view.height = height;
  view.orientation = orientation;
  Canvas canvas{out, width, height};
  for (const MarkFill& fill : MarkupToPaint(markup, &view, info, 0, 0)) canvas.Fill(fill);
  for (const StrokeSegment* s = markup->firstSegment; s; s = s->next) {
    IntPoint a = ImageToView(&view, info, s->start), b = ImageToView(&view, info, s->end);
    canvas.Line(a, b, s->colour);
    if (EndsStroke(s)) canvas.Set(b.x, b.y, s->colour);
  }
  return 1;
}
