// The version check over WinSock, driven by the plug-in window's messages:
// the automatic check a timer starts after the windows appear, the manual
// one of the context menu, and DLGNEWVERS when a newer build exists.
#pragma once

#include <windows.h>

#include "viewer/viewer_instance.h"

constexpr UINT kHostLookupMessage = 0x82BF;
constexpr UINT kSocketMessage = 0x82C0;

// Sets timer 1 on the plug-in window when automatic checks are on and one is due.
void ArmVersionCheck(ViewerInstance* viewer);
// The plug-in window's handlers; each answers what the window procedure returns.
int OnVersionCheckTimer(ViewerInstance* viewer, HWND window, UINT_PTR timer);
int OnHostLookup(ViewerInstance* viewer, HWND window, WPARAM handle, LPARAM event);
int OnSocketEvent(ViewerInstance* viewer, HWND window, WPARAM socket, LPARAM event);
// The menu's command (`manual`: every failure is told from now on in this process).
int CheckVersionNow(ViewerInstance* viewer, int manual);
// Ends a running exchange: the plug-in window goes, or the library stops.
void CancelVersionCheck();
// Ends the exchange driven by this window's messages, if one is: the window is
// handed back to the browser and would never deliver them to us again.
void CancelVersionCheckOf(HWND window);
// Library start: no exchange, not verbose, no automatic check made yet.
void ResetVersionCheck();
