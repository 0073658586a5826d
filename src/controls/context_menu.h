// The context menu's command set as data: every item with its text, when it
// is present, greyed and checked, and what it does; the eight popups and the
// order of their entries. The window side only turns this into menus, tracks
// them and runs the chosen command here.
#pragma once

#include <cstdint>
#include <vector>

#include "viewer/viewer_instance.h"

enum MenuPopup : int32_t {
  kPopupMain = 0,
  kPopupSketch,
  kPopupOrientation,
  kPopupSize,
  kPopupZoom,
  kPopupPage,
  kPopupMouse,
  kPopupTools,
  kPopupCount
};

enum MenuEntryKind : int32_t { kEntryCommand = 0, kEntrySeparator = 1, kEntryPopup = 2 };

// One line of an opened popup: a command, a separator, or a submenu.
struct MenuEntry {
  int32_t kind = kEntryCommand;
  int32_t command = 0;    // kEntryCommand
  int32_t popup = 0;      // kEntryPopup: which submenu
  uint32_t stringId = 0;  // the text's string-table entry (commands and submenus)
  int32_t greyed = 0;
  int32_t checked = 0;
};

// The entries of one popup as the viewer's state and restrictions have them
// now: absent items left out, separators only where the order puts them.
std::vector<MenuEntry> MenuEntries(const ViewerInstance* viewer, int32_t popup);

// Runs the command with this identifier; 0 for an identifier the menu does not
// have or an item that is absent or greyed now (a command cannot be reached
// that the user could not have chosen).
int RunMenuCommand(ViewerInstance* viewer, int32_t command);

// Sends the browser to `url` in the window named `target` (the open-URL
// service); nothing without an address or a browser.
void OpenAddress(ViewerInstance* viewer, const char16_t* url, const char16_t* target);
