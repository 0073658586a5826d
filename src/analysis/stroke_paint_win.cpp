#include "analysis/stroke_paint_win.h"

#include "analysis/sketch_layer.h"
#include "document/page_directory.h"

namespace {

// One pen for a run of segments of the same colour.
class CachedPen {
 public:
  explicit CachedPen(HDC dc) : dc_(dc) {}
  ~CachedPen() {
    if (!pen_) return;
    SelectObject(dc_, previous_);
    DeleteObject(pen_);
  }
  CachedPen(const CachedPen&) = delete;
  CachedPen& operator=(const CachedPen&) = delete;
  void Use(uint32_t colour) {
    if (pen_ && colour == colour_) return;
    HPEN made = CreatePen(PS_SOLID, 0, colour);
    if (!made) return;
    HGDIOBJ before = SelectObject(dc_, made);
    if (pen_) {
      DeleteObject(pen_);
    } else {
      previous_ = before;
    }
    pen_ = made;
    colour_ = colour;
  }

 private:
  HDC dc_;
  HPEN pen_ = nullptr;
  HGDIOBJ previous_ = nullptr;
  uint32_t colour_ = 0;
};

void Draw(HDC dc, CachedPen* pen, const StrokeSegment* segment, const ViewState* view, const PageInfo* page,
          int64_t originX, int64_t originY, bool endPixel) {
  const IntPoint start = ImageToView(view, page, segment->start);
  const IntPoint end = ImageToView(view, page, segment->end);
  const int x0 = static_cast<int>(start.x + originX), y0 = static_cast<int>(start.y + originY);
  const int x1 = static_cast<int>(end.x + originX), y1 = static_cast<int>(end.y + originY);
  pen->Use(segment->colour);
  MoveToEx(dc, x0, y0, nullptr);
  LineTo(dc, x1, y1);
  // The line leaves its last pixel out; a stroke's end needs it.
  if (endPixel) SetPixel(dc, x1, y1, segment->colour);
}

}  // namespace

void DrawStrokes(HDC dc, const PageMarkup* markup, const ViewState* view, const PageInfo* page,
                 int64_t originX, int64_t originY) {
  if (!markup || !markup->firstSegment) return;
  CachedPen pen(dc);
  for (const StrokeSegment* segment = markup->firstSegment; segment; segment = segment->next)
    Draw(dc, &pen, segment, view, page, originX, originY, EndsStroke(segment));
}

void DrawSegment(HDC dc, const StrokeSegment* segment, const ViewState* view, const PageInfo* page,
                 int64_t originX, int64_t originY) {
  if (!segment) return;
  CachedPen pen(dc);
  Draw(dc, &pen, segment, view, page, originX, originY, true);
}
