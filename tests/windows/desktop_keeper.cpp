// Keeps the Wine desktop of a test run alive from its start to its end.
//
// Wine's desktop process (explorer.exe) ends a moment after the last program
// on the desktop has gone, and the next program with a window starts it again
// as its own child, handing it that program's output pipes. The desktop then
// outlives the program and holds its output open, so ctest waits for the
// test until its timeout although the test has passed. Started first, with
// its own output going nowhere, this hidden window keeps one desktop for the
// whole run; it answers messages sent to every window (the setting-change
// broadcast of the desktop background) and ends when the server is stopped.
// It prints "ready" once its window, and with it the desktop, exists.
#include <windows.h>

#include <cstdio>

int main() {
  HWND window = CreateWindowExW(0, L"STATIC", L"desktop keeper", WS_POPUP, 0, 0, 1, 1, nullptr, nullptr,
                                GetModuleHandleW(nullptr), nullptr);
  if (!window) return 1;
  std::puts("ready");
  std::fflush(stdout);
  MSG message;
  while (GetMessageW(&message, nullptr, 0, 0) > 0) DispatchMessageW(&message);
  return 0;
}
