#include "output/upload_win.h"

#include <windows.h>
// after windows.h, which it needs
#include <wininet.h>

#include <string>
#include <vector>

#include "common/diagnostics.h"
#include "output/upload_request.h"
#include "platform/platform.h"
#include "viewer/window_calls.h"

namespace {

constexpr DWORD kPiece = 16384;
constexpr DWORD kHostCharacters = 200;
constexpr DWORD kPathCharacters = 1000;
constexpr wchar_t kAgent[] = L"Mervane/2.0.8 (Plug-in)";
// The upload holds the page's script, and with it the browser, until it ends;
// a server that stops answering must not hold it longer than this. WinInet's
// own defaults (none at all for a reply under some builds) are not relied on.
constexpr DWORD kNetworkTimeoutMs = 30000;

// WinInet, loaded for one upload and freed after it.
struct WinInet {
  HMODULE library = nullptr;
  decltype(&InternetOpenW) open = nullptr;
  decltype(&InternetConnectW) connect = nullptr;
  decltype(&InternetReadFile) read = nullptr;
  decltype(&InternetWriteFile) write = nullptr;
  decltype(&InternetCloseHandle) close = nullptr;
  decltype(&InternetCrackUrlW) crack = nullptr;
  decltype(&HttpOpenRequestW) request = nullptr;
  decltype(&HttpSendRequestW) send = nullptr;
  decltype(&HttpSendRequestExW) sendEx = nullptr;
  decltype(&HttpQueryInfoW) query = nullptr;
  decltype(&HttpEndRequestW) end = nullptr;
  decltype(&InternetSetOptionW) option = nullptr;

  template <typename Proc>
  bool Find(const char* name, Proc* proc) {
    *proc = reinterpret_cast<Proc>(reinterpret_cast<void*>(GetProcAddress(library, name)));
    return *proc != nullptr;
  }
  bool Load() {
    library = LoadLibraryW(L"WININET.DLL");
    if (!library) return false;
    // The time limits guard the browser; an upload still runs without them.
    Find("InternetSetOptionW", &option);
    return Find("InternetOpenW", &open) && Find("InternetConnectW", &connect) &&
           Find("InternetReadFile", &read) && Find("InternetWriteFile", &write) &&
           Find("InternetCloseHandle", &close) && Find("InternetCrackUrlW", &crack) &&
           Find("HttpOpenRequestW", &request) && Find("HttpSendRequestW", &send) &&
           Find("HttpSendRequestExW", &sendEx) && Find("HttpQueryInfoW", &query) &&
           Find("HttpEndRequestW", &end);
  }
  ~WinInet() {
    if (library) FreeLibrary(library);
  }
};

struct Outcome {
  int32_t code = -1;  // -1: not set yet
  uint32_t detail = 0;
  bool Fail(int32_t failure, uint32_t with = 0) {
    code = failure;
    detail = with;
    return false;
  }
};

// The Internet, connection and request handles, closed in reverse order.
struct Handles {
  const WinInet* net;
  HINTERNET internet = nullptr;
  HINTERNET connection = nullptr;
  HINTERNET request = nullptr;
  ~Handles() {
    for (HINTERNET handle : {request, connection, internet}) {
      if (handle) net->close(handle);
    }
  }
};

bool Connect(const WinInet& net, const std::u16string& url, Handles* handles, Outcome* outcome) {
  wchar_t host[kHostCharacters] = {};
  wchar_t path[kPathCharacters] = {};
  URL_COMPONENTSW parts{};
  parts.dwStructSize = sizeof(parts);
  parts.lpszHostName = host;
  parts.dwHostNameLength = kHostCharacters;
  parts.lpszUrlPath = path;
  parts.dwUrlPathLength = kPathCharacters;
  if (!net.crack(reinterpret_cast<const wchar_t*>(url.c_str()), 0, 0, &parts))
    return outcome->Fail(kUploadBadUrl);
  const INTERNET_PORT port = parts.nPort ? parts.nPort : INTERNET_DEFAULT_HTTP_PORT;
  const bool secure = parts.nScheme == INTERNET_SCHEME_HTTPS;
  if (parts.nScheme != INTERNET_SCHEME_HTTP && !secure && parts.nScheme != INTERNET_SCHEME_UNKNOWN)
    return outcome->Fail(kUploadNotHttp);
  handles->internet = net.open(kAgent, INTERNET_OPEN_TYPE_PRECONFIG, nullptr, nullptr, 0);
  if (!handles->internet) return outcome->Fail(kUploadOpenFailed, GetLastError());
  handles->connection =
      net.connect(handles->internet, host, port, nullptr, nullptr, INTERNET_SERVICE_HTTP, 0, 0);
  if (!handles->connection) return outcome->Fail(kUploadConnectFailed, GetLastError());
  const DWORD flags = INTERNET_FLAG_NO_CACHE_WRITE | (secure ? INTERNET_FLAG_SECURE : 0);
  handles->request = net.request(handles->connection, L"POST", path, nullptr, nullptr, nullptr, flags, 0);
  if (!handles->request) return outcome->Fail(kUploadRequestFailed, GetLastError());
  for (DWORD option :
       {INTERNET_OPTION_CONNECT_TIMEOUT, INTERNET_OPTION_SEND_TIMEOUT, INTERNET_OPTION_RECEIVE_TIMEOUT}) {
    DWORD limit = kNetworkTimeoutMs;
    if (net.option) net.option(handles->request, option, &limit, sizeof limit);
  }
  return true;
}

bool SendBody(const WinInet& net, HINTERNET request, FileHandle body, const std::string& boundary,
              Outcome* outcome) {
  const int64_t length = FileSizeOf(body);
  if (length <= 0 || length > 0xFFFFFFFF || SeekFile(body, 0, 0) != 0) return outcome->Fail(kUploadUnknown);
  const std::u16string type = UploadContentType(boundary);
  INTERNET_BUFFERSW buffers{};
  buffers.dwStructSize = sizeof(buffers);
  buffers.lpcszHeader = reinterpret_cast<const wchar_t*>(type.c_str());
  buffers.dwHeadersLength = static_cast<DWORD>(type.size());
  buffers.dwBufferTotal = static_cast<DWORD>(length);
  if (!net.sendEx(request, &buffers, nullptr, HSR_INITIATE | HSR_SYNC, 0))
    return outcome->Fail(kUploadSendFailed, GetLastError());
  std::vector<char> piece(kPiece);
  for (;;) {
    const int64_t got = ReadFromFile(body, piece.data(), kPiece);
    if (got < 0) return outcome->Fail(kUploadUnknown);
    if (got == 0) break;
    DWORD sent = 0;
    if (!net.write(request, piece.data(), static_cast<DWORD>(got), &sent))
      return outcome->Fail(kUploadWriteFailed, GetLastError());
  }
  if (!net.end(request, nullptr, 0, 0)) return outcome->Fail(kUploadEndFailed, GetLastError());
  return true;
}

bool ReadReply(ViewerInstance* viewer, const WinInet& net, HINTERNET request, int32_t tag, Outcome* outcome) {
  DWORD status = 0, size = sizeof(status);
  if (!net.query(request, HTTP_QUERY_STATUS_CODE | HTTP_QUERY_FLAG_NUMBER, &status, &size, nullptr))
    return outcome->Fail(kUploadStatusQueryFailed, GetLastError());
  if (status != 200) return outcome->Fail(kUploadStatusRefused, status);
  std::vector<char16_t> headers(kPiece / sizeof(char16_t) + 1, 0);
  size = kPiece;
  if (!net.query(request, HTTP_QUERY_RAW_HEADERS, headers.data(), &size, nullptr))
    return outcome->Fail(kUploadHeaderQueryFailed, GetLastError());
  for (const auto& [name, value] : UploadHeaderLines(headers.data(), size / sizeof(char16_t))) {
    if (viewer->events.uploadHeader) viewer->events.uploadHeader(viewer, tag, name.c_str(), value.c_str());
  }
  std::vector<char> discard(kPiece);
  for (DWORD got = 1; got > 0;) {
    if (!net.read(request, discard.data(), kPiece, &got))
      return outcome->Fail(kUploadReadFailed, GetLastError());
  }
  return true;
}

// Writes the body into a temporary file and sends it; the outcome's code.
void Send(ViewerInstance* viewer, const std::u16string& url, int32_t tag, Outcome* outcome) {
  WinInet net;
  if (!net.Load()) {
    outcome->Fail(kUploadNoLibrary);
    return;
  }
  const std::u16string name = CreateUniqueTempFile(TempFolder(), u"mrv");
  FileHandle body = name.empty() ? nullptr : CreateFileForWriting(name);
  if (!body) {
    outcome->Fail(kUploadNoTempFile);
    if (!name.empty()) DeleteFileAt(name);
    return;
  }
  UploadParts parts;
  parts.fields = &viewer->upload.formFields;
  parts.fileField = TextOf(&viewer->upload.uploadFieldName);
  parts.fileName = TextOf(&viewer->upload.uploadFileName);
  parts.boundary = UploadBoundary(GetTickCount());
  const int32_t written = WriteUploadBody(body, &viewer->download.document, &viewer->analysis.markup, parts);
  if (written != kUploadSuccessful) {
    outcome->Fail(written);
  } else {
    Handles handles{&net};
    if (Connect(net, url, &handles, outcome) &&
        SendBody(net, handles.request, body, parts.boundary, outcome) &&
        ReadReply(viewer, net, handles.request, tag, outcome))
      outcome->code = kUploadSuccessful;
  }
  CloseFile(body);
  DeleteFileAt(name);
}

// The upload run: the start event, the request, the completion event.
int RunUpload(ViewerInstance* viewer, const std::u16string& url, int32_t tag) {
  if (IsRestricted(viewer, kRestrictUpload) || viewer->download.loadState != kLoadDone ||
      !viewer->download.hasPages)
    return 0;
  Outcome outcome;
  {
    BusyCursor busy(viewer);
    if (viewer->events.uploadStart) viewer->events.uploadStart(viewer, tag);
    Send(viewer, url, tag, &outcome);
  }
  if (outcome.code < 0) outcome.code = kUploadUnknown;
  const std::u16string text = UploadText(outcome.code, outcome.detail);
  if (viewer->events.uploadComplete) viewer->events.uploadComplete(viewer, tag, outcome.code, text.c_str());
  return 1;
}

// The script asks first and keeps printing out while it runs; the toolbar
// and the menu send at once.
int UploadDocumentHook(ViewerInstance* viewer, int confirm, int32_t tag) {
  const std::u16string url = TextOf(&viewer->upload.uploadUrl);
  if (IsRestricted(viewer, kRestrictUpload) || url.empty()) return 0;
  CloseMagnifier(viewer);
  if (!confirm) return RunUpload(viewer, url, 0);
  if (viewer->output.busy) return 0;
  viewer->output.busy = 1;
  HWND owner = static_cast<HWND>(viewer->pluginWindow);
  const std::u16string question = u"Okay to upload to " + url + u"?";
  if (PlatformMessageBox(owner, question, u"Mervane - Confirm Image Upload", MB_OKCANCEL | MB_ICONQUESTION) !=
      IDOK) {
    viewer->output.busy = 0;
    return 0;
  }
  if (owner) UpdateWindow(owner);
  const int result = RunUpload(viewer, url, tag);
  viewer->output.busy = 0;
  return result;
}

}  // namespace

void InstallUploadHook(ViewerHooks* hooks) { hooks->uploadDocument = UploadDocumentHook; }
