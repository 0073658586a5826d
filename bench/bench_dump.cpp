// The structure dump of a 10,000-directory file against libtiff's tiffdump on
// the same file, both writing to /dev/null; the closing lines give the ratios.
#include <benchmark/benchmark.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <cstring>
#include <map>
#include <string>
#include <vector>

#include "common/text_format.h"
#include "document/document_dump.h"

namespace {

constexpr int kDirectories = 10000;

void Put(std::vector<uint8_t>* b, size_t at, uint64_t v, int n) {
  for (int i = 0; i < n; ++i) (*b)[at + i] = static_cast<uint8_t>(v >> (8 * i));
}

// A chain of small bilevel pages as a scanner writes them: twelve entries,
// a description, a resolution pair and a few strips each.
std::vector<uint8_t> MakeChain() {
  struct E {
    uint16_t tag, type;
    uint32_t count;
  };
  const E entries[] = {{254, 4, 1},  {256, 3, 1}, {257, 3, 1}, {258, 3, 1}, {259, 3, 1}, {262, 3, 1},
                       {270, 2, 32}, {273, 4, 4}, {278, 3, 1}, {279, 4, 4}, {282, 5, 1}, {283, 5, 1}};
  const size_t n = std::size(entries);
  const size_t ifdSize = 2 + 12 * n + 4, dataSize = 32 + 16 + 16 + 8 + 8;
  std::vector<uint8_t> b(8 + kDirectories * (ifdSize + dataSize));
  b[0] = b[1] = 'I';
  Put(&b, 2, 42, 2);
  Put(&b, 4, 8, 4);
  for (int d = 0; d < kDirectories; ++d) {
    size_t at = 8 + d * (ifdSize + dataSize), data = at + ifdSize;
    Put(&b, at, n, 2);
    for (size_t k = 0; k < n; ++k) {
      size_t q = at + 2 + 12 * k;
      Put(&b, q, entries[k].tag, 2);
      Put(&b, q + 2, entries[k].type, 2);
      Put(&b, q + 4, entries[k].count, 4);
      uint64_t value = k == 1 ? 1728 : k == 2 ? 2200 : k == 4 ? 4 : 1;
      switch (entries[k].tag) {
        case 270:
          snprintf(reinterpret_cast<char*>(&b[data]), 32, "Scanned page %05d of the batch", d + 1);
          value = data;
          break;
        case 273:
        case 279:
          for (int s = 0; s < 4; ++s)
            Put(&b, data + 32 + (entries[k].tag == 279 ? 16 : 0) + 4 * s, 1000 + s, 4);
          value = data + 32 + (entries[k].tag == 279 ? 16 : 0);
          break;
        case 282:
        case 283:
          Put(&b, data + 64 + (entries[k].tag == 283 ? 8 : 0), 200, 4);
          Put(&b, data + 68 + (entries[k].tag == 283 ? 8 : 0), 1, 4);
          value = data + 64 + (entries[k].tag == 283 ? 8 : 0);
          break;
      }
      Put(&b, q + 8, value, entries[k].type == 3 ? 2 : 4);
    }
    Put(&b, at + 2 + 12 * n, d + 1 < kDirectories ? at + ifdSize + dataSize : 0, 4);
  }
  return b;
}

std::string g_file;

int WriteToNull(void* user, const char* text, size_t length) {
  return fwrite(text, 1, length, static_cast<FILE*>(user)) == length;
}

void DumpOnce(benchmark::State& state, int32_t mode) {
  Document document;
  document.sourceKind = kSourceFile;
  document.fileName = Utf8ToUtf16(g_file);
  FileHandle probe = OpenFileForReading(document.fileName);
  document.size = static_cast<uint32_t>(FileSizeOf(probe));
  document.sizeKnown = 1;
  CloseFile(probe);
  FILE* sink = fopen("/dev/null", "wb");
  for (auto _ : state) {
    MessageLog log;
    if (!DumpDocument(&document, -1, mode, WriteToNull, sink, &log)) state.SkipWithError("dump failed");
    fflush(sink);
  }
  fclose(sink);
}

void BM_DumpPlainText(benchmark::State& state) { DumpOnce(state, kDumpPlainText); }
void BM_DumpRichText(benchmark::State& state) { DumpOnce(state, kDumpRichText); }

// The baseline: the whole tiffdump process, as a user runs it.
void BM_Tiffdump(benchmark::State& state) {
  for (auto _ : state) {
    pid_t child = fork();
    if (child == 0) {
      FILE* sink = freopen("/dev/null", "wb", stdout);
      if (!sink) _exit(127);
      execlp("tiffdump", "tiffdump", g_file.c_str(), static_cast<char*>(nullptr));
      _exit(127);
    }
    int status = 0;
    waitpid(child, &status, 0);
    if (!WIFEXITED(status) || WEXITSTATUS(status) != 0) state.SkipWithError("tiffdump failed");
  }
}

BENCHMARK(BM_Tiffdump)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_DumpPlainText)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_DumpRichText)->Unit(benchmark::kMillisecond)->UseRealTime();

// Keeps each benchmark's time per iteration for the ratio lines.
class RatioReporter : public benchmark::ConsoleReporter {
 public:
  void ReportRuns(const std::vector<Run>& runs) override {
    for (const Run& run : runs) {
      if (!run.error_occurred && run.iterations) times[run.benchmark_name()] = run.GetAdjustedRealTime();
    }
    ConsoleReporter::ReportRuns(runs);
  }
  std::map<std::string, double> times;
};

}  // namespace

int main(int argc, char** argv) {
  std::vector<uint8_t> bytes = MakeChain();
  char name[] = "/tmp/mrvdumpXXXXXX";
  int fd = mkstemp(name);
  if (fd < 0 || write(fd, bytes.data(), bytes.size()) != static_cast<ssize_t>(bytes.size())) return 1;
  close(fd);
  g_file = name;
  benchmark::Initialize(&argc, argv);
  RatioReporter reporter;
  benchmark::RunSpecifiedBenchmarks(&reporter);
  double baseline = reporter.times["BM_Tiffdump/real_time"];
  for (const char* ours : {"BM_DumpPlainText/real_time", "BM_DumpRichText/real_time"}) {
    if (baseline > 0 && reporter.times.count(ours)) {
      printf("%s / tiffdump = %.2f (below 1 is faster)\n", ours, reporter.times[ours] / baseline);
    }
  }
  unlink(name);
  benchmark::Shutdown();
  return 0;
}
