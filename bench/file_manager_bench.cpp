// Fetching by key and reading on in key order through a FileManager, each
// printed as a ratio to the same reads done with raw SQLite statements on the
// same file.
#include <benchmark/benchmark.h>
#include <sqlite3.h>

#include <cstdio>
#include <memory>
#include <string>

#include "bench/bench_items.h"
#include "bench/ratio_reporter.h"
#include "data/error_reporter.h"
#include "data/file_manager.h"

namespace {

using namespace ledora;
using bench::BenchItem;

constexpr int kRecords = 20000;

// One file of kRecords items, made once per run, with a manager on it.
struct Fixture {
  Fixture() : name(folder.path() + "/ITEMS") {
    bench::MakeBenchItems(driver, *driver.Declare(bench::BenchItemDeclaration(name, &item, true)),
                          item, kRecords);
    file = driver.Declare(bench::BenchItemDeclaration(name, &item, true));
    errors.Initialize();
    items.Initialize(file.get(), &errors);
    items.AddKey(bench::NumberKey, "Item number");
    items.Open();
    items.MakeUsable();
    sqlite3_open((name + ".KDS").c_str(), &raw);
    sqlite3_open_v2((name + ".KDS").c_str(), &rawNoMutex,
                    SQLITE_OPEN_READWRITE | SQLITE_OPEN_NOMUTEX, nullptr);
  }
  ~Fixture() {
    sqlite3_close(rawNoMutex);
    sqlite3_close(raw);
    items.Close();
    items.Shutdown();
  }

  bench::BenchFolder folder;
  std::string name;
  runtime::SqliteDriver driver;
  BenchItem item{};
  std::unique_ptr<runtime::DataFile> file;
  data::ErrorReporter errors;
  data::FileManager items;
  sqlite3* raw = nullptr;
  // Opened as ledora opens its own connections: one thread, no mutex.
  sqlite3* rawNoMutex = nullptr;
};

Fixture& Shared() {
  static Fixture fixture;
  return fixture;
}

void ReadRow(sqlite3_stmt* statement, BenchItem* item) { bench::ReadRawItem(statement, 0, item); }

sqlite3_stmt* Prepare(sqlite3* db, const char* sql) {
  sqlite3_stmt* statement = nullptr;
  sqlite3_prepare_v2(db, sql, -1, &statement, nullptr);
  return statement;
}

void RawNext(benchmark::State& state, sqlite3* db) {
  sqlite3_stmt* statement = Prepare(
      db, "SELECT ITEMNR, DESCRIPTION, PRICE FROM ITEMS WHERE ITEMNR <> 0 ORDER BY ITEMNR, _pos");
  BenchItem item;
  for (auto _ : state) {
    if (sqlite3_step(statement) != SQLITE_ROW) {
      sqlite3_reset(statement);
      sqlite3_step(statement);
    }
    ReadRow(statement, &item);
  }
  sqlite3_finalize(statement);
  state.SetItemsProcessed(state.iterations());
}

void BM_RawNext(benchmark::State& state) { RawNext(state, Shared().raw); }
BENCHMARK(BM_RawNext);

void BM_RawNextNoMutex(benchmark::State& state) { RawNext(state, Shared().rawNoMutex); }
BENCHMARK(BM_RawNextNoMutex);

void ReadOn(benchmark::State& state, bool quickScan) {
  Fixture& f = Shared();
  f.items.CurrentFile().Send(quickScan ? "QUICKSCAN=on" : "QUICKSCAN=off");
  f.items.ClearRecord();
  f.items.SetOnKey(0);
  for (auto _ : state) {
    if (f.items.NextQuietly() != 0) {
      f.items.ClearRecord();
      f.items.SetOnKey(0);
      benchmark::DoNotOptimize(f.items.NextQuietly());
    }
  }
  f.items.CurrentFile().Send("QUICKSCAN=off");
  // As the program does when it goes idle: the fetches below take their
  // own read locks, as raw SQLite's do.
  f.driver.EndReads();
  state.SetItemsProcessed(state.iterations());
}

// The driver alone, to tell the manager's own share from the driver's.
void DriverReadOn(benchmark::State& state, bool quickScan) {
  Fixture& f = Shared();
  runtime::DataFile& file = f.items.CurrentFile();
  file.Send(quickScan ? "QUICKSCAN=on" : "QUICKSCAN=off");
  file.SetOrder(0);
  for (auto _ : state) {
    if (file.Next() != 0) {
      file.SetOrder(0);
      file.Next();
    }
  }
  file.Send("QUICKSCAN=off");
  f.driver.EndReads();
  state.SetItemsProcessed(state.iterations());
}

void BM_DriverNext(benchmark::State& state) { DriverReadOn(state, false); }
BENCHMARK(BM_DriverNext);

void BM_DriverQuickScanNext(benchmark::State& state) { DriverReadOn(state, true); }
BENCHMARK(BM_DriverQuickScanNext);

void BM_ManagerNext(benchmark::State& state) { ReadOn(state, false); }
BENCHMARK(BM_ManagerNext);

void BM_ManagerQuickScanNext(benchmark::State& state) { ReadOn(state, true); }
BENCHMARK(BM_ManagerQuickScanNext);

void BM_RawFetch(benchmark::State& state) { bench::RawFetchItems(state, Shared().raw, kRecords); }
BENCHMARK(BM_RawFetch);

void BM_RawFetchNoMutex(benchmark::State& state) {
  bench::RawFetchItems(state, Shared().rawNoMutex, kRecords);
}
BENCHMARK(BM_RawFetchNoMutex);

void BM_ManagerFetch(benchmark::State& state) {
  Fixture& f = Shared();
  int i = 0;
  for (auto _ : state) {
    f.item.number = i++ % kRecords + 1;
    if (f.items.Fetch(0) != 0) state.SkipWithError("fetch failed");
  }
  state.SetItemsProcessed(state.iterations());
}
BENCHMARK(BM_ManagerFetch);

}  // namespace

int main(int argc, char** argv) {
  benchmark::Initialize(&argc, argv);
  ledora::bench::RatioReporter reporter;
  benchmark::RunSpecifiedBenchmarks(&reporter);
  std::printf("\nTime per record relative to raw SQLite (lower is faster):\n");
  reporter.PrintRatio("BM_ManagerNext", "BM_RawNext");
  reporter.PrintRatio("BM_ManagerQuickScanNext", "BM_RawNext");
  reporter.PrintRatio("BM_ManagerFetch", "BM_RawFetch");
  std::printf("Relative to raw SQLite opened without its mutex, as ledora opens it:\n");
  reporter.PrintRatio("BM_ManagerNext", "BM_RawNextNoMutex");
  reporter.PrintRatio("BM_ManagerFetch", "BM_RawFetchNoMutex");
  std::printf("The manager's own share, relative to the driver alone:\n");
  reporter.PrintRatio("BM_ManagerNext", "BM_DriverNext");
  reporter.PrintRatio("BM_ManagerQuickScanNext", "BM_DriverQuickScanNext");
  benchmark::Shutdown();
  return 0;
}
