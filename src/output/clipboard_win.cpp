#include "output/clipboard_win.h"

#include <windows.h>

#include <cstring>

#include "common/diagnostics.h"
#include "output/page_image.h"
#include "viewer/window_calls.h"

namespace {

// One format on a cleared clipboard; each step that fails says which.
int PutOnClipboard(ViewerInstance* viewer, UINT format, const void* data, size_t size) {
  BusyCursor busy(viewer);
  HWND owner = static_cast<HWND>(viewer->pluginWindow);
  if (!OpenClipboard(nullptr)) {
    ShowMessage(owner, kIconError, "Can\u2019t open the clipboard");
    return 0;
  }
  int ok = 0;
  if (!EmptyClipboard()) {
    ShowMessage(owner, kIconError, "Can\u2019t clear the clipboard");
  } else if (HGLOBAL memory = GlobalAlloc(GMEM_MOVEABLE | GMEM_ZEROINIT | GMEM_DDESHARE, size); !memory) {
    ShowMessage(owner, kIconError, "Can\u2019t allocate memory for clipboard");
  } else {
    std::memcpy(GlobalLock(memory), data, size);
    GlobalUnlock(memory);
    ok = SetClipboardData(format, memory) != nullptr;
    if (!ok) {
      GlobalFree(memory);  // still ours when the clipboard refused it
      ShowMessage(owner, kIconError, "Can\u2019t set clipboard data");
    }
  }
  CloseClipboard();
  return ok;
}

int CopyImage(ViewerInstance* viewer) {
  if (IsRestricted(viewer, kRestrictCopyImage)) return 0;
  CloseMagnifier(viewer);
  PackedPageImage image;
  if (!PackCurrentPage(viewer, &image)) {
    ShowMessage(viewer->pluginWindow, kIconWarning, "No image to copy");
    return 0;
  }
  return PutOnClipboard(viewer, CF_DIB, image.bitmap->block, image.bitmap->blockSize);
}

int CopyText(ViewerInstance* viewer, const char16_t* text) {
  if (!text) return 0;
  size_t length = 0;
  while (text[length]) ++length;
  return PutOnClipboard(viewer, CF_UNICODETEXT, text, (length + 1) * sizeof(char16_t));
}

}  // namespace

void InstallClipboardHooks(ViewerHooks* hooks) {
  hooks->copyImage = CopyImage;
  hooks->copyText = CopyText;
}
