// The trace that optical mark reading writes when MERVANE_OMR_DEBUG is "1":
// a text file next to the form work, so that a failed calibration on a
// customer's scan can be read afterwards.
#pragma once

#include <string>

#include "platform/platform.h"

struct OmrDebugFile {
  FileHandle file = nullptr;  // null: no text is written
};

// On when the variable holds a value shorter than 10 characters beginning with "1".
int OmrDebugRequested();
// "c:\mvtf.txt" on Windows, where support staff expect it; elsewhere the same
// name in the temporary folder.
std::u16string OmrDebugFilePath();
// Opens the file for appending; a file that cannot be opened leaves no trace
// and is not an error.
void OpenOmrDebug(OmrDebugFile* debug);
void OmrDebugPrint(OmrDebugFile* debug, const char* format, ...) __attribute__((format(printf, 2, 3)));
void CloseOmrDebug(OmrDebugFile* debug);
