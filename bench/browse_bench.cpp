// Browse Customers over 100,000 customers: the paged browse's first page,
// and Page Down near the start and near the end of the file. Prints the rows
// read per Page Down (both must equal the page size) and the time to show
// the first page as a ratio to raw SQLite reading the same 20 rows.
#include <benchmark/benchmark.h>
#include <sqlite3.h>
#include <stdlib.h>

#include <array>
#include <cstdio>
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "app/invoicing_dictionary.h"
#include "bench/ratio_reporter.h"
#include "framework/paged_browse.h"
#include "runtime/storage/sqlite_driver.h"
#include "runtime/values/fixed_string.h"
#include "runtime/views/view.h"

namespace {

using namespace ledora;

constexpr int kCustomers = 100000;
constexpr int kPage = 20;

struct Fixture {
  Fixture() {
    char pattern[] = "/tmp/ledora-browse-bench-XXXXXX";
    folder = mkdtemp(pattern);
    std::filesystem::current_path(folder);
    errors.Initialize();
    app::DictionarySetup(driver, errors);
    app::Relate_CUSTOMER->Open();
    app::Access_CUSTOMER->MakeUsable();
    runtime::DataFile& file = app::Access_CUSTOMER->CurrentFile();
    driver.Mark(file);
    driver.Logout(10);
    for (int i = 1; i <= kCustomers; ++i) {
      app::CUS.CUSTOMERID = i;
      runtime::AssignPadded(app::CUS.NAME, "Customer " + std::to_string((i * 7919) % kCustomers));
      runtime::AssignPadded(app::CUS.ADDRESS1, std::to_string(i % 200) + " Main Street");
      runtime::AssignPadded(app::CUS.ADDRESS2, "12345 Springfield");
      runtime::AssignPadded(app::CUS.TELEFON, "0123 " + std::to_string(i));
      runtime::AssignPadded(app::CUS.TELEFAX, "");
      file.Add();
    }
    driver.Commit();
    sqlite3_open((folder + "/CUSTOMER.KDS").c_str(), &raw);
  }
  ~Fixture() {
    sqlite3_close(raw);
    app::Relate_CUSTOMER->Close();
    app::DictionaryShutdown();
    std::filesystem::remove_all(folder);
  }

  std::string folder;
  data::ErrorReporter errors;
  runtime::SqliteDriver driver;
  sqlite3* raw = nullptr;
};

Fixture& Shared() {
  static Fixture fixture;
  return fixture;
}

// A customers browse by ID number with the list format's columns.
struct Browse {
  Browse() {
    view = std::make_unique<runtime::View>(
        runtime::ViewDeclaration{&app::Access_CUSTOMER->CurrentFile(), {}, {}});
    browse.Initialize(view.get(), app::Relate_CUSTOMER);
    browse.AddSortOrder(app::CustomerRecord::IDKEY);
    browse.AddField(runtime::FieldRef::Of(app::CUS.CUSTOMERID));
    browse.AddField(runtime::FieldRef::Of(app::CUS.NAME));
    browse.AddField(runtime::FieldRef::Of(app::CUS.ADDRESS1));
    browse.AddField(runtime::FieldRef::Of(app::CUS.ADDRESS2));
    browse.AddField(runtime::FieldRef::Of(app::CUS.TELEFON));
    browse.AddField(runtime::FieldRef::Of(app::CUS.TELEFAX));
    browse.SetVisibleRows(kPage);
  }
  ~Browse() {
    browse.Close();
    browse.Shutdown();
  }
  std::unique_ptr<runtime::View> view;
  framework::PagedBrowse browse;
};

void BM_RawFirstPage(benchmark::State& state) {
  Fixture& f = Shared();
  sqlite3_stmt* statement = nullptr;
  sqlite3_prepare_v2(
      f.raw,
      "SELECT _pos, _version, CUSTOMERID, NAME, ADDRESS1, ADDRESS2, TELEFON, "
      "TELEFAX FROM CUSTOMER WHERE (CUSTOMERID <> 0) ORDER BY CUSTOMERID, _pos LIMIT 20",
      -1, &statement, nullptr);
  // The texts are kept, as a program showing them must before the next step
  // takes SQLite's copies away; the strings keep their room from page to page.
  std::vector<std::array<std::string, 5>> page(kPage);
  for (auto _ : state) {
    int rows = 0;
    while (sqlite3_step(statement) == SQLITE_ROW && rows < kPage) {
      app::CUS.CUSTOMERID = sqlite3_column_int(statement, 2);
      for (int column = 3; column < 8; ++column) {
        page[rows][column - 3].assign(
            reinterpret_cast<const char*>(sqlite3_column_text(statement, column)),
            sqlite3_column_bytes(statement, column));
      }
      ++rows;
    }
    benchmark::DoNotOptimize(page.data());
    sqlite3_reset(statement);
    if (rows != kPage) state.SkipWithError("short page");
  }
  sqlite3_finalize(statement);
  state.SetItemsProcessed(state.iterations() * kPage);
}
BENCHMARK(BM_RawFirstPage);

void BM_BrowseFirstPage(benchmark::State& state) {
  Shared();
  for (auto _ : state) {
    Browse b;
    b.browse.ChooseSortOrder(1, true);
    if (b.browse.rows().size() != kPage) state.SkipWithError("short page");
  }
  state.SetItemsProcessed(state.iterations() * kPage);
}
BENCHMARK(BM_BrowseFirstPage);

// Page Down from the page that `pagesIn` Page Downs from the top (or from
// the bottom, going back) lead to; counts the rows each one reads.
void PageDownAt(benchmark::State& state, bool atEnd) {
  Shared();
  Browse b;
  b.browse.ChooseSortOrder(1, true);
  int64_t read = 0, pages = 0;
  for (auto _ : state) {
    state.PauseTiming();
    b.browse.OnScrollEvent(atEnd ? runtime::EventScrollBottom : runtime::EventScrollTop);
    if (atEnd) {
      for (int i = 0; i < 3; ++i) b.browse.OnScrollEvent(runtime::EventPageUp);
      b.browse.OnScrollEvent(runtime::EventPageDown);  // turns the view round
    }
    state.ResumeTiming();
    int64_t before = b.view->rowsRead();
    b.browse.OnScrollEvent(runtime::EventPageDown);
    read += b.view->rowsRead() - before;
    ++pages;
  }
  state.counters["rows_read_per_page"] = static_cast<double>(read) / std::max<int64_t>(pages, 1);
  state.SetItemsProcessed(state.iterations() * kPage);
}

void BM_BrowsePageDownAtStart(benchmark::State& state) { PageDownAt(state, false); }
BENCHMARK(BM_BrowsePageDownAtStart);

void BM_BrowsePageDownAtEnd(benchmark::State& state) { PageDownAt(state, true); }
BENCHMARK(BM_BrowsePageDownAtEnd);

}  // namespace

int main(int argc, char** argv) {
  benchmark::Initialize(&argc, argv);
  ledora::bench::RatioReporter reporter;
  benchmark::RunSpecifiedBenchmarks(&reporter);
  std::printf("\nRatios (time per row):\n");
  reporter.PrintRatio("BM_BrowseFirstPage", "BM_RawFirstPage");
  reporter.PrintRatio("BM_BrowsePageDownAtStart", "BM_RawFirstPage");
  reporter.PrintRatio("BM_BrowsePageDownAtEnd", "BM_RawFirstPage");
  benchmark::Shutdown();
  return 0;
}
