// What painting the marks onto a view means: a list of rectangles and colours
// that the device painter fills in order.
#pragma once

#include <cstdint>
#include <vector>

#include "viewer/view_geometry.h"

struct ViewerInstance;
struct PageMarkup;

constexpr uint32_t kMainWhiteoutColour =
    0xF8F8F8;  // 0x00BBGGRR: just off white, so marks show on white paper
constexpr uint32_t kWhiteColour = 0xFFFFFF;
constexpr uint32_t kBlackColour = 0x000000;

// Device rectangle with exclusive right and bottom edges, ready for a fill.
struct MarkFill {
  int32_t left = 0;
  int32_t top = 0;
  int32_t right = 0;
  int32_t bottom = 0;
  uint32_t colour = 0;  // 0x00BBGGRR
};

// Empty without marks or for an invalid directory. The marks are mapped with
// the size of the page they belong to (`page`, that directory's page facts),
// which is the shown page only on screen. For the main view the rectangles are
// already moved by minus the scroll position.
std::vector<MarkFill> MarksToPaint(const ViewerInstance* viewer, const ViewState* view, int32_t directory,
                                   const PageInfo* page);
// The same for one page record, the device origin of the view's pixel (0, 0)
// given (a page copy always starts at 0, 0).
std::vector<MarkFill> MarkupToPaint(const PageMarkup* markup, const ViewState* view, const PageInfo* page,
                                    int64_t originX, int64_t originY);
