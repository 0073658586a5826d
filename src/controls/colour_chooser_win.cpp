#include "controls/colour_chooser_win.h"

#include <commdlg.h>

#include "viewer/library.h"
#include "viewer/settings.h"
#include "viewer/viewer_instance.h"
#include "viewer/window_calls.h"

namespace {

// Kept for the life of the process, initially the default background grey.
COLORREF g_customColours[16] = {0x404040, 0x404040, 0x404040, 0x404040, 0x404040, 0x404040,
                                0x404040, 0x404040, 0x404040, 0x404040, 0x404040, 0x404040,
                                0x404040, 0x404040, 0x404040, 0x404040};

// A new pen colour is kept for later sessions too, unless storing settings is
// taken away; the same colour again writes nothing.
int ChoosePenColour(ViewerInstance* viewer) {
  CloseMagnifier(viewer);
  uint32_t colour = static_cast<uint32_t>(viewer->prefs.penColour);
  if (!ChooseColourFor(static_cast<HWND>(viewer->pluginWindow), &colour)) return 0;
  if (colour == static_cast<uint32_t>(viewer->prefs.penColour)) return 1;
  viewer->prefs.penColour = static_cast<int32_t>(colour);
  SettingsStore* store = Library().store.get();
  if (store && !IsRestricted(viewer, kRestrictSaveSettings)) WriteUserDword(store, u"pencolor", colour);
  return 1;
}

}  // namespace

int ChooseColourFor(HWND owner, uint32_t* colour) {
  if (!colour) return 0;
  CHOOSECOLORW choice{};
  choice.lStructSize = sizeof(choice);
  choice.hwndOwner = owner;
  choice.rgbResult = *colour & 0xFFFFFF;
  choice.lpCustColors = g_customColours;
  choice.Flags = CC_FULLOPEN | CC_RGBINIT;
  BOOL chosen = ChooseColorW(&choice);
  // An owner the dialog cannot use (a window of another thread, say) makes the
  // dialog fail with 0xFFFF; without an owner it still opens.
  if (!chosen && CommDlgExtendedError() == 0xFFFF) {
    choice.hwndOwner = nullptr;
    chosen = ChooseColorW(&choice);
  }
  if (!chosen) return 0;
  *colour = choice.rgbResult & 0xFFFFFF;
  return 1;
}

void InstallPenColourHook(ViewerHooks* hooks) { hooks->choosePenColour = ChoosePenColour; }
