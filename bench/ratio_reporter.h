// A console reporter that keeps each benchmark's time per item, so that a
// benchmark program can print its runs as ratios to a baseline at the end.
#pragma once

#include <benchmark/benchmark.h>

#include <cstdio>
#include <map>
#include <string>
#include <vector>

namespace ledora::bench {

class RatioReporter : public benchmark::ConsoleReporter {
 public:
  void ReportRuns(const std::vector<Run>& runs) override {
    for (const Run& run : runs) {
      auto rate = run.counters.find("items_per_second");
      if (rate != run.counters.end()) perItem_[run.benchmark_name()] = 1 / rate->second.value;
    }
    ConsoleReporter::ReportRuns(runs);
  }

  // Prints "name  2.10x base"; nothing when either did not run.
  void PrintRatio(const std::string& name, const std::string& base) const {
    auto a = perItem_.find(name), b = perItem_.find(base);
    if (a == perItem_.end() || b == perItem_.end() || b->second <= 0) return;
    std::printf("  %-24s %6.2fx %s\n", name.c_str(), a->second / b->second, base.c_str());
  }

 private:
  std::map<std::string, double> perItem_;
};

}  // namespace ledora::bench
