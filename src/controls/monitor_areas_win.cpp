#include "controls/monitor_areas_win.h"

namespace {

using MonitorFromPointProc = HMONITOR(WINAPI*)(POINT, DWORD);
using MonitorFromRectProc = HMONITOR(WINAPI*)(LPCRECT, DWORD);
using MonitorFromWindowProc = HMONITOR(WINAPI*)(HWND, DWORD);
using GetMonitorInfoProc = BOOL(WINAPI*)(HMONITOR, LPMONITORINFO);
using EnumDisplayMonitorsProc = BOOL(WINAPI*)(HDC, LPCRECT, MONITORENUMPROC, LPARAM);
using EnumDisplayDevicesProc = BOOL(WINAPI*)(LPCWSTR, DWORD, PDISPLAY_DEVICEW, DWORD);

struct MonitorFunctions {
  MonitorFromPointProc fromPoint = nullptr;
  MonitorFromRectProc fromRect = nullptr;
  MonitorFromWindowProc fromWindow = nullptr;
  GetMonitorInfoProc info = nullptr;
  EnumDisplayMonitorsProc enumMonitors = nullptr;
  EnumDisplayDevicesProc enumDevices = nullptr;
  bool complete = false;
};

template <typename Proc>
void Find(HMODULE user, const char* name, Proc* proc) {
  *proc = reinterpret_cast<Proc>(reinterpret_cast<void*>(GetProcAddress(user, name)));
}

// Every one of them or none: a system with only some is treated as one
// without monitors.
const MonitorFunctions& Monitors() {
  static const MonitorFunctions functions = [] {
    MonitorFunctions f;
    HMODULE user = GetModuleHandleW(L"user32.dll");
    if (!user) return f;
    Find(user, "MonitorFromPoint", &f.fromPoint);
    Find(user, "MonitorFromRect", &f.fromRect);
    Find(user, "MonitorFromWindow", &f.fromWindow);
    Find(user, "GetMonitorInfoW", &f.info);
    Find(user, "EnumDisplayMonitors", &f.enumMonitors);
    Find(user, "EnumDisplayDevicesW", &f.enumDevices);
    f.complete = f.fromPoint && f.fromRect && f.fromWindow && f.info && f.enumMonitors && f.enumDevices;
    return f;
  }();
  return functions;
}

ScreenRect FromRect(const RECT& r) { return {r.left, r.top, r.right, r.bottom}; }

ScreenRect SystemArea(int full) {
  RECT r{0, 0, GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN)};
  if (full) {
    if (HWND desktop = GetDesktopWindow()) GetWindowRect(desktop, &r);
  } else {
    SystemParametersInfoW(SPI_GETWORKAREA, 0, &r, 0);
  }
  return FromRect(r);
}

HMONITOR ChosenMonitor(const MonitorFunctions& f, const MonitorChoice& choice, HWND window) {
  switch (choice.query) {
    case kAreaNearPoint:
      return f.fromPoint(POINT{choice.point.x, choice.point.y}, MONITOR_DEFAULTTONEAREST);
    case kAreaNearWindow:
      return window ? f.fromWindow(window, MONITOR_DEFAULTTONEAREST) : nullptr;
    case kAreaDesktop:
    default:
      return nullptr;
  }
}

}  // namespace

ScreenRect MonitorArea(const MonitorChoice& choice, int full, HWND window) {
  const MonitorFunctions& f = Monitors();
  if (!f.complete) return SystemArea(full);
  HMONITOR monitor = ChosenMonitor(f, choice, window);
  MONITORINFO info{};
  info.cbSize = sizeof(info);
  if (!monitor || !f.info(monitor, &info)) return SystemArea(full);
  return FromRect(full ? info.rcMonitor : info.rcWork);
}

ScreenRect VirtualDesktop() {
  const int w = GetSystemMetrics(SM_CXVIRTUALSCREEN), h = GetSystemMetrics(SM_CYVIRTUALSCREEN);
  if (w <= 0 || h <= 0) return SystemArea(1);
  const int x = GetSystemMetrics(SM_XVIRTUALSCREEN), y = GetSystemMetrics(SM_YVIRTUALSCREEN);
  return {x, y, x + w, y + h};
}

std::vector<IntPoint> OtherMonitorCorners(size_t most) {
  std::vector<IntPoint> corners;
  const MonitorFunctions& f = Monitors();
  if (!f.complete) return corners;
  struct Gathering {
    const MonitorFunctions* functions;
    std::vector<IntPoint>* corners;
    size_t most;
  } gathering{&f, &corners, most};
  f.enumMonitors(
      nullptr, nullptr,
      [](HMONITOR monitor, HDC, LPRECT, LPARAM data) -> BOOL {
        auto* g = reinterpret_cast<Gathering*>(data);
        MONITORINFO info{};
        info.cbSize = sizeof(info);
        if (g->functions->info(monitor, &info) && !(info.dwFlags & MONITORINFOF_PRIMARY))
          g->corners->push_back({info.rcMonitor.left, info.rcMonitor.top});
        return g->corners->size() < g->most;
      },
      reinterpret_cast<LPARAM>(&gathering));
  return corners;
}
