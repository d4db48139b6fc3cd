// Reading 100,000 records in key order and fetching single records through
// the storage driver, each printed as a ratio to the same work done with raw
// SQLite statements on the same file.
#include <benchmark/benchmark.h>
#include <sqlite3.h>

#include <cstdio>
#include <memory>
#include <string>

#include "bench/bench_items.h"
#include "bench/ratio_reporter.h"

namespace {

using namespace ledora::runtime;
using ledora::bench::BenchItem;
using ledora::bench::DescriptionKey;

constexpr int kRecords = 100000;

FileDeclaration Declaration(const std::string& name, BenchItem* buffer) {
  return ledora::bench::BenchItemDeclaration(name, buffer, true);
}

// One data file of kRecords items in a fresh folder, made once per run.
struct Fixture {
  Fixture() : name(folder.path() + "/ITEMS") {
    ledora::bench::MakeBenchItems(driver, *driver.Declare(Declaration(name, &item)), item,
                                  kRecords);
    sqlite3_open((name + ".KDS").c_str(), &raw);
  }
  ~Fixture() { sqlite3_close(raw); }

  ledora::bench::BenchFolder folder;
  std::string name;
  SqliteDriver driver;
  BenchItem item{};
  sqlite3* raw = nullptr;
};

Fixture& Shared() {
  static Fixture fixture;
  return fixture;
}

void BM_RawScan(benchmark::State& state) {
  Fixture& f = Shared();
  sqlite3_stmt* statement = nullptr;
  sqlite3_prepare_v2(f.raw,
                     "SELECT _pos, _version, ITEMNR, DESCRIPTION, PRICE FROM ITEMS WHERE "
                     "DESCRIPTION <> '' ORDER BY DESCRIPTION COLLATE NOCASE, _pos",
                     -1, &statement, nullptr);
  BenchItem item;
  for (auto _ : state) {
    while (sqlite3_step(statement) == SQLITE_ROW) ledora::bench::ReadRawItem(statement, 2, &item);
    sqlite3_reset(statement);
  }
  sqlite3_finalize(statement);
  state.SetItemsProcessed(state.iterations() * kRecords);
}
BENCHMARK(BM_RawScan)->Unit(benchmark::kMillisecond);

void ScanThroughDriver(benchmark::State& state, bool quickScan) {
  Fixture& f = Shared();
  auto file = f.driver.Declare(Declaration(f.name, &f.item));
  file->Open();
  file->Send(quickScan ? "QUICKSCAN=on" : "QUICKSCAN=off");
  for (auto _ : state) {
    file->SetOrder(DescriptionKey);
    int count = 0;
    while (file->Next() == 0) ++count;
    if (count != kRecords) state.SkipWithError("lost records");
  }
  state.SetItemsProcessed(state.iterations() * kRecords);
}

void BM_DriverScan(benchmark::State& state) { ScanThroughDriver(state, false); }
BENCHMARK(BM_DriverScan)->Unit(benchmark::kMillisecond);

void BM_DriverQuickScan(benchmark::State& state) { ScanThroughDriver(state, true); }
BENCHMARK(BM_DriverQuickScan)->Unit(benchmark::kMillisecond);

void BM_RawFetch(benchmark::State& state) {
  ledora::bench::RawFetchItems(state, Shared().raw, kRecords);
}
BENCHMARK(BM_RawFetch);

void BM_DriverFetch(benchmark::State& state) {
  Fixture& f = Shared();
  ledora::bench::DriverFetchItems(state, *f.driver.Declare(Declaration(f.name, &f.item)), f.item,
                                  kRecords);
}
BENCHMARK(BM_DriverFetch);

}  // namespace

int main(int argc, char** argv) {
  benchmark::Initialize(&argc, argv);
  ledora::bench::RatioReporter reporter;
  benchmark::RunSpecifiedBenchmarks(&reporter);
  std::printf("\nTime per record relative to raw SQLite (lower is faster):\n");
  reporter.PrintRatio("BM_DriverScan", "BM_RawScan");
  reporter.PrintRatio("BM_DriverQuickScan", "BM_RawScan");
  reporter.PrintRatio("BM_DriverFetch", "BM_RawFetch");
  benchmark::Shutdown();
  return 0;
}
