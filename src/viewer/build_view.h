// Building a view's picture for its target size: the page bitmap as it is,
// the page bitmap stretched by the device at paint time, or a display bitmap
// of the view's own scaled from the page.
#pragma once

#include "viewer/viewer_instance.h"

// The main view takes the target size the layout stored; the magnifier its
// zoom level's size. Fails without a valid page, or when the display bitmap
// cannot be built (the reason is in the page log; the view is then 0 x 0).
int BuildView(ViewerInstance* viewer, ViewState* view);
