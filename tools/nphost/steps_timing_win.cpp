// A timing harness inside the browser's process: how long a window of the
// plug-in takes from a pointer move to its finished repaint, against one
// StretchDIBits of the window's size from an A4 page at 300 dpi enlarged 16
// times, the least any enlarged repaint of that window must cost. A benchmark
// to run by hand (bench/README.md), never an expectation of a test.
#include <algorithm>
#include <cstdlib>
#include <vector>

#include "tools/nphost/test_browser_win.h"

namespace {

constexpr int kA4Width = 2480, kA4Height = 3508;  // 210 x 297 mm at 300 dpi
constexpr int kEnlargement = 16;

double Now() {
  static LARGE_INTEGER frequency = [] {
    LARGE_INTEGER f;
    QueryPerformanceFrequency(&f);
    return f;
  }();
  LARGE_INTEGER count;
  QueryPerformanceCounter(&count);
  return static_cast<double>(count.QuadPart) * 1e6 / static_cast<double>(frequency.QuadPart);
}

double Median(std::vector<double> values) {
  if (values.empty()) return 0;
  std::sort(values.begin(), values.end());
  return values[values.size() / 2];
}

// A pointer wandering over the client area a few pixels at a time, as a hand
// moves it, turning at the borders.
POINT PathPoint(int i, int width, int height) {
  const int spanX = std::max(width - 64, 1), spanY = std::max(height - 64, 1);
  const int x = (i * 3) % (2 * spanX), y = (i * 2) % (2 * spanY);
  return {32 + (x < spanX ? x : 2 * spanX - x), 32 + (y < spanY ? y : 2 * spanY - y)};
}

// A bilevel A4 page with lines of "text": dark runs on white.
struct A4Page {
  struct {
    BITMAPINFOHEADER header;
    RGBQUAD colours[2];
  } info{};
  std::vector<unsigned char> bits;
  A4Page() {
    info.header = {sizeof(BITMAPINFOHEADER), kA4Width, kA4Height, 1, 1, BI_RGB, 0, 11811, 11811, 2, 2};
    info.colours[0] = {0, 0, 0, 0};
    info.colours[1] = {255, 255, 255, 0};
    const int stride = (kA4Width + 31) / 32 * 4;
    bits.assign(static_cast<size_t>(stride) * kA4Height, 0xFF);
    for (int y = 0; y < kA4Height; ++y) {
      if (y % 50 > 30) continue;
      for (int x = 0; x < stride; ++x) {
        if ((x * 7 + y / 50) % 5 == 0) bits[static_cast<size_t>(y) * stride + x] = 0x00;
      }
    }
  }
};

double StretchFloor(HWND window, int width, int height, int count) {
  static const A4Page page;
  std::vector<double> times;
  HDC dc = GetDC(window);
  for (int i = 0; i < count; ++i) {
    const POINT at = PathPoint(i, width, height);
    const int sx = at.x * (kA4Width - width / kEnlargement) / std::max(width, 1);
    const int sy = at.y * (kA4Height - height / kEnlargement) / std::max(height, 1);
    const double start = Now();
    StretchDIBits(dc, 0, 0, width, height, sx, kA4Height - sy - height / kEnlargement, width / kEnlargement,
                  height / kEnlargement, page.bits.data(), reinterpret_cast<const BITMAPINFO*>(&page.info),
                  DIB_RGB_COLORS, SRCCOPY);
    GdiFlush();
    times.push_back(Now() - start);
  }
  ReleaseDC(window, dc);
  return Median(times);
}

}  // namespace

void Browser::TimePointer(const Step& step) {
  HWND target = Target(step);
  if (!target) return Fail(step, "no such window");
  const int moves = std::max(std::atoi(step.Get("moves", "200").c_str()), 1);
  RECT client;
  GetClientRect(target, &client);
  Pump(0);
  std::vector<double> times;
  for (int i = 0; i < moves && IsWindow(target); ++i) {
    const POINT at = PathPoint(i, client.right, client.bottom);
    const double start = Now();
    SendMessageW(target, WM_MOUSEMOVE, 0, MAKELPARAM(at.x, at.y));
    UpdateWindow(target);
    GdiFlush();
    times.push_back(Now() - start);
  }
  if (!IsWindow(target)) return Fail(step, "the window went away");
  const double move = Median(times), floor = StretchFloor(target, client.right, client.bottom, moves);
  Observe("time-pointer",
          {{"moves", Number(moves)},
           {"width", Number(client.right)},
           {"height", Number(client.bottom)},
           {"move_us", Number(static_cast<long long>(move))},
           {"stretch_us", Number(static_cast<long long>(floor))},
           {"ratio_percent", Number(static_cast<long long>(floor > 0 ? move * 100 / floor : 0))}});
}
