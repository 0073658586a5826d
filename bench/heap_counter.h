// Heap use of one operation: this binary takes over malloc and friends
// (forwarding to the C library) and counts the bytes live between
// StartHeapCount and the peak.
#pragma once

#include <cstdint>

void StartHeapCount();
// Largest number of bytes allocated since StartHeapCount and live at once;
// counting stops.
int64_t StopHeapCount();
