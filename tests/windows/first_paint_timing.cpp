// Timing harness, run by hand under Wine (see bench/README.md): from the end
// of a document's stream to the end of the first page's first paint in a
// window with the toolbar, against LoadPage plus ScaleForDisplay of the same
// page to the same size in the same process. Both are timed inside the
// process with the performance counter; the medians are printed.
//
// usage: first_paint_timing DOCUMENT.tif [RUNS]
#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <vector>

#include "document/page_loader.h"
#include "document/scale_for_display.h"
#include "plugin/instance_bridge.h"
#include "viewer/library.h"
#include "viewer/library_win.h"
#include "viewer/viewer_instance.h"

namespace {

double Now() {
  static LARGE_INTEGER frequency = [] {
    LARGE_INTEGER f;
    QueryPerformanceFrequency(&f);
    return f;
  }();
  LARGE_INTEGER counter;
  QueryPerformanceCounter(&counter);
  return static_cast<double>(counter.QuadPart) * 1000.0 / static_cast<double>(frequency.QuadPart);
}

void Pump() {
  MSG message;
  while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
    TranslateMessage(&message);
    DispatchMessageW(&message);
  }
}

double Median(std::vector<double> values) {
  std::sort(values.begin(), values.end());
  return values.empty() ? 0 : values[values.size() / 2];
}

std::vector<uint8_t> ReadAll(const char* path) {
  std::vector<uint8_t> bytes;
  if (FILE* f = fopen(path, "rb")) {
    uint8_t block[65536];
    size_t n;
    while ((n = fread(block, 1, sizeof(block), f)) > 0) bytes.insert(bytes.end(), block, block + n);
    fclose(f);
  }
  return bytes;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 2) {
    fprintf(stderr, "usage: first_paint_timing DOCUMENT.tif [RUNS]\n");
    return 2;
  }
  const std::vector<uint8_t> bytes = ReadAll(argv[1]);
  const int runs = argc > 2 ? std::max(1, atoi(argv[2])) : 21;
  if (bytes.empty()) {
    fprintf(stderr, "cannot read %s\n", argv[1]);
    return 2;
  }
  StartLibrary(kLibraryPlugin, nullptr);
  StartWindowLibrary(GetModuleHandleW(nullptr));
  WNDCLASSW host{};
  host.lpfnWndProc = DefWindowProcW;
  host.hInstance = GetModuleHandleW(nullptr);
  host.lpszClassName = L"MervaneTimingHost";
  RegisterClassW(&host);
  HWND window = CreateWindowExW(0, host.lpszClassName, L"plug-in", WS_POPUP | WS_VISIBLE, 0, 0, 1000, 800,
                                nullptr, nullptr, host.hInstance, nullptr);
  std::vector<double> firstPaint, streamEnd, floor;
  int32_t width = 0, height = 0;
  for (int run = 0; run < runs; ++run) {
    ViewerInstance* viewer = nullptr;
    if (CreateInstance(&viewer, kModeEmbedded, nullptr, 0, nullptr, nullptr) != kStatusDone) return 1;
    SetWindow(viewer, window);
    Pump();
    NPStream stream{};
    BeginStream(viewer, &stream, u"http://127.0.0.1/a4.tif", u"image/tiff",
                static_cast<uint32_t>(bytes.size()));
    WriteData(viewer, &stream, 0, static_cast<int32_t>(bytes.size()), bytes.data());
    Pump();
    const double start = Now();
    EndStream(viewer, &stream, NPRES_DONE);
    streamEnd.push_back(Now() - start);
    RedrawWindow(window, nullptr, nullptr, RDW_UPDATENOW | RDW_ALLCHILDREN);
    firstPaint.push_back(Now() - start);
    width = viewer->view.mainView.width;
    height = viewer->view.mainView.height;

    // The floor: the same page decoded and scaled to the same size.
    PageInfo info;
    ResetPageInfo(&info);
    PageBitmap page, scaled;
    MessageLog log;
    InitLog(&log);
    const double floorStart = Now();
    LoadPage(&viewer->download.document, viewer->download.currentDirectory, nullptr, &info, &page, &log);
    ScaleForDisplay(&viewer->settings.raster, &log, &page, &scaled, width, height, 0);
    floor.push_back(Now() - floorStart);
    ReleasePageBitmap(&page);
    ReleasePageBitmap(&scaled);
    ReleasePageInfo(&info);
    ResetLog(&log);
    SetWindow(viewer, nullptr);
    DestroyInstance(&viewer);
    Pump();
  }
  const double paint = Median(firstPaint), base = Median(floor);
  printf("view %dx%d, %d runs\n", width, height, runs);
  printf("stream end to first paint: median %.2f ms\n", paint);
  printf("  of which the stream's end (directory, page, layout): median %.2f ms\n", Median(streamEnd));
  printf("LoadPage + ScaleForDisplay: median %.2f ms\n", base);
  printf("ratio %.2f (target 1.5): %s\n", paint / base, paint <= 1.5 * base ? "met" : "MISSED");
  DestroyWindow(window);
  StopWindowLibrary();
  StopLibrary();
  return 0;
}
