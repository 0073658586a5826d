// The page analysis against the decode of the same page: a bilevel A4 page at
// 300 dpi with lines of text, a separator barcode, four registration marks
// and 100 answer boxes, stored as one Group 4 strip.
//   BM_DecodeGroup4Page   libtiff's TIFFReadEncodedStrip of the page (the baseline)
//   BM_BarcodeScan        DetectBarcodes over the whole page
//   BM_OmrCalibrateAndCheck100Boxes  OMRInit and 100 OMRCheck calls on a scan
//                         slightly shifted and enlarged against the form
//   BM_OmrAlignedPage     the same on a page that matches the form exactly
#include <benchmark/benchmark.h>
#include <tiffio.h>

#include <array>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <random>
#include <string>
#include <vector>

#include "analysis/barcode_reader.h"
#include "analysis/code128_table.h"
#include "analysis/omr.h"
#include "raster/page_bitmap.h"

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
      memcpy(rows.data() + size_t{(kWidth + 7) / 8} * y, RowOf(&p->bitmap, static_cast<uint32_t>(kHeight - 1 - y)),
             (kWidth + 7) / 8);
    }
    TIFFWriteEncodedStrip(tiff, 0, rows.data(), static_cast<tmsize_t>(rows.size()));
    TIFFClose(tiff);
    return p;
  }();
  return page;
}

void BM_DecodeGroup4Page(benchmark::State& state) {
  Page* page = TestPage();
  TIFF* tiff = TIFFOpen(page->tiffPath.c_str(), "r");
  std::vector<uint8_t> strip(static_cast<size_t>(TIFFStripSize(tiff)));
  for (auto _ : state) {
    tmsize_t n = TIFFReadEncodedStrip(tiff, 0, strip.data(), static_cast<tmsize_t>(strip.size()));
    benchmark::DoNotOptimize(n);
  }
  TIFFClose(tiff);
}
BENCHMARK(BM_DecodeGroup4Page)->Unit(benchmark::kMillisecond);

void BM_BarcodeScan(benchmark::State& state) {
  Page* page = TestPage();
  BarcodeResults results;
  for (auto _ : state) {
    DetectBarcodes(&results, &page->bitmap, 0, 0, 0, 0, nullptr);
    benchmark::DoNotOptimize(results.inkFraction);
  }
  if (results.texts.size() != 1 || results.texts[0] != u"SEPARATOR 0042") state.SkipWithError("barcode not read");
}
BENCHMARK(BM_BarcodeScan)->Unit(benchmark::kMillisecond);

// The form's reference rectangle as the form's design gives it: the scan
// came out shifted and about 1.8 % larger. The boxes' interiors are checked.
constexpr int32_t kRefX = 110, kRefY = 105, kRefW = 2200, kRefH = 3210;

void CheckForm(benchmark::State& state, int32_t refX, int32_t refY, int32_t refW, int32_t refH) {
  Page* page = TestPage();
  int32_t pageW = kWidth - 2 * kMarkInset, pageH = kHeight - 2 * kMarkInset;
  double sx = static_cast<double>(pageW) / refW, sy = static_cast<double>(pageH) / refH;
  std::vector<std::array<int32_t, 4>> boxes;
  for (const auto& box : page->boxes) {
    boxes.push_back({refX + static_cast<int32_t>((box.first + 9 - kMarkInset) / sx),
                     refY + static_cast<int32_t>((box.second + 9 - kMarkInset) / sy),
                     static_cast<int32_t>((kBoxSize - 19) / sx), static_cast<int32_t>((kBoxSize - 19) / sy)});
  }
  OmrCalibration calibration;
  double filled = 0;
  for (auto _ : state) {
    OMRInit(&calibration, &page->bitmap, refX, refY, refW, refH, nullptr);
    filled = 0;
    for (const auto& box : boxes) filled += OMRCheck(&calibration, &page->bitmap, box[0], box[1], box[2], box[3]);
    benchmark::DoNotOptimize(filled);
  }
  // 34 of the boxes are filled.
  if (!calibration.found || filled < 33.5 || filled > 34.5) state.SkipWithError("marks or boxes misread");
}

void BM_OmrCalibrateAndCheck100Boxes(benchmark::State& state) { CheckForm(state, kRefX, kRefY, kRefW, kRefH); }
BENCHMARK(BM_OmrCalibrateAndCheck100Boxes)->Unit(benchmark::kMillisecond);

// A page that matches its reference exactly maps every sample onto a whole
// pixel, where only the full barycentric evaluation decides: the slow case.
void BM_OmrAlignedPage(benchmark::State& state) {
  CheckForm(state, kMarkInset, kMarkInset, kWidth - 2 * kMarkInset, kHeight - 2 * kMarkInset);
}
BENCHMARK(BM_OmrAlignedPage)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
