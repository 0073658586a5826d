// Grey and colour pages shown moderately smaller: weighted area averaging in
// 1/16 pixel units, each target pixel the weighted mean of the source pixels
// it covers.
#pragma once

#include "common/message_log.h"
#include "document/page_bitmap.h"

// `source` and `target` are both 8-bit (grey) or both 24-bit (each of blue,
// green and red averaged on its own); the target, already created no larger
// in either direction and at least 3 x 3 with a source of at least 3 x 3, gets
// only its pixels written. Fails with the out-of-memory message when the work
// rows cannot be allocated.
int AreaAverage(MessageLog* log, const PageBitmap* source, PageBitmap* target);
