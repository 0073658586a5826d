// The system colour dialog as the viewer opens it: fully open, starting from
// a given colour, with sixteen custom colours that the whole process shares
// so that a colour mixed for the pen is there again for the background.
#pragma once

#include <windows.h>

#include <cstdint>

// Opens the dialog over `owner` starting from *colour (0x00BBGGRR). Answers 1
// and stores the choice when the user picked a colour; 0 on cancel or failure,
// leaving *colour as it was.
int ChooseColourFor(HWND owner, uint32_t* colour);

struct ViewerHooks;
// Fills the hook that lets the user choose the pen's colour.
void InstallPenColourHook(ViewerHooks* hooks);
