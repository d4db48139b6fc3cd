// Reading 100,000 records in key order and fetching single records through
// the storage driver, each printed as a ratio to the same work done with raw
// SQLite statements on the same file.
#include <benchmark/benchmark.h>
#include <sqlite3.h>

#include <cstdio>
#include <cstring>
#include <filesystem>
#include <map>
#include <memory>
#include <string>

#include "bench/ratio_reporter.h"
#include "runtime/storage/sqlite_driver.h"

namespace {

using namespace ledora::runtime;

constexpr int kRecords = 100000;

#pragma pack(push, 1)
struct Item {
  int32_t number;
  char name[30];
  uint8_t price[5];
};
#pragma pack(pop)

const RecordLayout& Layout() {
  static const RecordLayout layout("ITE", sizeof(Item),
                                   {{"ITE:ITEMNR", FieldLong, 0, 4, 0},
                                    {"ITE:DESCRIPTION", FieldString, 4, 30, 0},
                                    {"ITE:PRICE", FieldDecimal, 34, 5, 2}});
  return layout;
}

enum { NumberKey, DescriptionKey };

FileDeclaration Declaration(const std::string& name, Item* buffer) {
  FileDeclaration file;
  file.name = name;
  file.layout = &Layout();
  file.buffer = buffer;
  file.keys = {{"ITE:ITEMNRKEY", {{0, false}}, true, true, true, true},
               {"ITE:DESCRIPTIONKEY", {{1, false}}, false, false, true, true}};
  return file;
}

// One data file of kRecords items in a fresh folder, made once per run.
struct Fixture {
  Fixture() {
    char pattern[] = "/tmp/ledora-bench-XXXXXX";
    folder = mkdtemp(pattern);
    name = folder + "/ITEMS";
    auto file = driver.Declare(Declaration(name, &item));
    file->Create();
    file->Open();
    driver.Mark(*file);
    driver.Logout(10);
    for (int i = 1; i <= kRecords; ++i) {
      item.number = i;
      std::snprintf(item.name, sizeof item.name, "%-30s",
                    ("Item " + std::to_string((i * 7919) % kRecords)).c_str());
      PackDecimal(Decimal::FromUnits(i, 2), item.price, 5, 2);
      file->Add();
    }
    driver.Commit();
    sqlite3_open((name + ".KDS").c_str(), &raw);
  }
  ~Fixture() {
    sqlite3_close(raw);
    std::filesystem::remove_all(folder);
  }

  std::string folder, name;
  SqliteDriver driver;
  Item item{};
  sqlite3* raw = nullptr;
};

Fixture& Shared() {
  static Fixture fixture;
  return fixture;
}

void ReadRow(sqlite3_stmt* statement, Item* item) {
  item->number = sqlite3_column_int(statement, 2);
  int length = sqlite3_column_bytes(statement, 3);
  memcpy(item->name, sqlite3_column_text(statement, 3), length);
  memset(item->name + length, ' ', sizeof item->name - length);
  PackDecimal(Decimal::FromDouble(sqlite3_column_double(statement, 4), 2), item->price, 5, 2);
}

void BM_RawScan(benchmark::State& state) {
  Fixture& f = Shared();
  sqlite3_stmt* statement = nullptr;
  sqlite3_prepare_v2(f.raw,
                     "SELECT _pos, _version, ITEMNR, DESCRIPTION, PRICE FROM ITEMS WHERE "
                     "DESCRIPTION <> '' ORDER BY DESCRIPTION COLLATE NOCASE, _pos",
                     -1, &statement, nullptr);
  Item item;
  for (auto _ : state) {
    while (sqlite3_step(statement) == SQLITE_ROW) ReadRow(statement, &item);
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
  Fixture& f = Shared();
  sqlite3_stmt* statement = nullptr;
  sqlite3_prepare_v2(f.raw,
                     "SELECT _pos, _version, ITEMNR, DESCRIPTION, PRICE FROM ITEMS WHERE "
                     "ITEMNR <> 0 AND ITEMNR = ?1",
                     -1, &statement, nullptr);
  Item item;
  int i = 0;
  for (auto _ : state) {
    sqlite3_bind_int(statement, 1, i++ % kRecords + 1);
    if (sqlite3_step(statement) == SQLITE_ROW) ReadRow(statement, &item);
    sqlite3_reset(statement);
  }
  sqlite3_finalize(statement);
  state.SetItemsProcessed(state.iterations());
}
BENCHMARK(BM_RawFetch);

void BM_DriverFetch(benchmark::State& state) {
  Fixture& f = Shared();
  auto file = f.driver.Declare(Declaration(f.name, &f.item));
  file->Open();
  int i = 0;
  for (auto _ : state) {
    f.item.number = i++ % kRecords + 1;
    if (file->Fetch(NumberKey) != 0) state.SkipWithError("fetch failed");
  }
  state.SetItemsProcessed(state.iterations());
}
BENCHMARK(BM_DriverFetch);

// Keeps each run's time per item so the ratios can be printed at the end.

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
