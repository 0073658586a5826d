#include "update/version_check_win.h"

#include <winsock2.h>
// after winsock2.h, which must come first
#include <windows.h>

#include <algorithm>
#include <cstring>
#include <memory>
#include <string>

#include "common/diagnostics.h"
#include "controls/context_menu.h"
#include "platform/platform.h"
#include "update/version_check.h"
#include "viewer/library.h"
#include "viewer/library_win.h"
#include "viewer/settings.h"

namespace {

constexpr UINT kCheckTimer = 1;
constexpr UINT kCheckDelay = 1500;  // ms after the windows appear
constexpr uint16_t kEventRead = 0x01, kEventWrite = 0x02, kEventConnect = 0x10, kEventClose = 0x20;
constexpr long kWatchedEvents = 0x3B;  // read, write, accept, connect, close
constexpr int kWouldBlock = 10035;
constexpr u_short kHttpPort = 80;
constexpr int kNewVersionBox = 1034;
constexpr int kQuestionIcon = 1036;

enum CheckStage : int32_t { kIdle = 0, kLookingUp = 1, kConnecting = 2, kConnected = 3 };

// One exchange for the whole library, driven by the plug-in window's messages.
struct CheckState {
  int32_t stage = kIdle;
  HWND window = nullptr;
  HANDLE lookup = nullptr;
  SOCKET socket = INVALID_SOCKET;
  uint16_t events = 0;
  uint32_t received = 0;
  bool winsock = false;
  char buffer[kVersionBufferBytes + 1] = {};
  char host[MAXGETHOSTSTRUCT] = {};
};

std::unique_ptr<CheckState> g_check;
bool g_verbose = false;  // set by the manual command for the life of the library
bool g_checkedThisProcess = false;

uint32_t NowHigh() {
  FILETIME now;
  GetSystemTimeAsFileTime(&now);
  return now.dwHighDateTime;
}

// Written under the main key of the machine and of the user; failures do not matter.
void StoreTime(const char16_t* name, uint32_t value) {
  SettingsStore* store = Library().store.get();
  if (!store) return;
  for (StoreRoot root : {StoreRoot::kMachine, StoreRoot::kUser}) {
    if (auto key = store->Open(root, kMainKeyPath, KeyAccess::kCreateForWriting))
      WriteDword(key.get(), name, value);
  }
}

// Failures are told only after a manual check in this process.
template <typename... Args>
void Tell(HWND window, const char* format, Args... args) {
  if (g_verbose) ShowMessage(window, 0, format, args...);
}

void CloseSocket(CheckState* check) {
  if (check->socket == INVALID_SOCKET) return;
  shutdown(check->socket, SD_SEND);
  closesocket(check->socket);
  check->socket = INVALID_SOCKET;
}

void EndCheck() {
  if (!g_check) return;
  if (g_check->lookup) WSACancelAsyncRequest(g_check->lookup);
  CloseSocket(g_check.get());
  if (g_check->winsock) WSACleanup();
  g_check.reset();
}

INT_PTR CALLBACK NewVersionProcedure(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
  auto* viewer = reinterpret_cast<ViewerInstance*>(GetWindowLongPtrW(dialog, DWLP_USER));
  switch (message) {
    case WM_INITDIALOG:
      SetWindowLongPtrW(dialog, DWLP_USER, lParam);
      viewer = reinterpret_cast<ViewerInstance*>(lParam);
      CheckDlgButton(dialog, kNewVersionBox, viewer->prefs.autoUpdate ? BST_CHECKED : BST_UNCHECKED);
      SendDlgItemMessageW(dialog, kQuestionIcon, STM_SETICON,
                          reinterpret_cast<WPARAM>(LoadIconW(nullptr, IDI_QUESTION)), 0);
      return TRUE;
    case WM_COMMAND:
      if (LOWORD(wParam) == IDYES || LOWORD(wParam) == IDNO) {
        viewer->prefs.autoUpdate = IsDlgButtonChecked(dialog, kNewVersionBox) == BST_CHECKED;
        if (SettingsStore* store = Library().store.get())
          WriteUserDword(store, u"autoupdate", static_cast<uint32_t>(viewer->prefs.autoUpdate));
        EndDialog(dialog, LOWORD(wParam));
        return TRUE;
      }
      if (LOWORD(wParam) == IDCANCEL) {
        EndDialog(dialog, IDNO);
        return TRUE;
      }
      return FALSE;
    default:
      return FALSE;
  }
}

void Evaluate(ViewerInstance* viewer, HWND window, const CheckState& check) {
  const VersionAnswer answer = ReadVersionAnswer(check.buffer, check.received);
  if (!answer.wellFormed) {
    Tell(window, "Bad data received from update server");
    return;
  }
  Library().lastChecked = NowHigh();
  StoreTime(u"updatelastchecked", Library().lastChecked);
  if (answer.version > kThisBuild) {
    if (DialogBoxParamW(WindowLib().module, L"DLGNEWVERS", window, NewVersionProcedure,
                        reinterpret_cast<LPARAM>(viewer)) == IDYES)
      OpenAddress(viewer, answer.page.c_str(), answer.window.c_str());
  } else if (g_verbose) {
    ShowMessage(window, 0x40, "You are using the latest version of Mervane.");
  }
}

// One recv into the rest of the buffer: 0 after a failure, else 1 plus the bytes that came.
int Receive(CheckState* check, HWND window) {
  const int room = static_cast<int>(kVersionBufferBytes - check->received);
  if (room <= 0) return 1;
  const int got = recv(check->socket, check->buffer + check->received, room, 0);
  if (got == SOCKET_ERROR) {
    const int error = WSAGetLastError();
    if (error == kWouldBlock) return 1;
    Tell(window, "recv: Error %d", error);
    return 0;
  }
  check->received += static_cast<uint32_t>(got);
  return 1 + got;
}

int StartVersionCheck(ViewerInstance* viewer) {
  HWND window = static_cast<HWND>(viewer->pluginWindow);
  if (IsRestricted(viewer, kRestrictUpdateCheck) || !window) return 0;
  // A check under way is begun again; its old handle and socket are then ignored.
  EndCheck();
  g_check = std::make_unique<CheckState>();
  g_check->window = window;
  Library().lastAttempt = NowHigh();
  StoreTime(u"updatelastattempt", Library().lastAttempt);
  WSADATA data;
  if (const int error = WSAStartup(MAKEWORD(2, 0), &data); error != 0) {
    Tell(window, "Error (%d) initializing Winsock; can\u2019t check for new version", error);
    g_check.reset();
    return 0;
  }
  g_check->winsock = true;
  const std::string host = ToSystemCodePage(Library().updateServer);
  g_check->lookup =
      WSAAsyncGetHostByName(window, kHostLookupMessage, host.c_str(), g_check->host, sizeof g_check->host);
  g_check->stage = kLookingUp;
  if (!g_check->lookup) Tell(window, "Error %d looking up hostname", WSAGetLastError());
  return 1;
}

}  // namespace

void ArmVersionCheck(ViewerInstance* viewer) {
  const LibraryValues& library = Library();
  HWND window = static_cast<HWND>(viewer->pluginWindow);
  // Without a settings store the attempt could not be remembered, and every
  // process would ask again.
  if (window && library.store && viewer->prefs.autoUpdate &&
      IsCheckDue(NowHigh(), library.updateInterval, library.updateRetry, library.lastChecked,
                 library.lastAttempt))
    SetTimer(window, kCheckTimer, kCheckDelay, nullptr);
}

int OnVersionCheckTimer(ViewerInstance* viewer, HWND window, UINT_PTR timer) {
  if (timer != kCheckTimer) return 0;
  KillTimer(window, kCheckTimer);
  const LibraryValues& library = Library();
  if (viewer->prefs.autoUpdate && !g_checkedThisProcess &&
      IsCheckDue(NowHigh(), library.updateInterval, library.updateRetry, library.lastChecked,
                 library.lastAttempt)) {
    g_checkedThisProcess = true;
    StartVersionCheck(viewer);
  }
  return 1;
}

int OnHostLookup(ViewerInstance*, HWND window, WPARAM handle, LPARAM event) {
  if (!g_check || reinterpret_cast<HANDLE>(handle) != g_check->lookup) return 1;
  g_check->lookup = nullptr;
  if (const int error = WSAGETASYNCERROR(event)) {
    Tell(window, "Error %d looking up hostname", error);
    return 0;
  }
  const auto* entry = reinterpret_cast<const hostent*>(g_check->host);
  sockaddr_in address{};
  address.sin_family = AF_INET;
  address.sin_port = htons(kHttpPort);
  if (!entry->h_addr_list || !entry->h_addr_list[0]) {
    Tell(window, "Error %d looking up hostname", WSANO_DATA);
    return 0;
  }
  std::memcpy(&address.sin_addr, entry->h_addr_list[0],
              std::min<size_t>(static_cast<size_t>(entry->h_length), sizeof address.sin_addr));
  g_check->socket = socket(AF_INET, SOCK_STREAM, 0);
  if (g_check->socket == INVALID_SOCKET) {
    Tell(window, "socket: Error %d", WSAGetLastError());
    return 0;
  }
  g_check->stage = kConnecting;
  g_check->events = 0;
  if (WSAAsyncSelect(g_check->socket, window, kSocketMessage, kWatchedEvents) != 0)
    Tell(window, "WSAAsyncSelect: Error %d", WSAGetLastError());
  if (connect(g_check->socket, reinterpret_cast<const sockaddr*>(&address), sizeof address) != 0) {
    if (const int error = WSAGetLastError(); error != kWouldBlock) Tell(window, "connect: Error %d", error);
  }
  return 0;
}

int OnSocketEvent(ViewerInstance* viewer, HWND window, WPARAM socketId, LPARAM event) {
  if (!g_check || static_cast<SOCKET>(socketId) != g_check->socket) return 1;
  if (const int error = WSAGETSELECTERROR(event)) {
    Tell(window, "WSAAsyncSelect: Error %d", error);
    return 0;
  }
  CheckState& check = *g_check;
  check.events |= static_cast<uint16_t>(WSAGETSELECTEVENT(event));
  if (check.events & kEventConnect) {
    check.events &= ~kEventConnect;
    if (check.stage == kConnecting) check.stage = kConnected;
  }
  if ((check.events & kEventWrite) && check.stage >= kConnected) {
    check.events &= ~kEventWrite;
    const std::string request = VersionRequest(Library().updateResource);
    if (send(check.socket, request.data(), static_cast<int>(request.size()), 0) == SOCKET_ERROR) {
      if (const int error = WSAGetLastError(); error != kWouldBlock) Tell(window, "send: Error %d", error);
    }
  }
  if ((check.events & kEventRead) && check.stage >= kConnected) {
    check.events &= ~kEventRead;
    if (!Receive(&check, window)) return 0;
  }
  // A full buffer ends the exchange as the server's close would: whatever
  // follows cannot be kept, and a server that never stops must not hold it.
  if ((check.events & kEventClose) || check.received >= kVersionBufferBytes) {
    check.events &= ~kEventClose;
    while (check.received < kVersionBufferBytes && Receive(&check, window) > 1) {
    }
    check.buffer[check.received] = 0;
    // The state goes first: the dialog's message loop may bring more notifications.
    std::unique_ptr<CheckState> ended = std::move(g_check);
    CloseSocket(ended.get());
    if (ended->winsock) WSACleanup();
    Evaluate(viewer, window, *ended);
  }
  return 0;
}

int CheckVersionNow(ViewerInstance* viewer, int manual) {
  if (manual) g_verbose = true;
  return StartVersionCheck(viewer);
}

void CancelVersionCheck() { EndCheck(); }

void CancelVersionCheckOf(HWND window) {
  if (g_check && g_check->window == window) EndCheck();
}

void ResetVersionCheck() {
  EndCheck();
  g_verbose = false;
  g_checkedThisProcess = false;
}
