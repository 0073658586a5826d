// The page analysis against the decode of the same page: a bilevel A4 page at
// 300 dpi with lines of text, a separator barcode, four registration marks
// and 100 answer boxes, stored as one Group 4 strip.
//   BM_DecodeGroup4Page   libtiff's TIFFReadEncodedStrip of the page (the baseline)
//   BM_BarcodeScan        DetectBarcodes over the whole page
//   BM_OmrCalibrateAndCheck100Boxes  OMRInit and 100 OMRCheck calls on a scan
//                         slightly shifted and enlarged against the form
//   BM_OmrAlignedPage     the same on a page that matches the form exactly
//   BM_BarcodeScanPerDecode, BM_OmrPerDecode  decode and analysis alternating,
//                         with their ratio as the counter "ratio"
#include <benchmark/benchmark.h>
#include <tiffio.h>

#include <array>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <random>
#include <string>
#include <vector>

#include "analysis/barcode_reader.h"
#include "analysis/code128_table.h"
#include "analysis/omr.h"
#include "document/page_bitmap.h"

namespace {

constexpr int32_t kWidth = 2480, kHeight = 3508;
// The form's reference rectangle is the page itself; marks are 80 pixels.
constexpr int32_t kMarkInset = 120, kMark = 80;
constexpr int32_t kBoxSize = 50;

void Fill(PageBitmap* page, int32_t x, int32_t y, int32_t w, int32_t h) {
  for (int32_t row = y; row < y + h; ++row) {
    uint8_t* bits = RowOf(page, static_cast<uint32_t>(kHeight - 1 - row));
    for (int32_t col = x; col < x + w; ++col) bits[col >> 3] &= static_cast<uint8_t>(~(0x80 >> (col & 7)));
  }
}

// Glyph-like strokes: each character a few bars of 3 to 4 pixels, as text
// of 10 points scans at 300 dpi. The corner quarters stay clear for the marks.
void DrawText(PageBitmap* page, std::mt19937* random) {
  for (int32_t line = 0; line < 27; ++line) {
    int32_t top = 900 + line * 50;
    for (int32_t x = 250; x < kWidth - 250; x += 26 + static_cast<int32_t>((*random)() % 6)) {
      if ((*random)() % 7 == 0) continue;  // word gap
      int32_t strokes = 1 + static_cast<int32_t>((*random)() % 3);
      for (int32_t s = 0; s < strokes; ++s) {
        if ((*random)() % 2) {
          Fill(page, x + static_cast<int32_t>((*random)() % 16), top, 4, 30);
        } else {
          Fill(page, x, top + static_cast<int32_t>((*random)() % 28), 20, 3);
        }
      }
    }
  }
}

void DrawBarcode(PageBitmap* page, const std::string& text, int32_t x, int32_t y, int32_t module) {
  std::vector<int32_t> values{kCode128StartB};
  int32_t checksum = kCode128StartB;
  for (size_t i = 0; i < text.size(); ++i) {
    values.push_back(text[i] - 32);
    checksum += static_cast<int32_t>(i + 1) * values.back();
  }
  values.push_back(checksum % 103);
  std::vector<int32_t> widths;
  for (int32_t v : values) widths.insert(widths.end(), kCode128Widths[v], kCode128Widths[v] + 6);
  widths.insert(widths.end(), kCode128Stop, kCode128Stop + 7);
  for (size_t i = 0; i < widths.size(); ++i) {
    if (i % 2 == 0) Fill(page, x, y, widths[i] * module, 150);
    x += widths[i] * module;
  }
}

// The four registration marks, their outer corners spanning the form.
void DrawMarks(PageBitmap* page) {
  Fill(page, kMarkInset, kMarkInset, kMark, kMark);
  Fill(page, kWidth - kMarkInset - kMark, kMarkInset, kMark, kMark);
  Fill(page, kWidth - kMarkInset - kMark, kHeight - kMarkInset - kMark, kMark, kMark);
  Fill(page, kMarkInset, kHeight - kMarkInset - kMark, kMark, kMark);
}

struct Page {
  PageBitmap bitmap;
  std::string tiffPath;
  std::vector<std::pair<int32_t, int32_t>> boxes;
};

Page* TestPage() {
  static Page* page = [] {
    auto* p = new Page;
    CreatePageBitmap(nullptr, nullptr, &p->bitmap, kWidth, kHeight, 1, 0);
    memset(ColourTableOf(&p->bitmap) + 4, 255, 3);
    memset(p->bitmap.pixels, 0xFF, size_t{p->bitmap.stride} * kHeight);
    std::mt19937 random(7);
    DrawText(&p->bitmap, &random);
    DrawBarcode(&p->bitmap, "SEPARATOR 0042", 900, 300, 4);
    DrawMarks(&p->bitmap);
    // Answer boxes in rows below the text.
    for (int32_t i = 0; i < 100; ++i) {
      int32_t x = 300 + (i % 20) * 95, y = 2250 + (i / 20) * 70;
      p->boxes.emplace_back(x, y);
      Fill(&p->bitmap, x, y, kBoxSize, 3);
      Fill(&p->bitmap, x, y + kBoxSize - 3, kBoxSize, 3);
      Fill(&p->bitmap, x, y, 3, kBoxSize);
      Fill(&p->bitmap, x + kBoxSize - 3, y, 3, kBoxSize);
      if (i % 3 == 0) Fill(&p->bitmap, x + 8, y + 8, kBoxSize - 16, kBoxSize - 16);
    }
    const char* folder = getenv("TMPDIR");
    p->tiffPath = std::string(folder && *folder ? folder : "/tmp") + "/mrv_bench_analysis_page.tif";
    TIFF* tiff = TIFFOpen(p->tiffPath.c_str(), "w");
    TIFFSetField(tiff, TIFFTAG_IMAGEWIDTH, kWidth);
    TIFFSetField(tiff, TIFFTAG_IMAGELENGTH, kHeight);
    TIFFSetField(tiff, TIFFTAG_BITSPERSAMPLE, 1);
    TIFFSetField(tiff, TIFFTAG_SAMPLESPERPIXEL, 1);
    TIFFSetField(tiff, TIFFTAG_PHOTOMETRIC, PHOTOMETRIC_MINISBLACK);
    TIFFSetField(tiff, TIFFTAG_COMPRESSION, COMPRESSION_CCITTFAX4);
    TIFFSetField(tiff, TIFFTAG_ROWSPERSTRIP, kHeight);
    std::vector<uint8_t> rows(size_t{(kWidth + 7) / 8} * kHeight);
    for (int32_t y = 0; y < kHeight; ++y) {
      memcpy(rows.data() + size_t{(kWidth + 7) / 8} * y,
             RowOf(&p->bitmap, static_cast<uint32_t>(kHeight - 1 - y)), (kWidth + 7) / 8);
    }
    TIFFWriteEncodedStrip(tiff, 0, rows.data(), static_cast<tmsize_t>(rows.size()));
    TIFFClose(tiff);
    return p;
  }();
  return page;
}

// The three pieces of work, each run once per call.
struct Decoder {
  TIFF* tiff = nullptr;
  std::vector<uint8_t> strip;
  explicit Decoder(const Page* page) : tiff(TIFFOpen(page->tiffPath.c_str(), "r")) {
    strip.resize(static_cast<size_t>(TIFFStripSize(tiff)));
  }
  ~Decoder() { TIFFClose(tiff); }
  tmsize_t Run() { return TIFFReadEncodedStrip(tiff, 0, strip.data(), static_cast<tmsize_t>(strip.size())); }
};

bool ScanForBarcodes(Page* page) {
  BarcodeResults results;
  DetectBarcodes(&results, &page->bitmap, 0, 0, 0, 0, nullptr);
  return results.texts.size() == 1 && results.texts[0] == u"SEPARATOR 0042";
}

// The form's reference rectangle as the form's design gives it: the scan
// came out shifted and about 1.8 % larger. The boxes' interiors are checked.
constexpr int32_t kRefX = 110, kRefY = 105, kRefW = 2200, kRefH = 3210;

struct Form {
  int32_t x, y, w, h;
  std::vector<std::array<int32_t, 4>> boxes;
};

Form FormFor(const Page* page, int32_t x, int32_t y, int32_t w, int32_t h) {
  Form form{x, y, w, h, {}};
  double sx = static_cast<double>(kWidth - 2 * kMarkInset) / w,
         sy = static_cast<double>(kHeight - 2 * kMarkInset) / h;
  for (const auto& box : page->boxes) {
    form.boxes.push_back({x + static_cast<int32_t>((box.first + 9 - kMarkInset) / sx),
                          y + static_cast<int32_t>((box.second + 9 - kMarkInset) / sy),
                          static_cast<int32_t>((kBoxSize - 19) / sx),
                          static_cast<int32_t>((kBoxSize - 19) / sy)});
  }
  return form;
}

// Calibrates and checks every box; true when the 34 filled boxes read filled.
bool ReadForm(Page* page, const Form& form) {
  OmrCalibration calibration;
  OMRInit(&calibration, &page->bitmap, form.x, form.y, form.w, form.h, nullptr);
  double filled = 0;
  for (const auto& box : form.boxes)
    filled += OMRCheck(&calibration, &page->bitmap, box[0], box[1], box[2], box[3]);
  return calibration.found && filled > 33.5 && filled < 34.5;
}

void BM_DecodeGroup4Page(benchmark::State& state) {
  Decoder decoder(TestPage());
  for (auto _ : state) benchmark::DoNotOptimize(decoder.Run());
}
BENCHMARK(BM_DecodeGroup4Page)->Unit(benchmark::kMillisecond);

void BM_BarcodeScan(benchmark::State& state) {
  Page* page = TestPage();
  bool read = true;
  for (auto _ : state) read = ScanForBarcodes(page) && read;
  if (!read) state.SkipWithError("barcode not read");
}
BENCHMARK(BM_BarcodeScan)->Unit(benchmark::kMillisecond);

void BM_OmrCalibrateAndCheck100Boxes(benchmark::State& state) {
  Page* page = TestPage();
  Form form = FormFor(page, kRefX, kRefY, kRefW, kRefH);
  bool read = true;
  for (auto _ : state) read = ReadForm(page, form) && read;
  if (!read) state.SkipWithError("marks or boxes misread");
}
BENCHMARK(BM_OmrCalibrateAndCheck100Boxes)->Unit(benchmark::kMillisecond);

// A page that matches its reference exactly maps every sample onto a whole
// pixel, where only the full barycentric evaluation decides: the slow case.
void BM_OmrAlignedPage(benchmark::State& state) {
  Page* page = TestPage();
  Form form = FormFor(page, kMarkInset, kMarkInset, kWidth - 2 * kMarkInset, kHeight - 2 * kMarkInset);
  bool read = true;
  for (auto _ : state) read = ReadForm(page, form) && read;
  if (!read) state.SkipWithError("marks or boxes misread");
}
BENCHMARK(BM_OmrAlignedPage)->Unit(benchmark::kMillisecond);

double ThreadSeconds() {
  timespec t;
  clock_gettime(CLOCK_THREAD_CPUTIME_ID, &t);
  return static_cast<double>(t.tv_sec) + 1e-9 * static_cast<double>(t.tv_nsec);
}

// The ratios themselves: each iteration decodes the page and then analyses
// it, so that a machine shared with other work slows both alike. The
// counter "ratio" is the analysis's processor time over the decode's.
template <typename Analyse>
void RatioToDecode(benchmark::State& state, Analyse analyse) {
  Decoder decoder(TestPage());
  double decoding = 0, analysing = 0;
  bool ok = true;
  for (auto _ : state) {
    double start = ThreadSeconds();
    benchmark::DoNotOptimize(decoder.Run());
    double decoded = ThreadSeconds();
    ok = analyse() && ok;
    analysing += ThreadSeconds() - decoded;
    decoding += decoded - start;
  }
  state.counters["ratio"] = analysing / decoding;
  if (!ok) state.SkipWithError("misread");
}

void BM_BarcodeScanPerDecode(benchmark::State& state) {
  Page* page = TestPage();
  RatioToDecode(state, [&] { return ScanForBarcodes(page); });
}
BENCHMARK(BM_BarcodeScanPerDecode)->Unit(benchmark::kMillisecond);

void BM_OmrPerDecode(benchmark::State& state) {
  Page* page = TestPage();
  Form form = FormFor(page, kRefX, kRefY, kRefW, kRefH);
  RatioToDecode(state, [&] { return ReadForm(page, form); });
}
BENCHMARK(BM_OmrPerDecode)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
