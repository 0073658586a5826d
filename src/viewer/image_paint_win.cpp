#include "viewer/image_paint_win.h"

#include <algorithm>

#include "analysis/paint_marks.h"
#include "analysis/stroke_paint_win.h"
#include "platform/wide_text_win.h"
#include "viewer/library_win.h"
#include "viewer/window_input.h"

namespace {

constexpr double kRoundingGuard = 0.0000001;  // keeps exact products from falling one short

int32_t Whole(double value) { return static_cast<int32_t>(value + kRoundingGuard); }

const BITMAPINFO* InfoOf(const PageBitmap* bitmap) {
  return reinterpret_cast<const BITMAPINFO*>(bitmap->block);
}

HBRUSH BackgroundOf(const ViewerInstance* viewer) {
  return viewer->windows.backgroundBrush ? static_cast<HBRUSH>(viewer->windows.backgroundBrush)
                                         : static_cast<HBRUSH>(GetStockObject(DKGRAY_BRUSH));
}

// Only the pixels of the page that fall into the update rectangle are
// stretched: an enlarged page is much bigger than the window.
int DrawStretched(HDC dc, const ViewState* view, const PageBitmap* page, RECT update, RECT* drawn) {
  const int32_t pw = HeaderOf(page)->width, ph = HeaderOf(page)->height;
  const double mx = static_cast<double>(view->width) / pw, my = static_cast<double>(view->height) / ph;
  const int32_t sl = std::max(0, Whole(update.left / mx));
  const int32_t sr = std::min(pw, Whole(update.right / mx) + 1);
  const int32_t st = std::max(0, Whole(update.top / my));
  const int32_t sb = std::min(ph, Whole(update.bottom / my) + 1);
  *drawn = {0, 0, view->width, view->height};
  if (sr - sl < 1 || sb - st < 1) return 1;
  const int32_t dl = Whole(sl * mx), dr = Whole(sr * mx), dt = Whole(st * my), db = Whole(sb * my);
  // Bottom-up rows: the source rectangle is counted from the last row.
  return StretchDIBits(dc, dl, dt, dr - dl, db - dt, sl, ph - sb, sr - sl, sb - st, page->pixels,
                       InfoOf(page), DIB_RGB_COLORS, SRCCOPY) != 0;
}

int DrawOneToOne(HDC dc, const PageBitmap* source, RECT* drawn) {
  const int32_t w = HeaderOf(source)->width, h = HeaderOf(source)->height;
  *drawn = {0, 0, w, h};
  return SetDIBitsToDevice(dc, 0, 0, w, h, 0, 0, 0, h, source->pixels, InfoOf(source), DIB_RGB_COLORS) != 0;
}

void FillOutside(HDC dc, RECT update, RECT picture, HBRUSH brush) {
  const RECT parts[] = {
      {update.left, update.top, update.right, std::min(update.bottom, picture.top)},
      {update.left, std::max(update.top, picture.top), std::min(update.right, picture.left),
       std::min(update.bottom, picture.bottom)},
      {std::max(update.left, picture.right), std::max(update.top, picture.top), update.right,
       std::min(update.bottom, picture.bottom)},
      {update.left, std::max(update.top, picture.bottom), update.right, update.bottom},
  };
  for (const RECT& part : parts) {
    if (part.right > part.left && part.bottom > part.top) FillRect(dc, &part, brush);
  }
}

void PaintMarks(const ViewerInstance* viewer, HDC dc, const ViewState* view) {
  for (const MarkFill& fill :
       MarksToPaint(viewer, view, viewer->download.currentDirectory, &viewer->view.pageInfo)) {
    RECT r{fill.left, fill.top, fill.right, fill.bottom};
    if (fill.colour == kMainWhiteoutColour) {
      WindowLibrary& lib = WindowLib();
      if (!lib.whiteoutBrush) lib.whiteoutBrush = CreateSolidBrush(kMainWhiteoutColour);
      FillRect(dc, &r, lib.whiteoutBrush);
    } else {
      HBRUSH brush = CreateSolidBrush(fill.colour);
      FillRect(dc, &r, brush);
      DeleteObject(brush);
    }
  }
}

// The reasons a document shows no page, where the page would be.
void DrawLogLines(const ViewerInstance* viewer, HDC dc, HWND window) {
  const MessageLog* logs[] = {&viewer->logs.documentLog, &viewer->logs.pageLog};
  bool any = false;
  for (const MessageLog* log : logs) any = any || log->errorCount > 0 || log->warningCount > 0;
  if (!any) return;
  RECT area;
  GetClientRect(window, &area);
  OffsetRect(&area, 4, 23);
  HGDIOBJ oldFont =
      SelectObject(dc, WindowLib().statusFont ? WindowLib().statusFont : GetStockObject(DEFAULT_GUI_FONT));
  SetTextColor(dc, RGB(255, 255, 192));
  SetBkColor(dc, RGB(96, 96, 96));
  SetBkMode(dc, OPAQUE);
  for (const MessageLog* log : logs) {
    if (log->text.length == 0) continue;
    area.top += DrawTextW(dc, AsWide(TextOf(&log->text)), static_cast<int>(log->text.length), &area,
                          DT_WORDBREAK | DT_NOPREFIX);
  }
  SelectObject(dc, oldFont);
}

const PageBitmap* SourceOf(const ViewerInstance* viewer, const ViewState* view) {
  return view->renderMethod == kRenderOwnBitmap ? &view->displayBitmap : &viewer->view.pageBitmap;
}

void InvertBand(const ViewerInstance* viewer, HDC dc, IntRect band) {
  SetViewportOrgEx(dc, -viewer->view.scroll.x, -viewer->view.scroll.y, nullptr);
  int oldRop = SetROP2(dc, R2_NOT);
  HGDIOBJ oldPen = SelectObject(dc, GetStockObject(BLACK_PEN));
  HGDIOBJ oldBrush = SelectObject(dc, GetStockObject(HOLLOW_BRUSH));
  Rectangle(dc, band.left, band.top, band.right, band.bottom);
  SelectObject(dc, oldBrush);
  SelectObject(dc, oldPen);
  SetROP2(dc, oldRop);
  SetViewportOrgEx(dc, 0, 0, nullptr);
}

void PaintMainView(const ViewerInstance* viewer, HDC dc, RECT update) {
  HBRUSH background = BackgroundOf(viewer);
  SetViewportOrgEx(dc, -viewer->view.scroll.x, -viewer->view.scroll.y, nullptr);
  RECT inView = update;
  OffsetRect(&inView, viewer->view.scroll.x, viewer->view.scroll.y);
  RECT drawn{};
  if (!DrawView(viewer, dc, &viewer->view.mainView, inView, &drawn)) {
    SetViewportOrgEx(dc, 0, 0, nullptr);
    FillRect(dc, &update, background);
    if (!SourceOf(viewer, &viewer->view.mainView)->block) return;  // a view that could not be built
    TextOutW(dc, 1, 1, L"Error drawing image", 19);
    return;
  }
  FillOutside(dc, inView, drawn, background);
  // The marks come in window coordinates, already moved by the scroll position.
  SetViewportOrgEx(dc, 0, 0, nullptr);
  PaintOverlay(viewer, dc, &viewer->view.mainView);
}

}  // namespace

void PaintOverlay(const ViewerInstance* viewer, HDC dc, const ViewState* view) {
  PaintMarks(viewer, dc, view);
  int64_t x = view->originX, y = view->originY;
  if (view->kind == kViewMain) {
    x -= viewer->view.scroll.x;
    y -= viewer->view.scroll.y;
  }
  DrawStrokes(dc, FindMarkup(viewer, viewer->download.currentDirectory), view, &viewer->view.pageInfo, x, y);
}

int DrawView(const ViewerInstance* viewer, HDC dc, const ViewState* view, RECT update, RECT* drawn) {
  SetStretchBltMode(dc, COLORONCOLOR);
  const PageBitmap* source = SourceOf(viewer, view);
  if (!source->block) return 0;
  if (view->renderMethod == kRenderStretched) return DrawStretched(dc, view, source, update, drawn);
  return DrawOneToOne(dc, source, drawn);
}

// The eraser's reach around the pointer, drawn inverted so that drawing it
// again takes it away: an ellipse of 15 page pixels at the shown scale.
void InvertEraserOutline(ViewerInstance* viewer, HDC dc) {
  const BitmapHeader* page = HeaderOf(&viewer->view.pageBitmap);
  if (!page || page->width <= 0 || page->height == 0) return;
  const ViewState& view = viewer->view.mainView;
  const int64_t pageHeight = page->height < 0 ? -int64_t{page->height} : page->height;
  const int rx = static_cast<int>((int64_t{view.width} * 15 * 2 + page->width) / (2 * int64_t{page->width}));
  const int ry = static_cast<int>((int64_t{view.height} * 15 * 2 + pageHeight) / (2 * pageHeight));
  const IntPoint at = viewer->analysis.pointerAt;
  SetViewportOrgEx(dc, 0, 0, nullptr);
  const int oldRop = SetROP2(dc, R2_NOT);
  HGDIOBJ oldPen = SelectObject(dc, GetStockObject(BLACK_PEN));
  HGDIOBJ oldBrush = SelectObject(dc, GetStockObject(NULL_BRUSH));
  Ellipse(dc, at.x - rx + 1, at.y - ry + 1, at.x + rx, at.y + ry);
  SelectObject(dc, oldBrush);
  SelectObject(dc, oldPen);
  SetROP2(dc, oldRop);
  viewer->analysis.outlineShown = !viewer->analysis.outlineShown;
}

void PaintImageWindow(ViewerInstance* viewer, HWND window) {
  PAINTSTRUCT ps;
  HDC dc = BeginPaint(window, &ps);
  if (!dc) return;
  SetMapMode(dc, MM_TEXT);
  if (!ShowsPage(viewer)) {
    FillRect(dc, &ps.rcPaint, BackgroundOf(viewer));
    DrawLogLines(viewer, dc, window);
  } else {
    PaintMainView(viewer, dc, ps.rcPaint);
  }
  // A repaint drew over the old outline; it comes back where the pointer is.
  viewer->analysis.outlineShown = 0;
  if (viewer->analysis.eraserOutline && viewer->analysis.pointerInside && ShowsPage(viewer))
    InvertEraserOutline(viewer, dc);
  if (viewer->input.band.state >= kBandDragging && viewer->input.band.drawn) {
    IntRect r = viewer->input.band.rect;
    InvertBand(viewer, dc, {r.left, r.top, r.right + 1, r.bottom + 1});
  }
  EndPaint(window, &ps);
}

void DrawBandInWindow(ViewerInstance* viewer, IntRect band) {
  HWND window = static_cast<HWND>(viewer->windows.imageWindow);
  if (!window) return;
  HDC dc = GetDC(window);
  if (!dc) return;
  InvertBand(viewer, dc, band);
  ReleaseDC(window, dc);
}
