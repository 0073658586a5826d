// The current page as the Windows desktop background, centred, tiled or
// stretched.
#pragma once

#include "viewer/viewer_instance.h"

void InstallDesktopHooks(ViewerHooks* hooks);
