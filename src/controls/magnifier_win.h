// The magnifier window: a pop-up over the page's monitor that shows the
// current page enlarged, panned by moving the pointer it holds.
#pragma once

#include <windows.h>

#include "viewer/viewer_instance.h"

constexpr wchar_t kMagnifierWindowClass[] = L"KOBTiffZClass";

// The class is registered once per library with only its procedure.
void RegisterMagnifierClass(HINSTANCE module);
void UnregisterMagnifierClass(HINSTANCE module);

// Fills the open, close, refresh and dismiss hooks of the viewer.
void InstallMagnifierHooks(ViewerHooks* hooks);

LRESULT CALLBACK MagnifierWindowProcedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
