// Page parameters and settings on the command line, so that a render sees
// them exactly as the viewer in a page would: --param NAME=VALUE goes through
// the page-parameter rules, --setting NAME=VALUE is stored as a machine-wide
// setting (a DWORD, or text for the settings the viewer reads as text) and read
// by the settings load. Both may be repeated; later ones win.
#pragma once

#include <string>
#include <vector>

#include "viewer/settings_store.h"
#include "viewer/viewer_instance.h"

struct ToolSettings {
  std::vector<std::u16string> parameterNames;
  std::vector<std::u16string> parameterValues;
  std::vector<std::u16string> settingNames;
  std::vector<StoredValue> settingValues;
};

// Takes the --param and --setting options (each followed by NAME=VALUE) out of
// the arguments; the others stay in `rest` in their order. 0 with a reason in
// `error` for a malformed option.
int ParseToolSettings(int argc, char** argv, ToolSettings* settings, std::vector<char*>* rest,
                      std::string* error);

// Starts the library over an in-memory store holding the settings and creates
// an embedded viewer with the parameters. Non-zero on success.
int CreateToolViewer(const ToolSettings& settings, ViewerInstance** viewer);
// Destroys the viewer and stops the library again.
void DestroyToolViewer(ViewerInstance** viewer);
