// "Save As": the document as TIFF (an unchanged copy, or with its marks
// merged in) or the current page as BMP, to a file the user chooses.
#pragma once

#include "viewer/viewer_instance.h"

void InstallSaveHooks(ViewerHooks* hooks);
