// The status line and the progress bar along the top of the image window:
// what they show lives in the instance, and a window hook shows it.
#pragma once

#include <cstdint>

#include "viewer/viewer_instance.h"

// An empty text removes the status; "*" shows the stored text again.
void SetStatusText(ViewerInstance* viewer, const char16_t* text);
// The text of load states 0 to 2; 0 for any other state.
int ShowLoadStateText(ViewerInstance* viewer);
// A total of 0 or less removes the progress bar.
void SetProgress(ViewerInstance* viewer, int64_t done, int64_t total);
