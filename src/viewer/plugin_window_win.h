// The browser's plug-in window: taken over by subclassing (the instance is its
// "mvtf" property), laid out around the image window it holds, and given back
// on detach or when the browser destroys it first.
#pragma once

#include <windows.h>

#include "viewer/viewer_instance.h"

// Subclasses the plug-in window and creates the image window inside it.
int AttachWindow(ViewerInstance* viewer, HWND pluginWindow);
// The same window again after a move or size: lays it out anew.
void RefreshWindow(ViewerInstance* viewer);
// Destroys the children and gives the plug-in window back its own procedure.
void DetachWindow(ViewerInstance* viewer);
// Places the image window in the plug-in window's client area.
void LayoutChildren(ViewerInstance* viewer);

LRESULT CALLBACK PluginWindowProcedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

// The plug-in window's side of the viewer's hooks.
void InstallPluginWindowHooks(ViewerHooks* hooks);
