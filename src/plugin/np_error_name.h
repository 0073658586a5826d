// English names of the browser's error codes, for messages.
#pragma once

#include <cstdint>

// The code is taken as the browser's signed 16-bit value; unknown codes get
// "Unrecognized error code".
const char* NpErrorName(int32_t code);
