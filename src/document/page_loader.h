// Loading one image directory of the document as a page bitmap with the
// file's own orientation applied, and the facts of the page.
#pragma once

#include <cstdint>

#include "common/message_log.h"
#include "document/page_bitmap.h"
#include "document/page_directory.h"

struct PageLoadOptions {
  uint32_t memoryLimitMb = 0;  // 0: no limit on the bitmap block
  int32_t readPrintTags = 0;   // read PageName, Model and TargetPrinter as numbers
};

// What the viewer says of a page that failed to load without a message of its own.
constexpr char kUnknownLoadFailure[] = "Unable to display image; unknown reason";

// Non-zero with a complete bitmap and info; on failure the bitmap is released
// and the reason is in `log` (some failures that libtiff reported itself, or
// an index outside the table, add nothing).
int LoadPage(const Document* document, int32_t ifdIndex, const PageLoadOptions* options, PageInfo* info,
             PageBitmap* bitmap, MessageLog* log);
