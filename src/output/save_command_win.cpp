#include "output/save_command_win.h"

// clang-format off
// The dialog declarations need the ones of windows.h first.
#include <windows.h>
#include <commdlg.h>
// clang-format on

#include <string>

#include "common/diagnostics.h"
#include "common/suggested_name.h"
#include "common/text_format.h"
#include "document/bmp_writer.h"
#include "output/document_writer.h"
#include "output/page_image.h"
#include "platform/platform.h"
#include "viewer/page_view.h"
#include "viewer/window_calls.h"

namespace {

enum SaveFilter : DWORD { kFilterTiff = 1, kFilterBmp = 2 };

const wchar_t* Wide(const std::u16string& text) { return reinterpret_cast<const wchar_t*>(text.c_str()); }

bool HasSource(const ViewerInstance* viewer) {
  const Document& document = viewer->download.document;
  return viewer->download.loadState == kLoadDone &&
         (document.sourceKind == kSourceMemory
              ? document.bytes != nullptr
              : document.sourceKind == kSourceFile && !document.fileName.empty());
}

std::u16string Suggestion(const ViewerInstance* viewer) {
  const char16_t* url = TextOf(&viewer->download.documentUrl);
  if (url && *url) return SuggestFileName(url, true, false);
  const char16_t* local = TextOf(&viewer->download.localFileName);
  return local && *local ? SuggestFileName(local, false, false) : std::u16string();
}

// A name typed without an extension gets the filter's; replacing a file of
// that name is asked first, as the dialog asked only for the name typed.
bool CompleteName(HWND owner, std::u16string* name, DWORD filter) {
  const size_t slash = name->find_last_of(u"/\\");
  if (name->find(u'.', slash == std::u16string::npos ? 0 : slash) != std::u16string::npos) return true;
  *name += filter == kFilterBmp ? u".bmp" : u".tif";
  if (GetFileAttributesW(Wide(*name)) == INVALID_FILE_ATTRIBUTES) return true;
  const std::u16string question = *name + u" already exists.\r\nDo you want to replace it?";
  return PlatformMessageBox(owner, question, u"Save Image", MB_YESNO | MB_ICONWARNING | MB_DEFBUTTON2) ==
         IDYES;
}

void SaveAsBmp(ViewerInstance* viewer, HWND owner, const std::u16string& name) {
  PackedPageImage image;
  if (!PackCurrentPage(viewer, &image)) {
    ShowMessage(owner, kIconWarning, "Image could not be displayed \u2013 Can\u2019t save as BMP");
    return;
  }
  MessageLog log;
  if (!WriteBmpFile(image.bitmap, name, &log))
    ShowMessage(owner, kIconError, "%s", Utf16ToUtf8(TextOf(&log.lastLine)).c_str());
}

void SaveAsTiff(ViewerInstance* viewer, HWND owner, const std::u16string& name) {
  MessageLog log;
  if (!WriteDocumentToFile(&viewer->download.document, &viewer->analysis.markup, name, &log))
    ShowMessage(owner, kIconError, "%s", Utf16ToUtf8(TextOf(&log.lastLine)).c_str());
}

int SaveDocument(ViewerInstance* viewer) {
  if (IsRestricted(viewer, kRestrictSaveImage)) return 0;
  CloseMagnifier(viewer);
  HWND owner = static_cast<HWND>(viewer->pluginWindow);
  if (!HasSource(viewer)) {
    ShowMessage(owner, kIconWarning, "File was not successfully downloaded \u2013 Can\u2019t save");
    return 0;
  }
  wchar_t chosen[MAX_PATH] = {0};
  const std::u16string suggestion = Suggestion(viewer).substr(0, 255);
  suggestion.copy(reinterpret_cast<char16_t*>(chosen), suggestion.size());
  // BMP is offered only for a page that is shown.
  const bool pageShown = HasValidPage(viewer);
  const wchar_t tiffOnly[] = L"TIFF (*.tif)\0*.tif;*.tiff\0";
  const wchar_t both[] = L"TIFF (*.tif)\0*.tif;*.tiff\0BMP (*.bmp)\0*.bmp\0";
  OPENFILENAMEW dialog{};
  dialog.lStructSize = sizeof(dialog);
  dialog.hwndOwner = owner;
  dialog.lpstrFilter = pageShown ? both : tiffOnly;
  dialog.nFilterIndex = kFilterTiff;
  dialog.lpstrFile = chosen;
  dialog.nMaxFile = MAX_PATH;
  dialog.lpstrTitle = L"Save Image";
  dialog.Flags = OFN_OVERWRITEPROMPT | OFN_HIDEREADONLY | OFN_PATHMUSTEXIST;
  int saved = 0;
  if (GetSaveFileNameW(&dialog)) {
    std::u16string name(reinterpret_cast<const char16_t*>(chosen));
    if (CompleteName(owner, &name, dialog.nFilterIndex)) {
      if (dialog.nFilterIndex == kFilterBmp) {
        SaveAsBmp(viewer, owner, name);
      } else {
        SaveAsTiff(viewer, owner, name);
      }
      saved = 1;
    }
  }
  if (owner) SetFocus(owner);
  return saved;
}

}  // namespace

void InstallSaveHooks(ViewerHooks* hooks) { hooks->saveDocument = SaveDocument; }
