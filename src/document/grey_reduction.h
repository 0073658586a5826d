// Black-and-white pages shown smaller: each target pixel becomes the share of
// source pixels equal to 1 under it, as a grey level 0 ... 255, by exact area
// averaging in 1/4096 pixel units.
#pragma once

#include "common/message_log.h"
#include "document/page_bitmap.h"

// `source` is 1-bit; `target` is an 8-bit bitmap already created no larger in
// either direction, whose colour table the caller chose. Only its pixels are
// written. Fails with the out-of-memory message when the work rows cannot be
// allocated.
int ReduceToGrey(MessageLog* log, const PageBitmap* source, PageBitmap* target);
