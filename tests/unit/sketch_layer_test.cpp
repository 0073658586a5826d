#include "analysis/sketch_layer.h"

#include <gtest/gtest.h>

#include <vector>

#include "viewer/viewer_instance.h"

namespace {

std::vector<std::pair<double, double>> Starts(const PageMarkup& markup) {
  std::vector<std::pair<double, double>> starts;
  for (const StrokeSegment* s = markup.firstSegment; s; s = s->next)
    starts.push_back({s->start.x, s->start.y});
  return starts;
}

// The list runs both ways and its ends are where the records say.
void ExpectLinked(const PageMarkup& markup) {
  const StrokeSegment* previous = nullptr;
  for (const StrokeSegment* s = markup.firstSegment; s; s = s->next) {
    EXPECT_EQ(s->previous, previous);
    previous = s;
  }
  EXPECT_EQ(markup.lastSegment, previous);
}

TEST(SketchLayer, ErasingTakesWholeSegmentsAndKeepsTheListLinked) {
  PageMarkup markup;
  // A stroke along y = 0 in three segments, a separate one far below, a dot.
  AppendSegment(&markup, {0, 0}, {100, 0}, 0);
  AppendSegment(&markup, {100, 0}, {200, 0}, 0);
  AppendSegment(&markup, {200, 0}, {300, 0}, 0xFF);
  AppendSegment(&markup, {0, 200}, {300, 200}, 0);
  AppendSegment(&markup, {150, 100}, {150, 100}, 0);
  ExpectLinked(markup);

  // Across the middle of the second segment only.
  EXPECT_EQ(EraseSegmentsNear(&markup, {150, -40}, {150, -10}), 1);
  EXPECT_EQ(Starts(markup), (std::vector<std::pair<double, double>>{{0, 0}, {200, 0}, {0, 200}, {150, 100}}));
  ExpectLinked(markup);
  // A click 15 pixels from the dot removes the dot, the last segment.
  EXPECT_EQ(EraseSegmentsNear(&markup, {165, 100}, {165, 100}), 1);
  ExpectLinked(markup);
  // The first segment, at the head.
  EXPECT_EQ(EraseSegmentsNear(&markup, {0, 5}, {0, 5}), 1);
  ExpectLinked(markup);
  EXPECT_EQ(Starts(markup), (std::vector<std::pair<double, double>>{{200, 0}, {0, 200}}));
  EXPECT_EQ(FreeSegments(&markup), 2);
  EXPECT_FALSE(MarkupHasStrokes(&markup));
  EXPECT_EQ(markup.lastSegment, nullptr);
}

TEST(SketchLayer, EndPixelOnlyWhereAStrokeEnds) {
  PageMarkup markup;
  AppendSegment(&markup, {0, 0}, {10, 0}, 0);
  AppendSegment(&markup, {10, 0}, {10, 10}, 0);   // continues the stroke
  AppendSegment(&markup, {50, 50}, {60, 60}, 0);  // a new stroke
  const StrokeSegment* s = markup.firstSegment;
  EXPECT_FALSE(EndsStroke(s));
  EXPECT_TRUE(EndsStroke(s->next));
  EXPECT_TRUE(EndsStroke(s->next->next));
}

TEST(SketchLayer, ColouredMeansNeitherBlackNorWhite) {
  PageMarkup markup;
  EXPECT_FALSE(HasColouredStrokes(&markup));
  AppendSegment(&markup, {0, 0}, {1, 1}, 0x000000);
  AppendSegment(&markup, {0, 0}, {1, 1}, 0xFFFFFF);
  EXPECT_FALSE(HasColouredStrokes(&markup));
  AppendSegment(&markup, {0, 0}, {1, 1}, 0x0000FF);
  EXPECT_TRUE(HasColouredStrokes(&markup));
  EXPECT_FALSE(HasColouredStrokes(nullptr));
}

struct Seen {
  std::vector<int32_t> pages;
  int invalidations = 0;
};
Seen* g_seen = nullptr;

TEST(SketchLayer, ClearingAPageRepaintsItWhenShownAndTellsThePageOnce) {
  Seen seen;
  g_seen = &seen;
  ViewerInstance viewer;
  viewer.download.document.ifds = {{8, 0, 0}, {100, 1, -1}, {200, 0, 1}};
  viewer.download.document.pageCount = 2;
  viewer.download.currentDirectory = 0;
  viewer.hooks.invalidate = [](ViewerInstance*, int) { ++g_seen->invalidations; };
  viewer.events.annotationChange = [](ViewerInstance*, int32_t page) { g_seen->pages.push_back(page); };

  EXPECT_FALSE(DocumentHasStrokes(&viewer));
  EXPECT_EQ(ClearStrokes(&viewer, 2), 0);  // nothing there: no event
  PageMarkup* second = MarkupOf(&viewer, 2, 1);
  AppendSegment(second, {1, 1}, {2, 2}, 0);
  AppendSegment(second, {2, 2}, {3, 3}, 0);
  EXPECT_TRUE(PageHasStrokes(&viewer, 2));
  EXPECT_FALSE(PageHasStrokes(&viewer, 0));
  EXPECT_FALSE(PageHasStrokes(&viewer, 7));
  EXPECT_TRUE(DocumentHasStrokes(&viewer));

  EXPECT_EQ(ClearStrokes(&viewer, 2), 2);
  EXPECT_EQ(seen.pages, std::vector<int32_t>{2});  // directory 2 is page 2
  EXPECT_EQ(seen.invalidations, 0);                // not the shown page
  EXPECT_FALSE(DocumentHasStrokes(&viewer));

  AppendSegment(MarkupOf(&viewer, 0, 1), {5, 5}, {5, 5}, 0);
  EXPECT_EQ(ClearStrokes(&viewer, 0), 1);
  EXPECT_EQ(seen.invalidations, 1);
  EXPECT_EQ(seen.pages, (std::vector<int32_t>{2, 1}));
  g_seen = nullptr;
}

}  // namespace
