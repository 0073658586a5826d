// Painting the image window: the main view with its marks, or the log lines
// over an empty window, and the inverting rubber band.
#pragma once

#include <windows.h>

#include "viewer/viewer_instance.h"

void PaintImageWindow(ViewerInstance* viewer, HWND window);

// Draws a view onto `dc` for the part `update` (in view coordinates); the
// magnifier draws its view the same way. Fails when there is nothing to draw
// or the device refuses the picture; `drawn` is the picture's rectangle.
int DrawView(const ViewerInstance* viewer, HDC dc, const ViewState* view, RECT update, RECT* drawn);

// The marks of the shown page and then its strokes, over a drawn view: the
// main view's in window coordinates, the magnifier's at the device origin of
// its magnified page.
void PaintOverlay(const ViewerInstance* viewer, HDC dc, const ViewState* view);

// Inverts the band rectangle (exclusive right and bottom, scrolled view
// coordinates) in the image window, so a second call takes it away.
void DrawBandInWindow(ViewerInstance* viewer, IntRect band);

// Draws the eraser's outline at the pointer, or takes it away when it is shown.
void InvertEraserOutline(ViewerInstance* viewer, HDC dc);
