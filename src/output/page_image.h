// The current page as one packed device-independent bitmap (header, colour
// table, rows), as the clipboard copy and the BMP save hand it on: the page
// with its white-outs and strokes merged in when it has any, else the shown
// page bitmap itself.
#pragma once

#include "document/page_bitmap.h"

struct ViewerInstance;

struct PackedPageImage {
  const PageBitmap* bitmap = nullptr;  // the shown page, or `merged`
  PageBitmap merged;                   // owned when the page carries marks
  PackedPageImage() = default;
  PackedPageImage(const PackedPageImage&) = delete;
  PackedPageImage& operator=(const PackedPageImage&) = delete;
  ~PackedPageImage() { ReleasePageBitmap(&merged); }
};

// 0 when no page is shown or the merged image could not be built.
int PackCurrentPage(ViewerInstance* viewer, PackedPageImage* image);
