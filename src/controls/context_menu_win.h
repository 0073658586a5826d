// The context menu on the screen: built from the command table at each
// opening, tracked over the plug-in window, and the chosen command run.
#pragma once

#include "viewer/viewer_instance.h"

void InstallContextMenuHooks(ViewerHooks* hooks);
