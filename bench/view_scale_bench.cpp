// A view over 1,000,000 records: reading the 20 rows after a stored position
// must cost the same at the start, the middle and the end of the file, and a
// view limited to a range of a key's first component must read only the
// rows in the range. Prints the ratios end/start and middle/start, the rows
// read from storage per page (the view's count) and the rows SQLite handed
// over (the driver's count), and the time per row against raw SQLite.
#include <benchmark/benchmark.h>
#include <sqlite3.h>

#include <cstdio>
#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include "bench/bench_items.h"
#include "bench/ratio_reporter.h"
#include "runtime/expr/name_table.h"
#include "runtime/storage/sqlite_data_file.h"
#include "runtime/storage/sqlite_driver.h"
#include "runtime/views/view.h"

namespace {

using namespace ledora::runtime;

constexpr int kRecords = 1000000;
constexpr int kGroups = 1000;
constexpr int kPage = 20;

#pragma pack(push, 1)
struct Item {
  int32_t number;
  int32_t group;
  char name[30];
  uint8_t price[5];
};
#pragma pack(pop)

const RecordLayout& Layout() {
  static const RecordLayout layout("ITE", sizeof(Item),
                                   {{"ITE:ITEMNR", FieldLong, 0, 4, 0},
                                    {"ITE:GRP", FieldLong, 4, 4, 0},
                                    {"ITE:DESCRIPTION", FieldString, 8, 30, 0},
                                    {"ITE:PRICE", FieldDecimal, 38, 5, 2}});
  return layout;
}

FileDeclaration Declaration(const std::string& name, Item* buffer) {
  FileDeclaration file;
  file.name = name;
  file.layout = &Layout();
  file.buffer = buffer;
  file.keys = {{"ITE:ITEMNRKEY", {{0, false}}, true, true, false, false},
               {"ITE:GROUPKEY", {{1, false}, {0, false}}, true, false, false, false},
               {"ITE:DESCRIPTIONKEY", {{2, false}}, false, false, true, false}};
  return file;
}

std::string Description(int i) {
  char text[31];
  std::snprintf(text, sizeof text, "Item %07d", static_cast<int>((i * 7919LL) % kRecords));
  return text;
}

// The file is made once per run: an empty table through the driver, the
// rows by one prepared insert in one transaction without indexes, then the
// indexes built at once.
void Fill(const std::string& path) {
  sqlite3* db = nullptr;
  sqlite3_open(path.c_str(), &db);
  sqlite3_exec(db, "PRAGMA journal_mode=OFF; PRAGMA synchronous=OFF; BEGIN", nullptr, nullptr,
               nullptr);
  std::vector<std::string> indexes;
  sqlite3_stmt* statement = nullptr;
  sqlite3_prepare_v2(db, "SELECT name FROM sqlite_master WHERE type = 'index' AND sql IS NOT NULL",
                     -1, &statement, nullptr);
  while (sqlite3_step(statement) == SQLITE_ROW) {
    indexes.emplace_back(reinterpret_cast<const char*>(sqlite3_column_text(statement, 0)));
  }
  sqlite3_finalize(statement);
  for (const std::string& index : indexes) {
    sqlite3_exec(db, ("DROP INDEX \"" + index + "\"").c_str(), nullptr, nullptr, nullptr);
  }
  sqlite3_prepare_v2(db, "INSERT INTO ITEMS(ITEMNR, GRP, DESCRIPTION, PRICE) VALUES(?, ?, ?, ?)",
                     -1, &statement, nullptr);
  for (int i = 1; i <= kRecords; ++i) {
    std::string name = Description(i);
    sqlite3_bind_int(statement, 1, i);
    sqlite3_bind_int(statement, 2, i % kGroups);
    sqlite3_bind_text(statement, 3, name.data(), static_cast<int>(name.size()), SQLITE_STATIC);
    sqlite3_bind_double(statement, 4, (i % 10000) / 100.0);
    sqlite3_step(statement);
    sqlite3_reset(statement);
  }
  sqlite3_finalize(statement);
  sqlite3_exec(db, "COMMIT", nullptr, nullptr, nullptr);
  sqlite3_close(db);
}

struct Fixture {
  Fixture() : name(folder.path() + "/ITEMS") {
    file = driver.Declare(Declaration(name, &item));
    file->Create();
    Fill(name + ".KDS");
    file->BuildKeys();
    file->Open();
    sqlite3_open((name + ".KDS").c_str(), &raw);
    BoundNames().BindRecord(Layout(), &item);
  }
  ~Fixture() {
    BoundNames().UnbindRecord(Layout());
    file.reset();
    sqlite3_close(raw);
  }

  std::unique_ptr<View> MakeView(const std::string& order, const std::string& filter) {
    ViewDeclaration declaration;
    declaration.primary = file.get();
    auto view = std::make_unique<View>(declaration);
    view->Open();
    view->SetOrder(order);
    view->SetFilter(filter);
    view->Start();
    return view;
  }
  int64_t Stepped() const { return static_cast<SqliteDataFile&>(*file).rowsStepped(); }

  ledora::bench::BenchFolder folder;
  std::string name;
  SqliteDriver driver;
  Item item{};
  std::unique_ptr<DataFile> file;
  sqlite3* raw = nullptr;
};

Fixture& Shared() {
  static Fixture fixture;
  return fixture;
}

// The position of the row at index (0-based) of an order, as a browse
// stores it.
std::string PositionAt(const char* orderBy, int index) {
  sqlite3_stmt* statement = nullptr;
  std::string sql = std::string("SELECT _pos FROM ITEMS ORDER BY ") + orderBy + " LIMIT 1 OFFSET ?";
  sqlite3_prepare_v2(Shared().raw, sql.c_str(), -1, &statement, nullptr);
  sqlite3_bind_int(statement, 1, index);
  std::string position;
  if (sqlite3_step(statement) == SQLITE_ROW)
    position = std::to_string(sqlite3_column_int64(statement, 0));
  sqlite3_finalize(statement);
  return position;
}

// One page after a stored position per iteration; the view has read other
// rows since, so the reset cannot lean on what it read last.
void PageAfter(benchmark::State& state, const char* order, const char* orderBy, int index) {
  Fixture& f = Shared();
  auto view = f.MakeView(order, "");
  std::string stored = PositionAt(orderBy, index);
  int64_t read = 0, stepped = 0, pages = 0;
  for (auto _ : state) {
    int64_t readBefore = view->rowsRead(), steppedBefore = f.Stepped();
    view->ResetAfterPosition(stored);
    int rows = 0;
    while (rows < kPage && view->Next() == 0) ++rows;
    if (rows != kPage) state.SkipWithError("short page");
    read += view->rowsRead() - readBefore;
    stepped += f.Stepped() - steppedBefore;
    ++pages;
    f.driver.EndReads();  // the browse waits for its user between pages
  }
  state.counters["rows_read_per_page"] = static_cast<double>(read) / std::max<int64_t>(pages, 1);
  state.counters["rows_stepped_per_page"] =
      static_cast<double>(stepped) / std::max<int64_t>(pages, 1);
  state.SetItemsProcessed(state.iterations() * kPage);
}

constexpr const char* kByNumber = "ITEMNR, _pos";
constexpr const char* kByName = "DESCRIPTION COLLATE NOCASE, _pos";

void BM_PageByNumberAtStart(benchmark::State& s) { PageAfter(s, "ITE:ITEMNR", kByNumber, 100); }
void BM_PageByNumberInMiddle(benchmark::State& s) {
  PageAfter(s, "ITE:ITEMNR", kByNumber, kRecords / 2);
}
void BM_PageByNumberAtEnd(benchmark::State& s) {
  PageAfter(s, "ITE:ITEMNR", kByNumber, kRecords - 100);
}
void BM_PageByNameAtStart(benchmark::State& s) {
  PageAfter(s, "UPPER(ITE:DESCRIPTION)", kByName, 100);
}
void BM_PageByNameInMiddle(benchmark::State& s) {
  PageAfter(s, "UPPER(ITE:DESCRIPTION)", kByName, kRecords / 2);
}
void BM_PageByNameAtEnd(benchmark::State& s) {
  PageAfter(s, "UPPER(ITE:DESCRIPTION)", kByName, kRecords - 100);
}
BENCHMARK(BM_PageByNumberAtStart);
BENCHMARK(BM_PageByNumberInMiddle);
BENCHMARK(BM_PageByNumberAtEnd);
BENCHMARK(BM_PageByNameAtStart);
BENCHMARK(BM_PageByNameInMiddle);
BENCHMARK(BM_PageByNameAtEnd);

// The same page with raw SQLite: one seek past the stored row, 20 steps.
void BM_RawPage(benchmark::State& state) {
  Fixture& f = Shared();
  sqlite3_stmt* statement = nullptr;
  sqlite3_prepare_v2(f.raw,
                     "SELECT _pos, _version, ITEMNR, GRP, DESCRIPTION, PRICE FROM ITEMS "
                     "WHERE (ITEMNR, _pos) > (?1, ?2) ORDER BY ITEMNR, _pos LIMIT 20",
                     -1, &statement, nullptr);
  int stored = kRecords / 2;
  for (auto _ : state) {
    sqlite3_bind_int(statement, 1, stored);
    sqlite3_bind_int(statement, 2, stored);
    while (sqlite3_step(statement) == SQLITE_ROW) {
      f.item.number = sqlite3_column_int(statement, 2);
      f.item.group = sqlite3_column_int(statement, 3);
      int length = sqlite3_column_bytes(statement, 4);
      std::memcpy(f.item.name, sqlite3_column_text(statement, 4), length);
      std::memset(f.item.name + length, ' ', sizeof f.item.name - length);
      PackDecimal(Decimal::FromDouble(sqlite3_column_double(statement, 5), 2), f.item.price, 5, 2);
    }
    sqlite3_reset(statement);
  }
  sqlite3_finalize(statement);
  state.SetItemsProcessed(state.iterations() * kPage);
}
BENCHMARK(BM_RawPage);

// Every record of one group through the group key (group, number).
void Range(benchmark::State& state, const char* order, const char* filter, int expected) {
  Fixture& f = Shared();
  auto view = f.MakeView(order, filter);
  int64_t stepped = 0, runs = 0;
  for (auto _ : state) {
    int64_t before = f.Stepped();
    view->Start();
    int rows = 0;
    while (view->Next() == 0) ++rows;
    if (rows != expected) state.SkipWithError("wrong rows");
    stepped += f.Stepped() - before;
    ++runs;
    f.driver.EndReads();
  }
  state.counters["rows_in_range"] = expected;
  state.counters["rows_stepped_per_range"] =
      static_cast<double>(stepped) / std::max<int64_t>(runs, 1);
  state.SetItemsProcessed(state.iterations() * expected);
}

void BM_RangeOfFirstComponent(benchmark::State& s) {
  Range(s, "ITE:GRP,ITE:ITEMNR", "ITE:GRP = 500", kRecords / kGroups);
}
void BM_RangeBetweenBounds(benchmark::State& s) {
  Range(s, "ITE:ITEMNR", "ITE:ITEMNR >= 500000 AND ITE:ITEMNR <= 500019", kPage);
}
BENCHMARK(BM_RangeOfFirstComponent);
BENCHMARK(BM_RangeBetweenBounds);

void BM_RawRangeOfFirstComponent(benchmark::State& state) {
  Fixture& f = Shared();
  sqlite3_stmt* statement = nullptr;
  sqlite3_prepare_v2(f.raw,
                     "SELECT _pos, _version, ITEMNR, GRP, DESCRIPTION, PRICE FROM ITEMS "
                     "WHERE GRP = 500 ORDER BY GRP, ITEMNR, _pos",
                     -1, &statement, nullptr);
  for (auto _ : state) {
    while (sqlite3_step(statement) == SQLITE_ROW) f.item.number = sqlite3_column_int(statement, 2);
    sqlite3_reset(statement);
  }
  sqlite3_finalize(statement);
  state.SetItemsProcessed(state.iterations() * (kRecords / kGroups));
}
BENCHMARK(BM_RawRangeOfFirstComponent);

}  // namespace

int main(int argc, char** argv) {
  benchmark::Initialize(&argc, argv);
  ledora::bench::RatioReporter reporter;
  benchmark::RunSpecifiedBenchmarks(&reporter);
  std::printf("\nA page of %d after a stored position, relative to the start (aim: <= 1.5x):\n",
              kPage);
  reporter.PrintRatio("BM_PageByNumberInMiddle", "BM_PageByNumberAtStart");
  reporter.PrintRatio("BM_PageByNumberAtEnd", "BM_PageByNumberAtStart");
  reporter.PrintRatio("BM_PageByNameInMiddle", "BM_PageByNameAtStart");
  reporter.PrintRatio("BM_PageByNameAtEnd", "BM_PageByNameAtStart");
  std::printf("\nRecords the view read per page (aim: %d):\n", kPage);
  reporter.PrintCounter("rows_read_per_page");
  std::printf("\nRows SQLite handed over per page:\n");
  reporter.PrintCounter("rows_stepped_per_page");
  std::printf("\nRows SQLite handed over per range:\n");
  reporter.PrintCounter("rows_stepped_per_range");
  std::printf("\nRows in the range:\n");
  reporter.PrintCounter("rows_in_range");
  std::printf("\nTime per row relative to raw SQLite (lower is faster):\n");
  reporter.PrintRatio("BM_PageByNumberInMiddle", "BM_RawPage");
  reporter.PrintRatio("BM_RangeOfFirstComponent", "BM_RawRangeOfFirstComponent");
  benchmark::Shutdown();
  return 0;
}
