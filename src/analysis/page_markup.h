// The marks a user puts on a page: white-out rectangles and one crop rectangle
// per image directory, kept in image space for as long as the document is
// loaded.
#pragma once

#include <cstdint>
#include <memory>
#include <vector>

#include "viewer/view_geometry.h"

struct ViewerInstance;

constexpr int32_t kMarkWhiteout = 1;

struct WhiteoutMark {
  int32_t kind = kMarkWhiteout;
  IntRect rect;  // image space
};

// One piece of a pen stroke in image space; a dot has its end at its start.
// A stroke is a run of segments each starting where the one before ended.
struct StrokeSegment {
  RealPoint start;
  RealPoint end;
  uint32_t colour = 0;  // 0x00BBGGRR, the pen's colour when it was drawn
  StrokeSegment* previous = nullptr;
  StrokeSegment* next = nullptr;
};

struct PageMarkup {
  int32_t cropActive = 0;
  IntRect crop;                         // image space
  std::vector<WhiteoutMark> whiteouts;  // in the order they were made
  // The sketch layer, in drawing order; the segments belong to the record.
  StrokeSegment* firstSegment = nullptr;
  StrokeSegment* lastSegment = nullptr;

  PageMarkup() = default;
  PageMarkup(const PageMarkup&) = delete;
  PageMarkup& operator=(const PageMarkup&) = delete;
  ~PageMarkup();
};

// One slot per entry of the document's directory table, each created on first use.
using MarkupTable = std::vector<std::unique_ptr<PageMarkup>>;

// The directory's markup, created when `create` is set; null for an invalid
// index or when memory ran out.
PageMarkup* MarkupOf(ViewerInstance* viewer, int32_t directory, int create);
const PageMarkup* FindMarkup(const ViewerInstance* viewer, int32_t directory);
// Frees every page's marks; called when the document is released.
void ReleaseAllMarkup(ViewerInstance* viewer);

// White-outs go to the current directory.
int AddWhiteout(ViewerInstance* viewer, IntRect rect);
int RemoveLastWhiteout(ViewerInstance* viewer, int32_t directory);
int RemoveAllWhiteouts(ViewerInstance* viewer, int32_t directory);
int HasWhiteouts(const ViewerInstance* viewer, int32_t directory);

int SetCrop(ViewerInstance* viewer, int32_t directory, IntRect rect, int fire);
int ClearCrop(ViewerInstance* viewer, int32_t directory, int fire);
// The script's form: page 0 is the current page, others count from 1; action 1
// sets the rectangle at (x, y) of the given size, action 0 clears it. No event.
int SetCropByPage(ViewerInstance* viewer, int32_t action, int32_t page, int32_t x, int32_t y, int32_t width,
                  int32_t height);
