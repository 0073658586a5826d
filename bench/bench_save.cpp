// Saving and splitting against libtiff's own tools doing the same work, in the
// same run.
//   Save/annotated        WriteDocumentToFile of a 20-page A4 Group 4 document
//                         with one white-out per page (every page decoded,
//                         merged and Group 4 encoded)
//   Save/tiffcp-g4        what `tiffcp -c g4` does to the same file: every
//                         page read by scanline and written again as Group 4
//   Save/unmarked-50MB    WriteDocumentToFile of a 50 MB document loaded from a
//                         file with nothing marked (a plain copy)
//   Save/cp-50MB          `cp` of the same file
//   Upload/body           WriteUploadBody of the 20-page document with no marks
//                         (an upload always encodes the pages anew), against
//                         Save/tiffcp-g4
// The split benchmark runs processes against processes: split_bench.sh.
#include <benchmark/benchmark.h>
#include <tiffio.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

#include "a4_pages.h"
#include "document/page_loader.h"
#include "document/tiff_adapter.h"
#include "output/document_writer.h"
#include "output/page_copy.h"
#include "output/upload_request.h"
#include "platform/platform.h"
#include "ratio_report.h"

namespace {

const std::string& Folder() {
  static const std::string folder = [] {
    char name[] = "/tmp/mrvbenchXXXXXX";
    return std::string(mkdtemp(name));
  }();
  return folder;
}

// `count` copies of a page's directory in one file, carried over as they are.
std::string Repeated(const A4Page& page, int count, const char* name) {
  std::string path = Folder() + "/" + name;
  FileHandle file = CreateFileForWriting(std::u16string(path.begin(), path.end()));
  WritingTarget target{file};
  TIFF* out = OpenTiffForWriting(&target);
  for (int i = 0; i < count; ++i) {
    TIFF* in = OpenTiffFromMemory(page.bytes.data(), static_cast<uint32_t>(page.bytes.size()));
    CopyRawPage(in, out);
    TIFFClose(in);
  }
  TIFFClose(out);
  CloseFile(file);
  return path;
}

std::vector<uint8_t> ReadAll(const std::string& path) {
  std::vector<uint8_t> bytes;
  FILE* f = fopen(path.c_str(), "rb");
  for (int c; f && (c = fgetc(f)) != EOF;) bytes.push_back(static_cast<uint8_t>(c));
  if (f) fclose(f);
  return bytes;
}

const std::string& TwentyPages() {
  static std::string path = Repeated(PageOf(PageKind::kBilevelG4), 20, "twenty.tif");
  return path;
}

// The twenty pages read into memory, their directories found and numbered.
struct LoadedDocument {
  std::vector<uint8_t> bytes = ReadAll(TwentyPages());
  Document document;
  MessageLog log;
  LoadedDocument() {
    PointAtMemory(&document, bytes.data(), static_cast<uint32_t>(bytes.size()));
    ReadPageDirectory(&document, &log);
    NumberPages(&document, &log);
  }
};

void BM_SaveAnnotated(benchmark::State& state) {
  LoadedDocument loaded;
  Document& document = loaded.document;
  MessageLog& log = loaded.log;
  MarkupTable markup(document.ifds.size());
  for (auto& page : markup) {
    page.reset(new PageMarkup);
    page->whiteouts.push_back({kMarkWhiteout, {300, 400, 1200, 700}});
  }
  std::u16string out = std::u16string(Folder().begin(), Folder().end()) + u"/annotated.tif";
  for (auto _ : state) {
    if (!WriteDocumentToFile(&document, &markup, out, &log)) state.SkipWithError("save failed");
  }
}
BENCHMARK(BM_SaveAnnotated)->Name("Save/annotated")->Unit(benchmark::kMillisecond);

// tiffcp's contiguous copy by scanline with the compression changed to Group 4.
void BM_TiffcpG4(benchmark::State& state) {
  for (auto _ : state) {
    TIFF* in = TIFFOpen(TwentyPages().c_str(), "r");
    TIFF* out = TIFFOpen((Folder() + "/tiffcp.tif").c_str(), "w");
    std::vector<uint8_t> row;
    do {
      uint32_t width, height;
      TIFFGetField(in, TIFFTAG_IMAGEWIDTH, &width);
      TIFFGetField(in, TIFFTAG_IMAGELENGTH, &height);
      TIFFSetField(out, TIFFTAG_IMAGEWIDTH, width);
      TIFFSetField(out, TIFFTAG_IMAGELENGTH, height);
      TIFFSetField(out, TIFFTAG_BITSPERSAMPLE, 1);
      TIFFSetField(out, TIFFTAG_SAMPLESPERPIXEL, 1);
      TIFFSetField(out, TIFFTAG_PHOTOMETRIC, PHOTOMETRIC_MINISWHITE);
      TIFFSetField(out, TIFFTAG_COMPRESSION, COMPRESSION_CCITTFAX4);
      TIFFSetField(out, TIFFTAG_ROWSPERSTRIP, height);
      row.resize(static_cast<size_t>(TIFFScanlineSize(in)));
      for (uint32_t y = 0; y < height; ++y) {
        TIFFReadScanline(in, row.data(), y, 0);
        TIFFWriteScanline(out, row.data(), y, 0);
      }
      TIFFWriteDirectory(out);
    } while (TIFFReadDirectory(in));
    TIFFClose(out);
    TIFFClose(in);
  }
}
BENCHMARK(BM_TiffcpG4)->Name("Save/tiffcp-g4")->Unit(benchmark::kMillisecond);

void BM_UploadBody(benchmark::State& state) {
  LoadedDocument loaded;
  const Document& document = loaded.document;
  MarkupTable markup(document.ifds.size());
  const std::vector<UploadFormField> fields = {{u"case", u"A-17"}};
  UploadParts parts;
  parts.fields = &fields;
  parts.boundary = UploadBoundary(12345);
  const std::u16string out = std::u16string(Folder().begin(), Folder().end()) + u"/upload.body";
  for (auto _ : state) {
    FileHandle file = CreateFileForWriting(out);
    if (!file || WriteUploadBody(file, &document, &markup, parts) != kUploadSuccessful)
      state.SkipWithError("body failed");
    if (file) CloseFile(file);
  }
}
BENCHMARK(BM_UploadBody)->Name("Upload/body")->Unit(benchmark::kMillisecond);

const std::string& FiftyMegabytes() {
  static std::string path = Repeated(PageOf(PageKind::kRgbLzw), 12, "fifty.tif");
  return path;
}

void BM_SaveUnmarked(benchmark::State& state) {
  Document document;
  document.sourceKind = kSourceFile;
  document.fileName = std::u16string(FiftyMegabytes().begin(), FiftyMegabytes().end());
  document.pageCount = 12;
  std::u16string out = std::u16string(Folder().begin(), Folder().end()) + u"/copy.tif";
  MessageLog log;
  MarkupTable none;
  for (auto _ : state) {
    if (!WriteDocumentToFile(&document, &none, out, &log)) state.SkipWithError("copy failed");
  }
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) *
                          static_cast<int64_t>(std::filesystem::file_size(FiftyMegabytes())));
}
BENCHMARK(BM_SaveUnmarked)->Name("Save/unmarked-50MB")->Unit(benchmark::kMillisecond)->UseRealTime();

void BM_Cp(benchmark::State& state) {
  std::string command = "cp " + FiftyMegabytes() + " " + Folder() + "/cp.tif";
  for (auto _ : state) {
    if (std::system(command.c_str()) != 0) state.SkipWithError("cp failed");
  }
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) *
                          static_cast<int64_t>(std::filesystem::file_size(FiftyMegabytes())));
}
BENCHMARK(BM_Cp)->Name("Save/cp-50MB")->Unit(benchmark::kMillisecond)->UseRealTime();

}  // namespace

int main(int argc, char** argv) {
  AddRatio({"annotated save / tiffcp -c g4", {"Save/annotated"}, "Save/tiffcp-g4", 1.3});
  AddRatio({"upload body / tiffcp -c g4", {"Upload/body"}, "Save/tiffcp-g4", 0});
  int status = RunBenchmarksWithRatios(argc, argv);
  std::filesystem::remove_all(Folder());
  return status;
}
