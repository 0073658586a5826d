// The display scaler with smoothing: an A4 page shown 1000 pixels high,
// against decoding the same page.
#include <benchmark/benchmark.h>

#include "a4_pages.h"
#include "document/page_directory.h"
#include "document/page_loader.h"
#include "document/scale_for_display.h"
#include "page_decoders.h"
#include "ratio_report.h"

namespace {

constexpr int32_t kShownHeight = 1000;

void Floor(benchmark::State& state, PageKind kind, bool rgb) {
  const A4Page& page = PageOf(kind);
  std::vector<uint8_t> buffer;
  for (auto _ : state) {
    if (!DecodeFloor(page, &buffer, rgb)) state.SkipWithError("libtiff could not decode the page");
    benchmark::DoNotOptimize(buffer.data());
  }
}

void Scale(benchmark::State& state, PageKind kind, int smooth) {
  const A4Page& page = PageOf(kind);
  PageBitmap source, target;
  const bool built = kind == PageKind::kRgbJpeg ? ColourBitmap(page, &source) : BilevelBitmap(page, &source);
  if (!built) {
    state.SkipWithError("the page could not be decoded");
    return;
  }
  const auto width =
      static_cast<int32_t>((int64_t{page.width} * kShownHeight + page.height / 2) / page.height);
  RasterSettings settings;
  settings.resample = smooth;
  MessageLog log;
  for (auto _ : state) {
    if (!ScaleForDisplay(&settings, &log, &source, &target, width, kShownHeight, 0))
      state.SkipWithError("ScaleForDisplay failed");
    benchmark::DoNotOptimize(target.pixels);
    ReleasePageBitmap(&target);
  }
  ReleasePageBitmap(&source);
}

void Load(benchmark::State& state, PageKind kind) {
  const A4Page& page = PageOf(kind);
  Document document;
  PointAtMemory(&document, page.bytes.data(), static_cast<uint32_t>(page.bytes.size()));
  MessageLog log;
  ReadPageDirectory(&document, &log);
  PageLoadOptions options;
  PageInfo info;
  PageBitmap bitmap;
  for (auto _ : state) {
    ResetLog(&log);
    if (!LoadPage(&document, 0, &options, &info, &bitmap, &log)) state.SkipWithError("LoadPage failed");
    benchmark::DoNotOptimize(bitmap.pixels);
    ReleasePageBitmap(&bitmap);
    ReleasePageInfo(&info);
  }
}

int Register() {
  auto ms = [](benchmark::internal::Benchmark* b) { b->Unit(benchmark::kMillisecond); };
  ms(benchmark::RegisterBenchmark("Floor/G4", Floor, PageKind::kBilevelG4, false));
  ms(benchmark::RegisterBenchmark("Scale/G4 page to 1000 high", Scale, PageKind::kBilevelG4, 1));
  ms(benchmark::RegisterBenchmark("Unsmoothed/G4 page to 1000 high", Scale, PageKind::kBilevelG4, 0));
  ms(benchmark::RegisterBenchmark("Floor/RGB JPEG", Floor, PageKind::kRgbJpeg, false));
  ms(benchmark::RegisterBenchmark("Decode to RGB/RGB JPEG", Floor, PageKind::kRgbJpeg, true));
  ms(benchmark::RegisterBenchmark("Scale/RGB JPEG page to 1000 high", Scale, PageKind::kRgbJpeg, 1));
  ms(benchmark::RegisterBenchmark("Unsmoothed/RGB JPEG page to 1000 high", Scale, PageKind::kRgbJpeg, 0));
  AddRatio({"Scale bilevel / its G4 decode (floor)", {"Scale/G4 page to 1000 high"}, "Floor/G4", 1.0});
  AddRatio({"Scale RGB / its JPEG decode to RGB",
            {"Scale/RGB JPEG page to 1000 high"},
            "Decode to RGB/RGB JPEG",
            1.0});
  AddRatio(
      {"Scale RGB / its JPEG floor (raw YCbCr)", {"Scale/RGB JPEG page to 1000 high"}, "Floor/RGB JPEG", 0});
  // libvips decodes and shrinks such a page in about 7 x the G4 floor; "several
  // times faster" is taken as at most a third of that.
  ms(benchmark::RegisterBenchmark("LoadPage/G4", Load, PageKind::kBilevelG4));
  AddRatio({"LoadPage + scale, bilevel / G4 floor (libvips: ~7)",
            {"LoadPage/G4", "Scale/G4 page to 1000 high"},
            "Floor/G4",
            7.0 / 3});
  return 0;
}

}  // namespace

int main(int argc, char** argv) {
  Register();
  return RunBenchmarksWithRatios(argc, argv);
}
