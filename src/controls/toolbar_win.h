// The toolbar window (`KOBTiffTClass`): a row of ordinary controls made from
// the instance's item list, their tooltips, the frame and the logo.
#pragma once

#include <windows.h>

#include "viewer/viewer_instance.h"

constexpr wchar_t kToolbarClass[] = L"KOBTiffTClass";
// Controls are numbered by item so that their notifications name the item.
constexpr int kToolbarControlBase = 100;

// Registers the class and loads the shared icons and the logo; at library stop
// the class goes again (shared icons belong to the system).
void StartToolbarLibrary(HINSTANCE module);
void StopToolbarLibrary();

// Makes the window as a hidden child of the plug-in window, its controls and
// tooltips; 0 (after a message box) when the window cannot be made.
int CreateToolbar(ViewerInstance* viewer);
// Destroys the tooltips, the window with its controls, the scaled icons and the font.
void DestroyToolbar(ViewerInstance* viewer);
// After the settings that shape it changed: made again with its states.
int RebuildToolbar(ViewerInstance* viewer);
// The browser destroyed the window and with it the toolbar: only what the
// instance owns besides the windows is freed.
void ForgetToolbar(ViewerInstance* viewer);

void RefreshEnableStates(ViewerInstance* viewer);
void RefreshCheckStates(ViewerInstance* viewer);
void FillPageList(ViewerInstance* viewer);
void SetTooltipsActive(ViewerInstance* viewer, int on);

// The toolbar's height in pixels from the button-size setting.
int32_t ToolbarHeight(const ViewerInstance* viewer);
// Places the window in the plug-in window's client area (a zero height hides it).
void PlaceToolbar(ViewerInstance* viewer, int32_t y, int32_t width, int32_t height);

LRESULT CALLBACK ToolbarWindowProcedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

// The toolbar's side of the viewer's hooks.
void InstallToolbarHooks(ViewerHooks* hooks);
