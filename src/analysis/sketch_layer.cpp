#include "analysis/sketch_layer.h"

#include <new>

#include "analysis/eraser_geometry.h"
#include "analysis/paint_marks.h"
#include "viewer/viewer_instance.h"
#include "viewer/window_calls.h"

namespace {

void Unlink(PageMarkup* markup, StrokeSegment* segment) {
  (segment->previous ? segment->previous->next : markup->firstSegment) = segment->next;
  (segment->next ? segment->next->previous : markup->lastSegment) = segment->previous;
  delete segment;
}

}  // namespace

PageMarkup::~PageMarkup() { FreeSegments(this); }

int AppendSegment(PageMarkup* markup, RealPoint start, RealPoint end, uint32_t colour) {
  auto* segment = new (std::nothrow) StrokeSegment{start, end, colour, markup->lastSegment, nullptr};
  if (!segment) return 0;
  (markup->lastSegment ? markup->lastSegment->next : markup->firstSegment) = segment;
  markup->lastSegment = segment;
  return 1;
}

int32_t FreeSegments(PageMarkup* markup) {
  int32_t count = 0;
  for (StrokeSegment* segment = markup->firstSegment; segment;) {
    StrokeSegment* next = segment->next;
    delete segment;
    segment = next;
    ++count;
  }
  markup->firstSegment = markup->lastSegment = nullptr;
  return count;
}

int32_t EraseSegmentsNear(PageMarkup* markup, RealPoint from, RealPoint to) {
  int32_t count = 0;
  for (StrokeSegment* segment = markup->firstSegment; segment;) {
    StrokeSegment* next = segment->next;
    if (EraserReaches(segment->start, segment->end, from, to)) {
      Unlink(markup, segment);
      ++count;
    }
    segment = next;
  }
  return count;
}

int EndsStroke(const StrokeSegment* segment) {
  const StrokeSegment* next = segment->next;
  return !next || next->start.x != segment->end.x || next->start.y != segment->end.y;
}

int MarkupHasStrokes(const PageMarkup* markup) { return markup && markup->firstSegment; }

int HasColouredStrokes(const PageMarkup* markup) {
  for (const StrokeSegment* s = markup ? markup->firstSegment : nullptr; s; s = s->next) {
    if (s->colour != kBlackColour && s->colour != kWhiteColour) return 1;
  }
  return 0;
}

int PageHasStrokes(const ViewerInstance* viewer, int32_t directory) {
  return MarkupHasStrokes(FindMarkup(viewer, directory));
}

int DocumentHasStrokes(const ViewerInstance* viewer) {
  for (const auto& markup : viewer->analysis.markup) {
    if (MarkupHasStrokes(markup.get())) return 1;
  }
  return 0;
}

int32_t ClearStrokes(ViewerInstance* viewer, int32_t directory) {
  PageMarkup* markup = MarkupOf(viewer, directory, 0);
  int32_t count = markup ? FreeSegments(markup) : 0;
  if (count == 0) return 0;
  if (directory == viewer->download.currentDirectory) Invalidate(viewer, kEraseBackground);
  if (viewer->events.annotationChange)
    viewer->events.annotationChange(viewer, IfdToPage(&viewer->download.document, directory) + 1);
  return count;
}
