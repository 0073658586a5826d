// The scripting runtime's file-system object, which the launcher asks whether
// the control file is there.
#pragma once

#include <string>

enum class FileCheck { kMissing, kExists, kFailed };

// FileExists of "Scripting.FileSystemObject"; kFailed when the object cannot
// be made or its call fails. COM must be initialised on the calling thread.
FileCheck FileSystemObjectFileExists(const std::u16string& name);
