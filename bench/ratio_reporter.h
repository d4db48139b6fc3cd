// A console reporter that keeps each benchmark's time per item, so that a
// benchmark program can print its runs as ratios to a baseline at the end.
#pragma once

#include <benchmark/benchmark.h>

#include <cstdio>
#include <map>
#include <set>
#include <string>
#include <vector>

namespace ledora::bench {

class RatioReporter : public benchmark::ConsoleReporter {
 public:
  void ReportRuns(const std::vector<Run>& runs) override {
    for (const Run& run : runs) {
      // With repetitions the median stands for the runs, under the runs' own
      // name; interleaved repetitions put a noisy machine's drift on both sides.
      bool median = run.run_type == Run::RT_Aggregate && run.aggregate_name == "median";
      if (run.run_type == Run::RT_Aggregate && !median) continue;
      std::string name = median ? run.run_name.str() : run.benchmark_name();
      if (!median && medians_.count(name)) continue;
      if (median) medians_.insert(name);
      auto rate = run.counters.find("items_per_second");
      if (rate != run.counters.end()) perItem_[name] = 1 / rate->second.value;
      for (const auto& [counter, value] : run.counters) counters_[counter][name] = value.value;
    }
    ConsoleReporter::ReportRuns(runs);
  }

  // Prints "name  2.10x base"; nothing when either did not run.
  void PrintRatio(const std::string& name, const std::string& base) const {
    auto a = perItem_.find(name), b = perItem_.find(base);
    if (a == perItem_.end() || b == perItem_.end() || b->second <= 0) return;
    std::printf("  %-30s %6.2fx %s\n", name.c_str(), a->second / b->second, base.c_str());
  }

  // Prints "name  1.05x base" for a user counter of two runs.
  void PrintCounterRatio(const std::string& counter, const std::string& name,
                         const std::string& base) const {
    auto runs = counters_.find(counter);
    if (runs == counters_.end()) return;
    auto a = runs->second.find(name), b = runs->second.find(base);
    if (a == runs->second.end() || b == runs->second.end() || b->second <= 0) return;
    std::printf("  %-30s %6.2fx %s\n", name.c_str(), a->second / b->second, base.c_str());
  }

  // Prints every run's value of a user counter, e.g. rows read per page.
  void PrintCounter(const std::string& counter) const {
    auto runs = counters_.find(counter);
    if (runs == counters_.end()) return;
    for (const auto& [name, value] : runs->second)
      std::printf("  %-30s %6.1f\n", name.c_str(), value);
  }

 private:
  std::map<std::string, double> perItem_;
  std::set<std::string> medians_;
  std::map<std::string, std::map<std::string, double>> counters_;
};

}  // namespace ledora::bench
