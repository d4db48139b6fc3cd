// Fetching by key and reading on in key order through a FileManager, each
// printed as a ratio to the same reads done with raw SQLite statements on the
// same file.
#include <benchmark/benchmark.h>
#include <sqlite3.h>

#include <cstdio>
#include <cstring>
#include <filesystem>
#include <string>

#include "bench/ratio_reporter.h"
#include "data/error_reporter.h"
#include "data/file_manager.h"
#include "runtime/storage/sqlite_driver.h"

namespace {

using namespace ledora;

constexpr int kRecords = 20000;

#pragma pack(push, 1)
struct Item {
  int32_t number;
  char name[30];
};
#pragma pack(pop)

const runtime::RecordLayout& Layout() {
  static const runtime::RecordLayout layout("ITE", sizeof(Item),
                                            {{"ITE:ITEMNR", runtime::FieldLong, 0, 4, 0},
                                             {"ITE:DESCRIPTION", runtime::FieldString, 4, 30, 0}});
  return layout;
}

runtime::FileDeclaration Declaration(const std::string& name, Item* buffer) {
  runtime::FileDeclaration file{"ITEMS", name, &Layout(), buffer, {}};
  file.keys = {{"ITE:ITEMNRKEY", {{0, false}}, true, true, true, true}};
  return file;
}

// One file of kRecords items, made once per run, with a manager on it.
struct Fixture {
  Fixture() {
    char pattern[] = "/tmp/ledora-bench-XXXXXX";
    folder = mkdtemp(pattern);
    name = folder + "/ITEMS";
    file = driver.Declare(Declaration(name, &item));
    errors.Initialize();
    items.Initialize(file.get(), &errors);
    items.AddKey(0, "Item number");
    items.Open();
    items.MakeUsable();
    driver.Mark(*file);
    driver.Logout(10);
    for (int i = 1; i <= kRecords; ++i) {
      item.number = i;
      std::snprintf(item.name, sizeof item.name, "%-30s", ("Item " + std::to_string(i)).c_str());
      file->Add();
    }
    driver.Commit();
    sqlite3_open((name + ".KDS").c_str(), &raw);
  }
  ~Fixture() {
    sqlite3_close(raw);
    items.Close();
    items.Shutdown();
    std::filesystem::remove_all(folder);
  }

  std::string folder, name;
  runtime::SqliteDriver driver;
  Item item{};
  std::unique_ptr<runtime::DataFile> file;
  data::ErrorReporter errors;
  data::FileManager items;
  sqlite3* raw = nullptr;
};

Fixture& Shared() {
  static Fixture fixture;
  return fixture;
}

void ReadRow(sqlite3_stmt* statement, Item* item) {
  item->number = sqlite3_column_int(statement, 0);
  int length = sqlite3_column_bytes(statement, 1);
  std::memcpy(item->name, sqlite3_column_text(statement, 1), length);
  std::memset(item->name + length, ' ', sizeof item->name - length);
}

sqlite3_stmt* Prepare(const char* sql) {
  sqlite3_stmt* statement = nullptr;
  sqlite3_prepare_v2(Shared().raw, sql, -1, &statement, nullptr);
  return statement;
}

void BM_RawNext(benchmark::State& state) {
  sqlite3_stmt* statement =
      Prepare("SELECT ITEMNR, DESCRIPTION FROM ITEMS WHERE ITEMNR <> 0 ORDER BY ITEMNR, _pos");
  Item item;
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
BENCHMARK(BM_RawNext);

void ReadOn(benchmark::State& state, bool quickScan) {
  Fixture& f = Shared();
  f.items.CurrentFile().Send(quickScan ? "QUICKSCAN=on" : "QUICKSCAN=off");
  f.items.ClearRecord();
  f.items.SetOnKey(0);
  for (auto _ : state) {
    if (f.items.NextQuietly() != 0) {
      f.items.ClearRecord();
      f.items.SetOnKey(0);
      f.items.NextQuietly();
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

void BM_RawFetch(benchmark::State& state) {
  sqlite3_stmt* statement =
      Prepare("SELECT ITEMNR, DESCRIPTION FROM ITEMS WHERE ITEMNR <> 0 AND ITEMNR = ?1");
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
  std::printf("The manager's own share, relative to the driver alone:\n");
  reporter.PrintRatio("BM_ManagerNext", "BM_DriverNext");
  reporter.PrintRatio("BM_ManagerQuickScanNext", "BM_DriverQuickScanNext");
  benchmark::Shutdown();
  return 0;
}
