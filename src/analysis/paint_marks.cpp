#include "analysis/paint_marks.h"

#include <algorithm>

#include "analysis/page_markup.h"
#include "common/saturated.h"
#include "viewer/viewer_instance.h"

namespace {

struct Painter {
  int64_t originX;
  int64_t originY;
  std::vector<MarkFill>* fills;

  void Fill(int64_t left, int64_t top, int64_t right, int64_t bottom, uint32_t colour) const {
    if (right <= left || bottom <= top) return;
    fills->push_back({Saturated(originX + left), Saturated(originY + top), Saturated(originX + right),
                      Saturated(originY + bottom), colour});
  }
};

}  // namespace

std::vector<MarkFill> MarksToPaint(const ViewerInstance* viewer, const ViewState* view, int32_t directory,
                                   const PageInfo* page) {
  if (!viewer->analysis.marksPresent || !page) return {};
  const PageMarkup* markup = FindMarkup(viewer, directory);
  if (!markup) return {};
  int64_t originX = view->originX, originY = view->originY;
  if (view->kind == kViewMain) {
    originX -= viewer->view.scroll.x;
    originY -= viewer->view.scroll.y;
  }
  return MarkupToPaint(markup, view, page, originX, originY);
}

std::vector<MarkFill> MarkupToPaint(const PageMarkup* markup, const ViewState* view, const PageInfo* page,
                                    int64_t originX, int64_t originY) {
  std::vector<MarkFill> fills;
  Painter painter{originX, originY, &fills};
  if (view->kind == kViewBurnedCopy) painter.originX = painter.originY = 0;
  // On screen the white-outs stay just visible against white paper; on paper and in copies they are white.
  uint32_t whiteout = view->kind == kViewMain ? kMainWhiteoutColour : kWhiteColour;
  for (const WhiteoutMark& mark : markup->whiteouts) {
    IntRect r = ImageRectToView(view, page, mark.rect);
    painter.Fill(r.left, r.top, int64_t{r.right} + 1, int64_t{r.bottom} + 1, whiteout);
  }
  if (view->kind == kViewBurnedCopy || !markup->cropActive) return fills;
  IntRect c = ImageRectToView(view, page, markup->crop);
  uint32_t mask = view->kind == kViewPrinted ? kWhiteColour : kBlackColour;
  int64_t W = view->width, H = view->height;
  int64_t x1 = int64_t{c.right} + 1, y1 = int64_t{c.bottom} + 1;
  painter.Fill(0, 0, W, c.top, mask);
  painter.Fill(0, y1, W, H, mask);
  painter.Fill(0, c.top, c.left, y1, mask);
  painter.Fill(x1, c.top, W, y1, mask);
  return fills;
}
