// The setup dialog DLG_INTRO: the suggested folder, the folder chooser and the
// Install, Uninstall and Close buttons.
#pragma once

#include "installer/setup_win.h"

// Shows the dialog (from `module`'s resources) until one of its buttons ends it.
INT_PTR RunSetupDialog(HINSTANCE module, SetupContext* setup);
