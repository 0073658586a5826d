// The magnifier's level: stepping it while the magnifier is open, and keeping
// the user's choice when it closes.
#pragma once

#include <cstdint>

#include "viewer/viewer_instance.h"

// Clamps `level` into the zoom table; when it differs from the level in
// effect, takes it, builds the magnified picture again and answers 1, else 0.
int SetMagnifierLevel(ViewerInstance* viewer, int32_t level);

// At closing: a level the user changed since opening is written to the
// settings as its percentage, unless the page forbids storing settings.
// Answers 1 when it was written.
int StoreMagnifierLevel(ViewerInstance* viewer, int32_t levelAtOpening);
