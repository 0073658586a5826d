// "Mervane: More Settings": the property sheet with the General and Advanced
// pages over a copy of the instance's preferences; OK stores and applies it.
#pragma once

#include "viewer/viewer_instance.h"

void InstallSettingsSheetHook(ViewerHooks* hooks);
