// The screen areas the magnifier is laid in. The multi-monitor functions are
// looked up when first needed: a system without them has one monitor, the
// primary screen.
#pragma once

#include <windows.h>

#include <vector>

#include "controls/magnifier_geometry.h"
#include "viewer/view_geometry.h"

// The chosen monitor's whole rectangle (`full`) or its work area; the
// desktop window's rectangle or the system work area when the choice is the
// desktop or no monitor can be found.
ScreenRect MonitorArea(const MonitorChoice& choice, int full, HWND window);
// The union of all monitors, where a window of the user's own may go.
ScreenRect VirtualDesktop();
// The top-left corners of the monitors other than the primary one, at most
// `most`, in the system's order; none on a system without monitor functions.
std::vector<IntPoint> OtherMonitorCorners(size_t most);
