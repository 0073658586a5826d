// "Open Local File": a TIFF file the user chooses replaces the document.
#pragma once

#include "viewer/viewer_instance.h"

void InstallOpenHooks(ViewerHooks* hooks);
