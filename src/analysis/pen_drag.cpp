#include "analysis/pen_drag.h"

#include "analysis/sketch_layer.h"
#include "document/page_directory.h"
#include "viewer/page_view.h"
#include "viewer/viewer_instance.h"
#include "viewer/window_calls.h"

namespace {

// The eraser's path is not kept inside the page: it may start beside it.
RealPoint PagePoint(const ViewerInstance* viewer, IntPoint client, int erasing) {
  const IntPoint scrolled{client.x + viewer->view.scroll.x, client.y + viewer->view.scroll.y};
  return ViewToImage(&viewer->view.mainView, &viewer->view.pageInfo, scrolled, !erasing);
}

PageMarkup* ShownMarkup(ViewerInstance* viewer, int create) {
  return MarkupOf(viewer, viewer->download.currentDirectory, create);
}

void Erase(ViewerInstance* viewer, RealPoint from, RealPoint to) {
  PageMarkup* markup = ShownMarkup(viewer, 0);
  if (markup && EraseSegmentsNear(markup, from, to) > 0) Invalidate(viewer, kEraseBackground);
}

bool Same(RealPoint a, RealPoint b) { return a.x == b.x && a.y == b.y; }

}  // namespace

int BeginPenDrag(ViewerInstance* viewer, IntPoint client) {
  AnalysisState& pen = viewer->analysis;
  if (IsRestricted(viewer, kRestrictMarks) || !HasValidPage(viewer)) return 0;
  const int erasing = viewer->settings.mouseMode == kMouseErase;
  if (!ShownMarkup(viewer, 1)) return 0;
  pen.penActive = 1;
  pen.penErasing = erasing;
  pen.penSegments = 0;
  pen.penLast = PagePoint(viewer, client, erasing);
  if (erasing) Erase(viewer, pen.penLast, pen.penLast);
  return 1;
}

const StrokeSegment* MovePenDrag(ViewerInstance* viewer, IntPoint client) {
  AnalysisState& pen = viewer->analysis;
  if (!pen.penActive || IsRestricted(viewer, kRestrictMarks)) return nullptr;
  const RealPoint point = PagePoint(viewer, client, pen.penErasing);
  const RealPoint last = pen.penLast;
  pen.penLast = point;
  if (pen.penErasing) {
    Erase(viewer, last, point);
    return nullptr;
  }
  PageMarkup* markup = ShownMarkup(viewer, 0);
  if (Same(point, last) || !markup ||
      !AppendSegment(markup, last, point, static_cast<uint32_t>(viewer->prefs.penColour)))
    return nullptr;
  ++pen.penSegments;
  return markup->lastSegment;
}

const StrokeSegment* EndPenDrag(ViewerInstance* viewer) {
  AnalysisState& pen = viewer->analysis;
  if (!pen.penActive) return nullptr;
  pen.penActive = 0;
  const StrokeSegment* dot = nullptr;
  PageMarkup* markup = ShownMarkup(viewer, 0);
  if (!pen.penErasing && pen.penSegments == 0 && markup &&
      AppendSegment(markup, pen.penLast, pen.penLast, static_cast<uint32_t>(viewer->prefs.penColour)))
    dot = markup->lastSegment;
  if (viewer->events.annotationChange)
    viewer->events.annotationChange(
        viewer, IfdToPage(&viewer->download.document, viewer->download.currentDirectory) + 1);
  return dot;
}
