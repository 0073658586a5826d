#include "document/tag_viewer_win.h"

#include <richedit.h>
#include <windows.h>

#include <string>

#include "common/diagnostics.h"
#include "common/text_format.h"
#include "document/document_dump.h"
#include "viewer/library_win.h"
#include "viewer/window_calls.h"

namespace {

constexpr int kTextControl = 1065;
constexpr int kTextLimit = 0x100000;  // characters
constexpr LONG kMinimumWidth = 200;
constexpr LONG kMinimumHeight = 150;

// What the dialog needs while it runs.
struct TagViewer {
  ViewerInstance* viewer;
  int32_t ifdIndex;  // below 0: the whole file
  // The control's and the button's distances from the right and bottom edges.
  SIZE textMargin;
  POINT buttonMargin;
};

const wchar_t* Wide(const std::u16string& text) { return reinterpret_cast<const wchar_t*>(text.c_str()); }

int WriteToFile(void* user, const char* text, size_t length) {
  DWORD written = 0;
  return WriteFile(static_cast<HANDLE>(user), text, static_cast<DWORD>(length), &written, nullptr) &&
         written == length;
}

// Hands the control the bytes the dump wrote, and not one more; and no more
// once the control holds as many characters as it may (a dump of thousands
// of directories would otherwise keep the page frozen while the control
// parses what it cannot show).
struct StreamSource {
  HANDLE file;
  DWORD left;
  HWND control;
  int reads;
};

DWORD CALLBACK ReadFromFile(DWORD_PTR cookie, LPBYTE buffer, LONG wanted, LONG* got) {
  StreamSource* source = reinterpret_cast<StreamSource*>(cookie);
  *got = 0;
  // Counting the characters costs a walk over them: every 16th read is enough.
  if (++source->reads % 16 == 0 && GetWindowTextLengthW(source->control) >= kTextLimit) return 0;
  DWORD read = 0;
  const DWORD asked = static_cast<DWORD>(wanted) < source->left ? static_cast<DWORD>(wanted) : source->left;
  if (asked && !ReadFile(source->file, buffer, asked, &read, nullptr)) return 1;
  source->left -= read;
  *got = static_cast<LONG>(read);
  return 0;
}

// The dump goes through a temporary file, as large dumps would not fit a
// string comfortably, and is streamed into the control as Rich Text.
void LoadDump(HWND dialog, const TagViewer* state) {
  std::u16string name;
  if (!CreateTempFile(dialog, &name)) return;
  HANDLE file = CreateFileW(Wide(name), GENERIC_READ | GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                            FILE_ATTRIBUTE_TEMPORARY, nullptr);
  if (file == INVALID_HANDLE_VALUE) {
    ShowMessage(dialog, kIconError, "Could not write temp file (%s)", Utf16ToUtf8(name).c_str());
    DeleteFileW(Wide(name));
    return;
  }
  ViewerInstance* viewer = state->viewer;
  {
    BusyCursor busy(viewer);
    DumpDocument(&viewer->download.document, state->ifdIndex, kDumpRichText, WriteToFile, file,
                 &viewer->logs.documentLog);
  }
  LARGE_INTEGER size{};
  GetFileSizeEx(file, &size);
  SetFilePointer(file, 0, nullptr, FILE_BEGIN);
  HWND text = GetDlgItem(dialog, kTextControl);
  StreamSource source{file, static_cast<DWORD>(size.QuadPart), text, 0};
  EDITSTREAM stream{reinterpret_cast<DWORD_PTR>(&source), 0, ReadFromFile};
  SendMessageW(text, EM_SETUNDOLIMIT, 0, 0);
  SendMessageW(text, WM_SETREDRAW, FALSE, 0);
  SendMessageW(text, EM_STREAMIN, SF_RTF, reinterpret_cast<LPARAM>(&stream));
  SendMessageW(text, WM_SETREDRAW, TRUE, 0);
  CloseHandle(file);
  DeleteFileW(Wide(name));
}

void RememberMargins(HWND dialog, TagViewer* state) {
  RECT client, text, button;
  GetClientRect(dialog, &client);
  GetWindowRect(GetDlgItem(dialog, kTextControl), &text);
  GetWindowRect(GetDlgItem(dialog, IDOK), &button);
  MapWindowPoints(nullptr, dialog, reinterpret_cast<POINT*>(&text), 2);
  MapWindowPoints(nullptr, dialog, reinterpret_cast<POINT*>(&button), 2);
  state->textMargin = {client.right - text.right, client.bottom - text.bottom};
  state->buttonMargin = {client.right - button.left, client.bottom - button.top};
}

void FollowSize(HWND dialog, const TagViewer* state, int width, int height) {
  HWND text = GetDlgItem(dialog, kTextControl);
  HWND button = GetDlgItem(dialog, IDOK);
  RECT at;
  GetWindowRect(text, &at);
  MapWindowPoints(nullptr, dialog, reinterpret_cast<POINT*>(&at), 2);
  SetWindowPos(text, nullptr, 0, 0, width - state->textMargin.cx - at.left,
               height - state->textMargin.cy - at.top, SWP_NOMOVE | SWP_NOZORDER);
  SetWindowPos(button, nullptr, width - state->buttonMargin.x, height - state->buttonMargin.y, 0, 0,
               SWP_NOSIZE | SWP_NOZORDER);
}

INT_PTR CALLBACK TagViewerProcedure(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
  TagViewer* state = reinterpret_cast<TagViewer*>(GetWindowLongPtrW(dialog, DWLP_USER));
  switch (message) {
    case WM_INITDIALOG: {
      state = reinterpret_cast<TagViewer*>(lParam);
      SetWindowLongPtrW(dialog, DWLP_USER, lParam);
      HICON icon = LoadIconW(nullptr, IDI_APPLICATION);
      SendMessageW(dialog, WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(icon));
      SendMessageW(dialog, WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(icon));
      SendDlgItemMessageW(dialog, kTextControl, EM_EXLIMITTEXT, 0, kTextLimit);
      SendDlgItemMessageW(dialog, kTextControl, EM_SETBKGNDCOLOR, 0, RGB(255, 255, 255));
      SendDlgItemMessageW(dialog, kTextControl, EM_SETMARGINS, EC_LEFTMARGIN, MAKELPARAM(4, 0));
      RememberMargins(dialog, state);
      LoadDump(dialog, state);
      // The reader starts at the top with the keys scrolling the text; the
      // dialog's own focus would select all of it.
      SendDlgItemMessageW(dialog, kTextControl, EM_SETSEL, 0, 0);
      SetFocus(GetDlgItem(dialog, kTextControl));
      return FALSE;
    }
    case WM_SIZE:
      if (state) FollowSize(dialog, state, LOWORD(lParam), HIWORD(lParam));
      return TRUE;
    case WM_GETMINMAXINFO: {
      MINMAXINFO* limits = reinterpret_cast<MINMAXINFO*>(lParam);
      limits->ptMinTrackSize = {kMinimumWidth, kMinimumHeight};
      return TRUE;
    }
    case WM_COMMAND:
      if (LOWORD(wParam) == IDOK || LOWORD(wParam) == IDCANCEL) EndDialog(dialog, LOWORD(wParam));
      return TRUE;
    case WM_CLOSE:
      EndDialog(dialog, IDCANCEL);
      return TRUE;
    default:
      return FALSE;
  }
}

// The page's own directory when one is shown and asked for, else the whole file.
int32_t DirectoryToShow(const ViewerInstance* viewer, int allPages) {
  const int32_t directory = viewer->download.currentDirectory;
  const bool pageShown = viewer->download.hasPages && viewer->download.loadState == kLoadDone &&
                         directory >= 0 &&
                         static_cast<size_t>(directory) < viewer->download.document.ifds.size();
  return !allPages && pageShown ? directory : -1;
}

int ShowTagViewerHook(ViewerInstance* viewer, int allPages) {
  if (IsRestricted(viewer, kRestrictShowTags)) return 0;
  // The rich-edit class stays registered for the life of the process.
  static HMODULE richEdit = LoadLibraryW(L"RICHED32.DLL");
  CloseMagnifier(viewer);
  TagViewer state{viewer, DirectoryToShow(viewer, allPages), {}, {}};
  HWND owner = static_cast<HWND>(viewer->windows.imageWindow);
  const INT_PTR result = DialogBoxParamW(WindowLib().module, L"DLGTAGDUMP", owner, TagViewerProcedure,
                                         reinterpret_cast<LPARAM>(&state));
  if (result == -1 && !richEdit) {
    ShowMessage(
        owner, kIconError,
        "Failed to enable Rich Text support on your computer, which is required by the TIFF tag viewer. "
        "(missing RICHED32.DLL?)");
  }
  return result != -1;
}

}  // namespace

void InstallTagViewerHooks(ViewerHooks* hooks) { hooks->showTagViewer = ShowTagViewerHook; }
