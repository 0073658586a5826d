#include "controls/context_menu_win.h"

#include <windows.h>

#include "controls/context_menu.h"
#include "platform/platform.h"
#include "viewer/window_calls.h"

namespace {

// All eight popups or none: a menu missing a submenu would offer less than
// the viewer can do without saying so.
struct MenuSet {
  HMENU popups[kPopupCount] = {};
  bool attached[kPopupCount] = {};  // owned by the popup it was appended to

  ~MenuSet() {
    // Destroying a menu destroys the submenus appended to it.
    for (int32_t i = kPopupCount - 1; i >= 0; --i) {
      if (popups[i] && !attached[i]) DestroyMenu(popups[i]);
    }
  }
  bool Create() {
    for (HMENU& popup : popups) {
      popup = CreatePopupMenu();
      if (!popup) return false;
    }
    return true;
  }
};

void Fill(MenuSet* set, const ViewerInstance* viewer, int32_t popup) {
  HMENU menu = set->popups[popup];
  for (const MenuEntry& entry : MenuEntries(viewer, popup)) {
    if (entry.kind == kEntrySeparator) {
      AppendMenuW(menu, MF_SEPARATOR, 0, nullptr);
      continue;
    }
    // An item whose text is missing from the library is left out.
    const std::u16string text = ResourceString(entry.stringId);
    if (text.empty()) continue;
    const wchar_t* label = reinterpret_cast<const wchar_t*>(text.c_str());
    if (entry.kind == kEntryPopup) {
      if (AppendMenuW(menu, MF_STRING | MF_POPUP, reinterpret_cast<UINT_PTR>(set->popups[entry.popup]),
                      label))
        set->attached[entry.popup] = true;
      continue;
    }
    UINT flags = MF_STRING;
    if (entry.greyed) flags |= MF_GRAYED;
    if (entry.checked) flags |= MF_CHECKED;
    AppendMenuW(menu, flags, static_cast<UINT_PTR>(entry.command), label);
  }
}

int ShowContextMenu(ViewerInstance* viewer, int32_t x, int32_t y, int fromToolbar) {
  HWND owner = static_cast<HWND>(viewer->pluginWindow);
  if (!owner || IsRestricted(viewer, kRestrictContextMenu)) return 0;
  const int32_t band = viewer->input.band.state;
  if (band == kBandPressed || band == kBandDragging) return 0;
  CloseMagnifier(viewer);
  if (!fromToolbar && x == -1 && y == -1) {
    // From the keyboard: just inside the viewer's top-left corner.
    RECT area;
    GetWindowRect(owner, &area);
    x = area.left + 2;
    y = area.top + 2;
  }
  int32_t command = 0;
  {
    MenuSet menus;
    if (!menus.Create()) return 0;
    // Submenus first, so that each is complete when its parent takes it.
    for (int32_t popup = kPopupCount - 1; popup >= 0; --popup) Fill(&menus, viewer, popup);
    command = static_cast<int32_t>(TrackPopupMenuEx(
        menus.popups[kPopupMain], TPM_RETURNCMD | TPM_NONOTIFY | TPM_RIGHTBUTTON, x, y, owner, nullptr));
  }
  if (viewer->destroyPending) return 0;  // the page let go of the viewer meanwhile
  if (fromToolbar) {
    RefreshToolbar(viewer, kRefreshLater);  // releases the menu button
    // The click that closed the menu must not also act on the page.
    MSG pending;
    PeekMessageW(&pending, owner, WM_LBUTTONDOWN, WM_LBUTTONDBLCLK, PM_REMOVE);
  }
  if (command) RunMenuCommand(viewer, command);
  return 1;
}

}  // namespace

void InstallContextMenuHooks(ViewerHooks* hooks) { hooks->showMenu = ShowContextMenu; }
