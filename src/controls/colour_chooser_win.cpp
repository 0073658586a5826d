#include "controls/colour_chooser_win.h"

#include <commdlg.h>

namespace {

// Kept for the life of the process, initially the default background grey.
COLORREF g_customColours[16] = {0x404040, 0x404040, 0x404040, 0x404040, 0x404040, 0x404040,
                                0x404040, 0x404040, 0x404040, 0x404040, 0x404040, 0x404040,
                                0x404040, 0x404040, 0x404040, 0x404040};

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
