#include "output/desktop_background_win.h"

#include <shlobj.h>
#include <windows.h>

#include <string>

#include "common/diagnostics.h"
#include "common/text_format.h"
#include "document/bmp_writer.h"
#include "output/page_image.h"
#include "viewer/window_calls.h"

namespace {

constexpr size_t kPathLimit = 299;

struct StyleValues {
  const wchar_t* tile;
  const wchar_t* style;
};
// Indexed by DesktopStyle: centred, tiled, stretched.
constexpr StyleValues kStyles[] = {{L"0", L"0"}, {L"1", L"0"}, {L"0", L"2"}};

using GetFolderPath = HRESULT(WINAPI*)(HWND, int, HANDLE, DWORD, LPWSTR);

// The user's application-data folder with our two sub-folders (made when
// missing), or the Windows folder when that cannot be had.
std::wstring WallpaperFolder() {
  wchar_t path[MAX_PATH] = {0};
  HMODULE shell = GetModuleHandleW(L"SHELL32.DLL");
  if (!shell) shell = LoadLibraryW(L"SHELL32.DLL");
  // Through void*: the address comes typed as a function of no arguments.
  void* address = shell ? reinterpret_cast<void*>(GetProcAddress(shell, "SHGetFolderPathW")) : nullptr;
  auto getFolder = reinterpret_cast<GetFolderPath>(address);
  if (getFolder && SUCCEEDED(getFolder(nullptr, CSIDL_APPDATA | CSIDL_FLAG_CREATE, nullptr, 0, path))) {
    std::wstring folder = path;
    bool made = true;
    for (const wchar_t* sub : {L"\\KOB", L"\\Mervane"}) {
      folder += sub;
      if (folder.size() > kPathLimit ||
          (!CreateDirectoryW(folder.c_str(), nullptr) && GetLastError() != ERROR_ALREADY_EXISTS)) {
        made = false;
        break;
      }
    }
    if (made) return folder;
  }
  GetWindowsDirectoryW(path, MAX_PATH);
  return path;
}

int SetDesktop(ViewerInstance* viewer, int32_t style) {
  if (IsRestricted(viewer, kRestrictDesktop) || style < kDesktopCentred || style > kDesktopStretched)
    return 0;
  CloseMagnifier(viewer);
  HWND owner = static_cast<HWND>(viewer->pluginWindow);
  PackedPageImage image;
  if (!PackCurrentPage(viewer, &image)) {
    ShowMessage(owner, kIconWarning, "Image not successfully loaded. Can\u2019t set as desktop background.");
    return 0;
  }
  const std::wstring file = WallpaperFolder() + L"\\Mervane Wallpaper.bmp";
  if (file.size() > kPathLimit) return 0;
  MessageLog log;
  if (!WriteBmpFile(image.bitmap, reinterpret_cast<const char16_t*>(file.c_str()), &log)) {
    ShowMessage(owner, kIconError, "%s", Utf16ToUtf8(TextOf(&log.lastLine)).c_str());
    return 0;
  }
  HKEY key = nullptr;
  const LONG opened = RegOpenKeyExW(HKEY_CURRENT_USER, L"Control Panel\\desktop", 0, KEY_SET_VALUE, &key);
  if (opened != ERROR_SUCCESS) {
    ShowMessage(owner, kIconError, "Failed to set desktop background (error code %d)",
                static_cast<int>(opened));
    return 0;
  }
  auto put = [key](const wchar_t* name, const std::wstring& value) {
    RegSetValueExW(key, name, 0, REG_SZ, reinterpret_cast<const BYTE*>(value.c_str()),
                   static_cast<DWORD>((value.size() + 1) * sizeof(wchar_t)));
  };
  put(L"Wallpaper", file);
  put(L"TileWallpaper", kStyles[style].tile);
  put(L"WallpaperStyle", kStyles[style].style);
  RegCloseKey(key);
  SystemParametersInfoW(SPI_SETDESKWALLPAPER, 0, const_cast<wchar_t*>(file.c_str()), SPIF_SENDWININICHANGE);
  return 1;
}

}  // namespace

void InstallDesktopHooks(ViewerHooks* hooks) { hooks->setDesktop = SetDesktop; }
