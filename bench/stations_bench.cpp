// Invoices per second that 1, 4, 8 and 16 stations (processes) save at once
// through the invoice form, each invoice with 1-5 lines, on a PostgreSQL
// server of the benchmark's own and on one data folder; the work is checked
// afterwards as the stations tests check it. LEDORA_BENCH_STATIONS_SECONDS
// sets how long each run lasts (default 10).
#include <benchmark/benchmark.h>

#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "bench/ratio_reporter.h"
#include "tests/stations/station_work.h"
#include "tests/support/pg_server.h"
#include "tests/support/temp_folder.h"

namespace {

using ledora::testing::StationPlace;

double Seconds() {
  const char* seconds = std::getenv("LEDORA_BENCH_STATIONS_SECONDS");
  return seconds != nullptr ? std::atof(seconds) : 10;
}

ledora::testing::PgServer& Server() {
  static ledora::testing::PgServer server;
  return server;
}

void Stations(benchmark::State& state, bool postgres) {
  int stations = static_cast<int>(state.range(0));
  long saved = 0;
  for (auto _ : state) {
    ledora::testing::TempFolder folder;
    StationPlace place{folder.path(), ""};
    if (postgres) {
      if (!Server().running()) {
        state.SkipWithError(Server().error().c_str());
        return;
      }
      place.url = Server().Url() + "&schema=" + ledora::testing::FreshSchema();
    }
    if (!ledora::testing::PrepareStations(place)) {
      state.SkipWithError("the stations' customers and items could not be made");
      return;
    }
    std::vector<std::string> logs;
    for (int i = 0; i < stations; ++i) logs.push_back(folder.File("s" + std::to_string(i)));
    std::vector<ledora::testing::StationRole> roles(stations, ledora::testing::FormStation);
    ledora::testing::RunStations(place, roles, Seconds(), logs);
    ledora::testing::StationsOutcome outcome = ledora::testing::CheckStations(place, logs);
    if (!outcome.faults.empty()) {
      state.SkipWithError(outcome.faults.front().c_str());
      return;
    }
    saved += outcome.saved;
  }
  state.counters["invoices_per_second"] =
      static_cast<double>(saved) / (Seconds() * static_cast<double>(state.iterations()));
}

// 1, 4, 8 and 16 stations, each count run once for its fixed time.
void StationCounts(benchmark::internal::Benchmark* b) {
  for (int stations : {1, 4, 8, 16}) b->Arg(stations);
  b->Iterations(1)->Unit(benchmark::kSecond);
}

void BM_PostgresStations(benchmark::State& state) { Stations(state, true); }
BENCHMARK(BM_PostgresStations)->Apply(StationCounts);

void BM_FolderStations(benchmark::State& state) { Stations(state, false); }
BENCHMARK(BM_FolderStations)->Apply(StationCounts);

}  // namespace

int main(int argc, char** argv) {
  benchmark::Initialize(&argc, argv);
  ledora::bench::RatioReporter reporter;
  benchmark::RunSpecifiedBenchmarks(&reporter);
  std::printf("\nInvoices per second, all stations together:\n");
  reporter.PrintCounter("invoices_per_second");
  std::printf("\nThroughput relative to fewer stations:\n");
  for (const char* engine : {"BM_PostgresStations", "BM_FolderStations"}) {
    std::string name = engine;
    reporter.PrintCounterRatio("invoices_per_second", name + "/4/iterations:1",
                               name + "/1/iterations:1");
    reporter.PrintCounterRatio("invoices_per_second", name + "/16/iterations:1",
                               name + "/8/iterations:1");
  }
  benchmark::Shutdown();
  return 0;
}
