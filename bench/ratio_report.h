// Ratios between benchmarks of the same run (CPU time per iteration), printed
// after Google Benchmark's own table, each against its target.
#pragma once

#include <string>
#include <vector>

struct Ratio {
  std::string label;
  std::vector<std::string> numerator;  // benchmark names whose times are added
  std::string denominator;
  double target = 0;  // the ratio should be at most this; 0: shown only
};

void AddRatio(const Ratio& ratio);
// benchmark::Initialize, every benchmark, then the ratios of those that ran.
int RunBenchmarksWithRatios(int argc, char** argv);
