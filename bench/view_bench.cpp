// A browse paging Page Down through a view of 100,000 records: reset past
// the page's last row, read a page.
// Prints the records read per page near the start and near the end (they
// must both equal the page size) and the time per record as a ratio to raw
// SQLite reading the same rows in the same order.
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
#include "runtime/views/view.h"

namespace {

using namespace ledora::runtime;

constexpr int kRecords = 100000;
constexpr int kPage = 20;

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

FileDeclaration Declaration(const std::string& name, Item* buffer) {
  FileDeclaration file;
  file.name = name;
  file.layout = &Layout();
  file.buffer = buffer;
  file.keys = {{"ITE:ITEMNRKEY", {{0, false}}, true, true, false, false},
               {"ITE:DESCRIPTIONKEY", {{1, false}}, false, false, true, false}};
  return file;
}

struct Fixture {
  Fixture() {
    char pattern[] = "/tmp/ledora-view-bench-XXXXXX";
    folder = mkdtemp(pattern);
    name = folder + "/ITEMS";
    file = driver.Declare(Declaration(name, &item));
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
    ViewDeclaration declaration;
    declaration.primary = file.get();
    view = std::make_unique<View>(declaration);
    view->Open();
    view->SetOrder("UPPER(ITE:DESCRIPTION)");
  }
  ~Fixture() {
    view.reset();
    file.reset();
    sqlite3_close(raw);
    std::filesystem::remove_all(folder);
  }

  std::string folder, name;
  SqliteDriver driver;
  Item item{};
  std::unique_ptr<DataFile> file;
  std::unique_ptr<View> view;
  sqlite3* raw = nullptr;
};

Fixture& Shared() {
  static Fixture fixture;
  return fixture;
}

// Page Down from a page whose last row is at position last.
int PageDown(View& view, const std::string& last) {
  int rows = 0;
  view.ResetAfterPosition(last);
  while (rows < kPage && view.Next() == 0) ++rows;
  return rows;
}

void BM_RawScan(benchmark::State& state) {
  Fixture& f = Shared();
  sqlite3_stmt* statement = nullptr;
  sqlite3_prepare_v2(f.raw,
                     "SELECT _pos, _version, ITEMNR, DESCRIPTION, PRICE FROM ITEMS "
                     "ORDER BY DESCRIPTION COLLATE NOCASE, _pos",
                     -1, &statement, nullptr);
  for (auto _ : state) {
    while (sqlite3_step(statement) == SQLITE_ROW) {
      f.item.number = sqlite3_column_int(statement, 2);
      int length = sqlite3_column_bytes(statement, 3);
      memcpy(f.item.name, sqlite3_column_text(statement, 3), length);
      memset(f.item.name + length, ' ', sizeof f.item.name - length);
      PackDecimal(Decimal::FromDouble(sqlite3_column_double(statement, 4), 2), f.item.price, 5, 2);
    }
    sqlite3_reset(statement);
  }
  sqlite3_finalize(statement);
  state.SetItemsProcessed(state.iterations() * kRecords);
}
BENCHMARK(BM_RawScan)->Unit(benchmark::kMillisecond);

void BM_ViewPageDownThroughAll(benchmark::State& state) {
  Fixture& f = Shared();
  for (auto _ : state) {
    f.view->Start();
    int rows = 0;
    while (rows < kPage && f.view->Next() == 0) ++rows;
    int total = rows;
    while ((rows = PageDown(*f.view, f.view->Position())) > 0) total += rows;
    if (total != kRecords) state.SkipWithError("lost records");
  }
  state.SetItemsProcessed(state.iterations() * kRecords);
}
BENCHMARK(BM_ViewPageDownThroughAll)->Unit(benchmark::kMillisecond);

// The position of the row at index (0-based) in view order.
std::string PositionAt(View& view, int index) {
  view.Start();
  for (int i = 0; i <= index; ++i) view.Next();
  return view.Position();
}

// One Page Down after the page whose last row is at index, the way a
// browse pages on: that row is the one the view read last.
void PageDownAt(benchmark::State& state, int index) {
  Fixture& f = Shared();
  std::string last = PositionAt(*f.view, index);
  int64_t read = 0;
  int64_t pages = 0;
  for (auto _ : state) {
    state.PauseTiming();
    f.view->ResetToPosition(last);
    f.view->Previous();
    f.view->Next();
    state.ResumeTiming();
    int64_t before = f.view->rowsRead();
    if (PageDown(*f.view, f.view->Position()) != kPage) state.SkipWithError("short page");
    read += f.view->rowsRead() - before;
    ++pages;
  }
  state.counters["rows_read_per_page"] = static_cast<double>(read) / std::max<int64_t>(pages, 1);
  state.SetItemsProcessed(state.iterations() * kPage);
}

void BM_ViewPageDownAtStart(benchmark::State& state) { PageDownAt(state, kPage - 1); }
BENCHMARK(BM_ViewPageDownAtStart);

void BM_ViewPageDownAtEnd(benchmark::State& state) { PageDownAt(state, kRecords - 2 * kPage - 1); }
BENCHMARK(BM_ViewPageDownAtEnd);

// A page from a stored position that is not the row read last: the
// sequence starts past that record, which is not read again.
void BM_ViewPageFromStoredPosition(benchmark::State& state) {
  Fixture& f = Shared();
  std::string last = PositionAt(*f.view, kRecords / 2);
  int64_t before = f.view->rowsRead();
  int64_t pages = 0;
  for (auto _ : state) {
    if (PageDown(*f.view, last) != kPage) state.SkipWithError("short page");
    ++pages;
  }
  state.counters["rows_read_per_page"] =
      static_cast<double>(f.view->rowsRead() - before) / std::max<int64_t>(pages, 1);
  state.SetItemsProcessed(state.iterations() * kPage);
}
BENCHMARK(BM_ViewPageFromStoredPosition);

}  // namespace

int main(int argc, char** argv) {
  benchmark::Initialize(&argc, argv);
  ledora::bench::RatioReporter reporter;
  benchmark::RunSpecifiedBenchmarks(&reporter);
  std::printf("\nRecords read from storage per page of %d:\n", kPage);
  reporter.PrintCounter("rows_read_per_page");
  std::printf("\nTime per record relative to raw SQLite (lower is faster):\n");
  reporter.PrintRatio("BM_ViewPageDownThroughAll", "BM_RawScan");
  reporter.PrintRatio("BM_ViewPageDownAtStart", "BM_RawScan");
  reporter.PrintRatio("BM_ViewPageDownAtEnd", "BM_RawScan");
  reporter.PrintRatio("BM_ViewPageFromStoredPosition", "BM_RawScan");
  reporter.PrintRatio("BM_ViewPageDownAtEnd", "BM_ViewPageDownAtStart");
  benchmark::Shutdown();
  return 0;
}
