// The installer's work on a real machine: installing the plug-in library into
// a folder and registering it, and uninstalling it again. The setup dialog and
// the program's window call these; tests call them directly.
#pragma once

#include <windows.h>

#include <string>

#include "installer/install_options.h"

struct SetupContext {
  InstallerOptions options;
  std::u16string sourceFolder;  // where "npmrv64.dll" and "options.txt" are
  HWND owner = nullptr;         // owner of every message box
};

// The folder the dialog suggests: the program-files folder + "\KOB\Mervane".
std::u16string SuggestedFolder();
// Installs into `folder` and tells the result as the options say; non-zero on success.
int InstallPlugin(const SetupContext& setup, const std::u16string& folder);
// Asks, removes the library, its folders when ours and empty, the registration
// and (when asked to) the settings; non-zero when an installation was removed.
int UninstallPlugin(const SetupContext& setup);

// Creates the folder and, when needed, its parents; non-zero when it is a folder afterwards.
int CreateFolderWithParents(const std::u16string& folder);
// Deletes a key of HKEY_CURRENT_USER or HKEY_LOCAL_MACHINE with all its
// subkeys; an empty name is refused, as it would name the whole root.
int DeleteKeyTree(HKEY root, const std::u16string& path);
// Shows a message box with a formatted text (UTF-8 format, widened once).
int SetupMessage(HWND owner, const char16_t* caption, UINT flags, const char* format, ...)
    __attribute__((format(printf, 4, 5)));
