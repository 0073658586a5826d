// Printing's own work per page (decode, the viewer's turn, placement, the
// sideways turn when it applies, the marks) against decoding the same pages
// alone, over a 200-page Group 4 document; and the peak heap of printing the
// whole document against printing one of its pages. The printer driver's
// StretchDIBits is Windows-only and not part of these figures.
#include <benchmark/benchmark.h>
#include <tiffio.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "a4_pages.h"
#include "analysis/page_markup.h"
#include "document/page_loader.h"
#include "heap_counter.h"
#include "output/print_page.h"
#include "output/print_placement.h"
#include "ratio_report.h"
#include "viewer/viewer_instance.h"

namespace {

constexpr int kPageCount = 200;
// Wine's PostScript printer: A4 at 300 dpi.
constexpr DeviceMetrics kA4{2330, 3358, 2480, 3508, 75, 75, 300, 300};

// The G4 page's compressed strip written again as every page of one document.
std::vector<uint8_t> BuildDocument() {
  const A4Page& page = PageOf(PageKind::kBilevelG4);
  char in[] = "/tmp/mervane-bench-in-XXXXXX", out[] = "/tmp/mervane-bench-out-XXXXXX";
  int fd = mkstemp(in);
  if (fd < 0 || write(fd, page.bytes.data(), page.bytes.size()) != static_cast<ssize_t>(page.bytes.size()))
    abort();
  close(fd);
  fd = mkstemp(out);
  if (fd < 0) abort();
  close(fd);
  TIFF* source = TIFFOpen(in, "r");
  TIFF* target = TIFFOpen(out, "w");
  if (!source || !target) abort();
  std::vector<uint8_t> strip(TIFFRawStripSize(source, 0));
  const tmsize_t size = TIFFReadRawStrip(source, 0, strip.data(), static_cast<tmsize_t>(strip.size()));
  for (int n = 0; n < kPageCount; ++n) {
    TIFFSetField(target, TIFFTAG_IMAGEWIDTH, page.width);
    TIFFSetField(target, TIFFTAG_IMAGELENGTH, page.height);
    TIFFSetField(target, TIFFTAG_BITSPERSAMPLE, 1);
    TIFFSetField(target, TIFFTAG_SAMPLESPERPIXEL, 1);
    TIFFSetField(target, TIFFTAG_COMPRESSION, COMPRESSION_CCITTFAX4);
    TIFFSetField(target, TIFFTAG_PHOTOMETRIC, PHOTOMETRIC_MINISWHITE);
    TIFFSetField(target, TIFFTAG_ROWSPERSTRIP, page.height);
    TIFFSetField(target, TIFFTAG_XRESOLUTION, 300.0f);
    TIFFSetField(target, TIFFTAG_YRESOLUTION, 300.0f);
    TIFFSetField(target, TIFFTAG_RESOLUTIONUNIT, RESUNIT_INCH);
    if (TIFFWriteRawStrip(target, 0, strip.data(), size) < 0 || !TIFFWriteDirectory(target)) abort();
  }
  TIFFClose(source);
  TIFFClose(target);
  FILE* file = fopen(out, "rb");
  std::vector<uint8_t> bytes;
  for (int c; file && (c = fgetc(file)) != EOF;) bytes.push_back(static_cast<uint8_t>(c));
  if (file) fclose(file);
  unlink(in);
  unlink(out);
  return bytes;
}

const std::vector<uint8_t>& Document200() {
  static const std::vector<uint8_t> bytes = BuildDocument();
  return bytes;
}

// A viewer with the document open and nothing decoded, every page carrying
// one white-out, turned by `orientation`.
struct PrintingViewer {
  ViewerInstance viewer;
  explicit PrintingViewer(int32_t orientation) {
    const std::vector<uint8_t>& bytes = Document200();
    PointAtMemory(&viewer.download.document, bytes.data(), static_cast<uint32_t>(bytes.size()));
    MessageLog log;
    if (!ReadPageDirectory(&viewer.download.document, &log)) abort();
    NumberPages(&viewer.download.document, &log);
    viewer.download.hasPages = 1;
    viewer.download.currentPage = -1;  // every page is decoded for the run
    viewer.settings.orientation = orientation;
    viewer.analysis.marksPresent = 1;
    for (int n = 0; n < kPageCount; ++n)
      MarkupOf(&viewer, n, 1)->whiteouts.push_back({kMarkWhiteout, {100, 100, 899, 299}});
  }
};

// What printing does with one page before the driver gets it.
int PreparePage(ViewerInstance* viewer, int32_t position, MessageLog* log) {
  PrintedPage page;
  if (!LoadPrintedPage(viewer, position, log, &page)) return 0;
  const BitmapHeader* header = HeaderOf(page.bitmap);
  const PlacedPrint place =
      PrintPlacement(header->width, header->height, header->xPixelsPerMetre, header->yPixelsPerMetre,
                     page.info->resolutionUnit, kA4, {0, 0, 1});
  if (place.rotated && !TurnPrintedPage(&page, log)) return 0;
  benchmark::DoNotOptimize(
      PrintOverlay(viewer, page, place.x, place.y, place.width, place.height, place.rotated));
  return 1;
}

void Print(benchmark::State& state, int32_t orientation) {
  PrintingViewer v(orientation);
  MessageLog log;
  StartHeapCount();
  PreparePage(&v.viewer, 0, &log);
  const int64_t onePage = StopHeapCount();
  StartHeapCount();
  for (int n = 0; n < kPageCount; ++n) PreparePage(&v.viewer, n, &log);
  const int64_t wholeDocument = StopHeapCount();
  for (auto _ : state) {
    for (int n = 0; n < kPageCount; ++n)
      if (!PreparePage(&v.viewer, n, &log)) state.SkipWithError("a page could not be prepared");
  }
  state.counters["one_page_peak_MiB"] = double(onePage) / 1048576;
  state.counters["document_peak_MiB"] = double(wholeDocument) / 1048576;
  state.counters["peak_ok"] = wholeDocument <= 2 * onePage ? 1 : 0;
}

void Decode(benchmark::State& state) {
  PrintingViewer v(0);
  MessageLog log;
  for (auto _ : state) {
    for (int n = 0; n < kPageCount; ++n) {
      PageInfo info;
      PageBitmap bitmap;
      ResetLog(&log);
      if (!LoadPage(&v.viewer.download.document, n, nullptr, &info, &bitmap, &log))
        state.SkipWithError("LoadPage failed");
      ReleasePageBitmap(&bitmap);
      ReleasePageInfo(&info);
    }
  }
}

}  // namespace

int main(int argc, char** argv) {
  benchmark::RegisterBenchmark("Decode/G4x200", Decode)->Unit(benchmark::kMillisecond);
  benchmark::RegisterBenchmark("Print/G4x200", Print, kOrientTop)->Unit(benchmark::kMillisecond);
  benchmark::RegisterBenchmark("PrintTurned/G4x200", Print, kOrientRight)->Unit(benchmark::kMillisecond);
  AddRatio({"printing / decoding, upright", {"Print/G4x200"}, "Decode/G4x200", 1.5});
  AddRatio({"printing / decoding, viewer turned right", {"PrintTurned/G4x200"}, "Decode/G4x200", 0});
  return RunBenchmarksWithRatios(argc, argv);
}
