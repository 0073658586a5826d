#include "output/mail_command_win.h"

#include <windows.h>

#include <ctime>
#include <string>

#include "common/diagnostics.h"
#include "common/suggested_name.h"
#include "common/text_format.h"
#include "output/document_writer.h"
#include "viewer/window_calls.h"

namespace {

// Simple MAPI's own declarations, as the mail program's library exports them.
struct MapiFileDesc {
  ULONG reserved;
  ULONG flags;
  ULONG position;
  LPSTR pathName;
  LPSTR fileName;
  LPVOID fileType;
};
struct MapiMessage {
  ULONG reserved;
  LPSTR subject;
  LPSTR noteText;
  LPSTR messageType;
  LPSTR dateReceived;
  LPSTR conversationId;
  ULONG flags;
  LPVOID originator;
  ULONG recipientCount;
  LPVOID recipients;
  ULONG fileCount;
  MapiFileDesc* files;
};
using SendMail = ULONG(WINAPI*)(ULONG_PTR session, ULONG_PTR parent, MapiMessage* message, ULONG flags,
                                ULONG reserved);
using SendDocuments = ULONG(WINAPI*)(ULONG_PTR parent, LPSTR delimiter, LPSTR paths, LPSTR names,
                                     ULONG reserved);
using SetDllDirectory = BOOL(WINAPI*)(LPCWSTR folder);

constexpr ULONG kLogonUi = 0x1, kDialog = 0x8;
constexpr ULONG kSuccess = 0, kUserAbort = 1, kLogonFailure = 3;
constexpr int32_t kSendDocuments = 1, kSendMail = 2;

struct MapiError {
  ULONG code;
  const char* text;
};
constexpr MapiError kErrors[] = {{2, "Unspecified error"},
                                 {5, "Insufficient memory"},
                                 {9, "Too many attachments"},
                                 {11, "Attachment not found"},
                                 {12, "Attachment could not be opened"},
                                 {13, "Could not write attachment to temp file"},
                                 {18, "Text too large"}};

const char* ErrorText(ULONG code) {
  for (const MapiError& error : kErrors) {
    if (error.code == code) return error.text;
  }
  return "Unrecognized error code";
}

const wchar_t* Wide(const std::u16string& text) { return reinterpret_cast<const wchar_t*>(text.c_str()); }

// Only printable ASCII survives into the attachment's name.
std::u16string AttachmentName(const ViewerInstance* viewer) {
  const char16_t* url = TextOf(&viewer->download.documentUrl);
  const char16_t* local = TextOf(&viewer->download.localFileName);
  std::u16string name =
      url && *url ? SuggestFileName(url, true, true) : SuggestFileName(local ? local : u"", false, true);
  for (char16_t& c : name) {
    if (c < 32 || c > 126) c = u'_';
  }
  return name.empty() ? u"file.tif" : name;
}

// The attachment and its folder of the previous send go before the next.
void ForgetLastAttachment(ViewerInstance* viewer) {
  const char16_t* file = TextOf(&viewer->output.outputTempFile);
  if (file && *file) DeleteFileW(reinterpret_cast<const wchar_t*>(file));
  const char16_t* folder = TextOf(&viewer->output.outputTempFolder);
  if (folder && *folder) RemoveDirectoryW(reinterpret_cast<const wchar_t*>(folder));
  SetText(&viewer->output.outputTempFile, u"");
  SetText(&viewer->output.outputTempFolder, u"");
}

// A fresh "mvtfNNN" folder in the temporary folder; empty after 100 tries.
std::u16string MakeFolder(HWND owner) {
  wchar_t temp[MAX_PATH + 1] = {0};
  if (!GetTempPathW(MAX_PATH, temp)) {
    ShowMessage(owner, kIconError, "Can\u2019t find your temporary directory (%u)",
                static_cast<unsigned>(GetLastError()));
    return u"";
  }
  std::u16string base(reinterpret_cast<const char16_t*>(temp));
  if (base.empty() || base.back() != u'\\') base += u'\\';
  const long long now = static_cast<long long>(std::time(nullptr));
  for (int i = 0; i < 100; ++i) {
    wchar_t number[8];
    swprintf(number, 8, L"%03d", static_cast<int>((now + i) % 1000));
    const std::u16string folder = base + u"mvtf" + reinterpret_cast<const char16_t*>(number);
    if (CreateDirectoryW(Wide(folder), nullptr)) return folder;
  }
  ShowMessage(owner, kIconError, "Unable to create a temporary subdirectory");
  return u"";
}

std::string Ansi(const std::u16string& text) {
  char out[1024] = {0};
  WideCharToMultiByte(CP_ACP, 0, Wide(text), -1, out, sizeof(out) - 1, nullptr, nullptr);
  return out;
}

ULONG CallMapi(HMODULE mapi, ViewerInstance* viewer, HWND owner, const std::u16string& file,
               const std::u16string& name, bool* found) {
  std::string path = Ansi(file), title = Ansi(name);
  const ULONG_PTR parent = reinterpret_cast<ULONG_PTR>(owner);
  if (viewer->prefs.sendMethod == kSendMail) {
    auto send = reinterpret_cast<SendMail>(reinterpret_cast<void*>(GetProcAddress(mapi, "MAPISendMail")));
    if (!(*found = send != nullptr)) return 0;
    // The mail program must find its own libraries, not ones from a folder set for ours.
    static auto setFolder = reinterpret_cast<SetDllDirectory>(
        reinterpret_cast<void*>(GetProcAddress(GetModuleHandleW(L"kernel32.dll"), "SetDllDirectoryW")));
    if (setFolder) setFolder(nullptr);
    MapiFileDesc attachment{0, 0, static_cast<ULONG>(-1), path.data(), title.data(), nullptr};
    MapiMessage message{};
    message.subject = title.data();
    message.fileCount = 1;
    message.files = &attachment;
    return send(0, parent, &message, kLogonUi | kDialog, 0);
  }
  auto send =
      reinterpret_cast<SendDocuments>(reinterpret_cast<void*>(GetProcAddress(mapi, "MAPISendDocuments")));
  if (!(*found = send != nullptr)) return 0;
  char delimiter[] = "|";
  return send(parent, delimiter, path.data(), title.data(), 0);
}

int SendDocument(ViewerInstance* viewer) {
  if (IsRestricted(viewer, kRestrictMail) || viewer->download.loadState != kLoadDone) return 0;
  CloseMagnifier(viewer);
  HWND owner = static_cast<HWND>(viewer->pluginWindow);
  const std::u16string name = AttachmentName(viewer).substr(0, 255);
  ForgetLastAttachment(viewer);
  const std::u16string folder = MakeFolder(owner);
  if (folder.empty()) return 0;
  SetText(&viewer->output.outputTempFolder, folder.c_str());
  const std::u16string file = folder + u"\\" + name;
  MessageLog log;
  if (!WriteDocumentToFile(&viewer->download.document, &viewer->analysis.markup, file, &log)) {
    ShowMessage(owner, kIconError, "%s", Utf16ToUtf8(TextOf(&log.lastLine)).c_str());
    return 0;
  }
  SetText(&viewer->output.outputTempFile, file.c_str());
  HMODULE mapi = LoadLibraryW(L"MAPI32.DLL");
  if (!mapi) {
    ShowMessage(owner, kIconError,
                "Unable to send image (could not load MAPI32.DLL).\r\nYou may need to install, configure, or "
                "open an email program on your computer.");
    return 0;
  }
  if (viewer->prefs.sendMethod == 0) viewer->prefs.sendMethod = kSendMail;
  bool found = false;
  const ULONG result = CallMapi(mapi, viewer, owner, file, name, &found);
  if (!found) {
    ShowMessage(owner, kIconError, "Unable to send image (GetProcAddress failed)");
  } else if (result != kSuccess && result != kUserAbort && result != kLogonFailure) {
    ShowMessage(owner, kIconError,
                "Error attempting to send message.\n(Details: %s failed with error code %lu: %s.)",
                viewer->prefs.sendMethod == kSendMail ? "MAPISendMail" : "MAPISendDocuments", result,
                ErrorText(result));
  }
  FreeLibrary(mapi);
  return found && result == kSuccess;
}

}  // namespace

void InstallMailHooks(ViewerHooks* hooks) { hooks->sendDocument = SendDocument; }
