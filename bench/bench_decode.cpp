// Page decoding: LoadPage against the libtiff floor (every strip decoded into
// one buffer, no conversion) and against TIFFReadRGBAImage, for each A4 page,
// with LoadPage's peak heap.
#include <benchmark/benchmark.h>

#include <cstdio>
#include <string>

#include "a4_pages.h"
#include "document/page_directory.h"
#include "document/page_loader.h"
#include "heap_counter.h"
#include "page_decoders.h"
#include "ratio_report.h"

namespace {

void Floor(benchmark::State& state, PageKind kind) {
  const A4Page& page = PageOf(kind);
  std::vector<uint8_t> buffer;
  for (auto _ : state) {
    if (!DecodeFloor(page, &buffer)) state.SkipWithError("libtiff could not decode the page");
    benchmark::DoNotOptimize(buffer.data());
  }
  // What libtiff itself allocates for one decode (the buffer exists already).
  StartHeapCount();
  DecodeFloor(page, &buffer);
  state.counters["heap_MiB"] = double(StopHeapCount()) / 1048576;
}

void Rgba(benchmark::State& state, PageKind kind) {
  const A4Page& page = PageOf(kind);
  std::vector<uint32_t> raster;
  for (auto _ : state) {
    if (!DecodeRgba(page, &raster)) state.SkipWithError("TIFFReadRGBAImage failed");
    benchmark::DoNotOptimize(raster.data());
  }
  StartHeapCount();
  DecodeRgba(page, &raster);
  state.counters["heap_MiB"] = double(StopHeapCount()) / 1048576;
}

void Load(benchmark::State& state, PageKind kind) {
  const A4Page& page = PageOf(kind);
  Document document;
  PointAtMemory(&document, page.bytes.data(), static_cast<uint32_t>(page.bytes.size()));
  MessageLog log;
  if (!ReadPageDirectory(&document, &log)) {
    state.SkipWithError("the page directory could not be read");
    return;
  }
  PageLoadOptions options;
  PageInfo info;
  PageBitmap bitmap;

  // Peak heap of one load, against the bitmap block, two strips and 1 MiB.
  StartHeapCount();
  const int loaded = LoadPage(&document, 0, &options, &info, &bitmap, &log);
  const int64_t peak = StopHeapCount();
  if (!loaded) {
    state.SkipWithError("LoadPage failed");
    return;
  }
  const double limit = double(bitmap.blockSize) + 2.0 * double(LargestStrip(page)) + 1048576.0;
  ReleasePageBitmap(&bitmap);
  ReleasePageInfo(&info);

  for (auto _ : state) {
    ResetLog(&log);
    if (!LoadPage(&document, 0, &options, &info, &bitmap, &log)) state.SkipWithError("LoadPage failed");
    benchmark::DoNotOptimize(bitmap.pixels);
    ReleasePageBitmap(&bitmap);
    ReleasePageInfo(&info);
  }
  state.counters["peak_heap_MiB"] = double(peak) / 1048576;
  state.counters["heap_limit_MiB"] = limit / 1048576;
  state.counters["heap_ok"] = double(peak) <= limit ? 1 : 0;
}

// Pages whose decode needs no per-pixel colour conversion of our own must
// come within 15 % of the floor; the JPEG colour page converts.
double LoadTarget(PageKind kind) { return kind == PageKind::kRgbJpeg ? 2.0 : 1.15; }

int Register() {
  for (PageKind kind : kAllPages) {
    const std::string name = PageOf(kind).name;
    benchmark::RegisterBenchmark(("Floor/" + name).c_str(), Floor, kind)->Unit(benchmark::kMillisecond);
    benchmark::RegisterBenchmark(("RGBA/" + name).c_str(), Rgba, kind)->Unit(benchmark::kMillisecond);
    AddRatio({"TIFFReadRGBAImage / floor, " + name, {"RGBA/" + name}, "Floor/" + name, 0});
    benchmark::RegisterBenchmark(("LoadPage/" + name).c_str(), Load, kind)->Unit(benchmark::kMillisecond);
    AddRatio({"LoadPage / floor, " + name, {"LoadPage/" + name}, "Floor/" + name, LoadTarget(kind)});
    AddRatio({"LoadPage / TIFFReadRGBAImage, " + name, {"LoadPage/" + name}, "RGBA/" + name, 0});
  }
  return 0;
}

}  // namespace

// The pages themselves, once, before the timings.
void DescribePages() {
  printf("%-14s %11s %10s %16s\n", "Page", "Size", "File KiB", "Largest strip KiB");
  for (PageKind kind : kAllPages) {
    const A4Page& page = PageOf(kind);
    printf("%-14s %5u x %4u %10.0f %16.0f\n", page.name.c_str(), page.width, page.height,
           double(page.bytes.size()) / 1024, double(LargestStrip(page)) / 1024);
  }
  printf("\n");
}

int main(int argc, char** argv) {
  DescribePages();
  Register();
  return RunBenchmarksWithRatios(argc, argv);
}
