// Closes message boxes of another program from outside, as a user would, and
// tells what they said: for programs whose boxes a test cannot reach from
// inside (the 32-bit launcher).
//
// usage: window_closer CAPTION STOP_FILE SECONDS [watch]
// Prints "ready" once it looks. Until STOP_FILE exists or SECONDS pass, every
// visible top-level window titled CAPTION is answered with OK and printed as
// "box <UTF-16LE hex of its text>"; the last line is "closed <count>". With
// "watch" the windows are only counted, not answered, and looked for more
// often, to catch windows that are up only for a moment. A box still up 5 s
// after its answer is answered again (not printed again): an answer that
// reached a box before its dialog loop ran must not leave it open for good.
#include <windows.h>

#include <cstdio>
#include <cwchar>
#include <map>
#include <set>
#include <string>

namespace {

struct Search {
  const wchar_t* caption;
  HWND found;
  const std::set<HWND>* done;
};

BOOL CALLBACK Visit(HWND window, LPARAM data) {
  auto* search = reinterpret_cast<Search*>(data);
  wchar_t caption[256] = {};
  GetWindowTextW(window, caption, 256);
  if (IsWindowVisible(window) && std::wcscmp(caption, search->caption) == 0 && !search->done->count(window)) {
    search->found = window;
    return FALSE;
  }
  return TRUE;
}

std::string Hex(const wchar_t* text) {
  std::string hex;
  char digits[8];
  for (const wchar_t* c = text; *c; ++c) {
    std::snprintf(digits, sizeof digits, "%02x%02x", static_cast<unsigned>(*c & 0xFF),
                  static_cast<unsigned>(*c >> 8));
    hex += digits;
  }
  return hex;
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
  if (argc != 4 && !(argc == 5 && std::wcscmp(argv[4], L"watch") == 0)) {
    std::fprintf(stderr, "usage: window_closer CAPTION STOP_FILE SECONDS [watch]\n");
    return 2;
  }
  const bool watchOnly = argc == 5;
  std::printf("ready\n");
  std::fflush(stdout);
  const ULONGLONG deadline = GetTickCount64() + static_cast<ULONGLONG>(_wtoi(argv[3])) * 1000;
  std::set<HWND> done;
  std::map<HWND, ULONGLONG> answered;
  while (GetTickCount64() < deadline && GetFileAttributesW(argv[2]) == INVALID_FILE_ATTRIBUTES) {
    Search search = {argv[1], nullptr, &done};
    EnumWindows(Visit, reinterpret_cast<LPARAM>(&search));
    for (auto& [window, when] : answered) {
      if (IsWindow(window) && GetTickCount64() - when > 5000) {
        PostMessageW(window, WM_COMMAND, IDOK, 0);
        when = GetTickCount64();
      }
    }
    if (!search.found) {
      Sleep(watchOnly ? 5 : 100);
      continue;
    }
    if (watchOnly) {
      done.insert(search.found);
      continue;
    }
    Sleep(200);  // let the box finish drawing its text
    wchar_t text[2048] = {};
    GetDlgItemTextW(search.found, 0xFFFF, text, 2048);
    std::printf("box %s\n", Hex(text).c_str());
    std::fflush(stdout);
    PostMessageW(search.found, WM_COMMAND, IDOK, 0);
    done.insert(search.found);
    answered[search.found] = GetTickCount64();
  }
  std::printf("closed %zu\n", done.size());
  return 0;
}
