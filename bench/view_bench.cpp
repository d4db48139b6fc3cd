// A browse paging Page Down through a view of 100,000 records: reset past
// the page's last row, read a page.
// Prints the records read per page near the start and near the end (they
// must both equal the page size) and the time per record as a ratio to raw
// SQLite reading the same rows in the same order.
#include <benchmark/benchmark.h>
#include <sqlite3.h>

#include <cstdio>
#include <memory>
#include <string>

#include "bench/bench_items.h"
#include "bench/ratio_reporter.h"
#include "runtime/views/view.h"

namespace {

using namespace ledora::runtime;
using ledora::bench::BenchItem;

constexpr int kRecords = 100000;
constexpr int kPage = 20;

struct Fixture {
  Fixture() : name(folder.path() + "/ITEMS") {
    file = driver.Declare(ledora::bench::BenchItemDeclaration(name, &item, false));
    ledora::bench::MakeBenchItems(driver, *file, item, kRecords);
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
  }

  ledora::bench::BenchFolder folder;
  std::string name;
  SqliteDriver driver;
  BenchItem item{};
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
    while (sqlite3_step(statement) == SQLITE_ROW) ledora::bench::ReadRawItem(statement, 2, &f.item);
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
