// The automatic print a page asks for with `autoprint`: requested once the
// embedded document has arrived, decided when the plug-in window takes the
// request from its message queue.
#pragma once

#include <cstdint>

#include "viewer/viewer_instance.h"

constexpr uint32_t kAutoPrintMessage = 0x82C2;

enum AutoPrintAction : int32_t { kAutoPrintNone = 0, kAutoPrintWithDialog = 1, kAutoPrintDirect = 2 };

// Posts the request after the first document the page embedded; one a script
// loads later never prints by itself.
void RequestAutoPrint(ViewerInstance* viewer);
// What the automatic-print message asks for now, from `autoprint`,
// `allowscript` and `allowautoprint`.
int32_t DecideAutoPrint(const ViewerInstance* viewer);
