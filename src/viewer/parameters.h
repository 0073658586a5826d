// The embed or object element's parameters, which override the settings. The
// page is not trusted: a value that cannot be used is logged and ignored.
#pragma once

#include <cstdint>

#include "viewer/viewer_instance.h"

// Names and word values compare without regard to case; a later parameter of
// the same name wins. Null names are skipped and null values read as empty.
void ApplyParameters(ViewerInstance* viewer, int32_t count, const char16_t* const* names,
                     const char16_t* const* values);

// "#" and six characters, red first, as the page gives colours: any letter
// counts from 10 upward, other characters 0. Non-zero when the text has the shape.
int ParsePageColour(const char16_t* text, uint32_t* colour);
