#include "ratio_report.h"

#include <benchmark/benchmark.h>
#include <unistd.h>

#include <cstdio>
#include <map>

namespace {

std::vector<Ratio>& Ratios() {
  static std::vector<Ratio> ratios;
  return ratios;
}

class RatioReporter : public benchmark::ConsoleReporter {
 public:
  RatioReporter() : ConsoleReporter(isatty(fileno(stdout)) ? OO_ColorTabular : OO_Tabular) {}

  void ReportRuns(const std::vector<Run>& runs) override {
    for (const Run& run : runs)
      if (!run.error_occurred && run.run_type == Run::RT_Iteration)
        seconds_[run.benchmark_name()] =
            run.GetAdjustedCPUTime() * benchmark::GetTimeUnitMultiplier(run.time_unit);
    ConsoleReporter::ReportRuns(runs);
  }

  void Finalize() override {
    ConsoleReporter::Finalize();
    if (Ratios().empty()) return;
    printf("\n%-58s %8s %8s\n", "Ratio (CPU time)", "measured", "target");
    for (const Ratio& r : Ratios()) {
      auto below = seconds_.find(r.denominator);
      if (below == seconds_.end() || below->second <= 0) continue;
      double above = 0;
      bool complete = true;
      for (const std::string& name : r.numerator) {
        auto found = seconds_.find(name);
        if (found == seconds_.end())
          complete = false;
        else
          above += found->second;
      }
      if (!complete) continue;
      const double ratio = above / below->second;
      if (r.target > 0)
        printf("%-58s %8.2f %8.2f %s\n", r.label.c_str(), ratio, r.target,
               ratio <= r.target ? "met" : "MISSED");
      else
        printf("%-58s %8.2f %8s\n", r.label.c_str(), ratio, "-");
    }
  }

 private:
  std::map<std::string, double> seconds_;
};

}  // namespace

void AddRatio(const Ratio& ratio) { Ratios().push_back(ratio); }

int RunBenchmarksWithRatios(int argc, char** argv) {
  benchmark::Initialize(&argc, argv);
  if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
  RatioReporter reporter;
  benchmark::RunSpecifiedBenchmarks(&reporter);
  benchmark::Shutdown();
  return 0;
}
