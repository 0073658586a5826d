// The window half of the status line: a static text along the top of the
// image window and a progress bar below it, each made only while there is
// something to show.
#pragma once

#include <windows.h>

#include "viewer/viewer_instance.h"

// Keeps both at the image window's client width, which also changes when
// the page's scroll bars come or go.
void FitStatusWindows(ViewerInstance* viewer);

void InstallStatusLineHooks(ViewerHooks* hooks);
