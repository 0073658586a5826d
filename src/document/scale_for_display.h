// The display bitmap: the decoded page at the size the view shows it,
// smoothed when smoothing is on.
#pragma once

#include <cstdint>

#include "common/message_log.h"
#include "document/page_bitmap.h"

// Builds a new `target` of width x height from `source` (values below 1 are
// taken as 1). Without smoothing (`settings->resample` and `force` both off),
// at the same size, or where smoothing does not apply, this is StretchCopy.
// With smoothing, black-and-white pages shown smaller become 8-bit grey,
// 8-bit grey and 24-bit pages are area- or block-averaged, and palette pages
// are block-averaged into 8-bit grey or 24-bit colour. Failures (memory, the
// configured memory limit) are reported into `log`; the target is then empty.
int ScaleForDisplay(const RasterSettings* settings, MessageLog* log, const PageBitmap* source,
                    PageBitmap* target, int32_t width, int32_t height, int force);
