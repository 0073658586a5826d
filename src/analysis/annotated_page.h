// The page as it leaves the viewer for a file or the clipboard: the decoded
// page with its white-outs burned in and its pen strokes drawn. The crop
// rectangle only masks the screen and paper, so it is not applied here.
#pragma once

#include <cstdint>

#include "analysis/page_markup.h"
#include "common/message_log.h"
#include "document/page_bitmap.h"
#include "document/page_directory.h"

// `page` is the page bitmap as shown in `orientation` (0 when it is the page
// as decoded); `info` is that page's facts, `markup` its marks or null. The
// result is 1 bit per pixel (entry 0 black, entry 1 white) when the page is
// plain black-and-white and every stroke is black or white, else 24 bits per
// pixel; it keeps the page's pixel densities. 0 with nothing built on failure.
int BuildAnnotatedPage(const PageBitmap* page, const PageInfo* info, const PageMarkup* markup,
                       int32_t orientation, PageBitmap* out, MessageLog* log);
