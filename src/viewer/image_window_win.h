// The image window inside the plug-in window: painting, scroll bars, the
// wheel and the mouse.
#pragma once

#include <windows.h>

#include "viewer/viewer_instance.h"

// The image window as a child of `pluginWindow`, hidden, its scroll bars off;
// null (after a message box) when it cannot be made.
HWND CreateImageWindow(ViewerInstance* viewer, HWND pluginWindow);
// Children of the image window die with it; their handles must not outlive it.
void ForgetImageWindow(ViewerInstance* viewer);

LRESULT CALLBACK ImageWindowProcedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

// The image window's side of the viewer's hooks.
void InstallImageWindowHooks(ViewerHooks* hooks);
