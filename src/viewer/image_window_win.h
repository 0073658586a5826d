// The image window and the browser's plug-in window that holds it: taking the
// browser's window over, laying out the children, and the two window
// procedures with the keyboard, wheel and mouse handling.
#pragma once

#include <windows.h>

#include "viewer/viewer_instance.h"

// Subclasses the plug-in window (the instance is its "mvtf" property) and
// creates the image window inside it.
int AttachWindow(ViewerInstance* viewer, HWND pluginWindow);
// The same window again after a move or size: lays it out anew.
void RefreshWindow(ViewerInstance* viewer);
// Destroys the children and gives the plug-in window back its own procedure.
void DetachWindow(ViewerInstance* viewer);
// Places the image window in the plug-in window's client area.
void LayoutChildren(ViewerInstance* viewer);

LRESULT CALLBACK ImageWindowProcedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
LRESULT CALLBACK PluginWindowProcedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

// The window side of the viewer's hooks.
void InstallImageWindowHooks(ViewerHooks* hooks);
