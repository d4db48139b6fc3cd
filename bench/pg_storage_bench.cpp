// The PostgreSQL driver on a server of its own, on a table of a million
// items: keyed next and fetch through the driver against the same keyset
// and fetch queries sent with plain libpq, a page at the end of the order
// against one at its start, and how many invoices with lines 8 stations
// insert at once through the data layer.
#include <benchmark/benchmark.h>
#include <endian.h>
#include <libpq-fe.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <cstring>
#include <memory>
#include <string>

#include "app/invoicing_dictionary.h"
#include "bench/bench_items.h"
#include "bench/ratio_reporter.h"
#include "data/error_reporter.h"
#include "runtime/storage/pg_driver.h"
#include "tests/app/numbered_invoice.h"
#include "tests/support/pg_server.h"

namespace {

using namespace ledora::runtime;
using ledora::bench::BenchItem;
using ledora::bench::DescriptionKey;

constexpr int kRecords = 1000000;
constexpr int kPage = 20;
constexpr int kStations = 8;
constexpr int kInsertSeconds = 10;

// The server, the items table (made through the driver, filled by one
// INSERT ... SELECT) and a plain libpq connection to it.
struct Fixture {
  Fixture() {
    if (!server.running()) {
      std::fprintf(stderr, "the PostgreSQL server did not start: %s\n", server.error().c_str());
      std::exit(1);
    }
    driver.Connect(server.Url(), "bench");
    auto file = driver.Declare(ledora::bench::BenchItemDeclaration("ITEMS", &item, true));
    file->Create();
    raw = PQconnectdb(server.Url().c_str());
    Exec("SET search_path TO bench");
    // Descriptions as the SQLite benchmarks make them; the folded column
    // of the case-insensitive key beside them.
    Exec(
        "INSERT INTO ledora_1(\"ITEMNR\", \"DESCRIPTION\", \"PRICE\", \"nc_DESCRIPTION\") "
        "SELECT i, convert_to('Item ' || (i::bigint * 7919 % " +
        std::to_string(kRecords) +
        "), 'UTF8'), '\\x0000000000'::bytea, convert_to('item ' || (i::bigint * 7919 % " +
        std::to_string(kRecords) + "), 'UTF8') FROM generate_series(1, " +
        std::to_string(kRecords) + ") AS i");
    Exec("ANALYZE ledora_1");
  }
  ~Fixture() { PQfinish(raw); }
  void Exec(const std::string& sql) {
    PGresult* result = PQexec(raw, sql.c_str());
    if (PQresultStatus(result) != PGRES_COMMAND_OK && PQresultStatus(result) != PGRES_TUPLES_OK) {
      std::fprintf(stderr, "%s: %s\n", sql.c_str(), PQerrorMessage(raw));
      std::exit(1);
    }
    PQclear(result);
  }

  ledora::testing::PgServer server;
  PgDriver driver;
  BenchItem item{};
  PGconn* raw = nullptr;
};

Fixture& Shared() {
  static Fixture fixture;
  return fixture;
}

// A row of the plain queries, read as the driver reads it.
void ReadRaw(PGresult* result, BenchItem* item, std::string* folded, int64_t* pos) {
  uint64_t big;
  memcpy(&big, PQgetvalue(result, 0, 0), 8);
  *pos = static_cast<int64_t>(be64toh(big));
  memcpy(&big, PQgetvalue(result, 0, 2), 8);
  item->number = static_cast<int32_t>(be64toh(big));
  int length = PQgetlength(result, 0, 3);
  memcpy(item->name, PQgetvalue(result, 0, 3), length);
  memset(item->name + length, ' ', sizeof item->name - length);
  memcpy(item->price, PQgetvalue(result, 0, 4), 5);
  folded->assign(item->name, length);
  for (char& c : *folded) c = static_cast<char>(tolower(static_cast<unsigned char>(c)));
}

// Keyset reading in description order, one row per query, as the driver's
// Next does.
void BM_RawNext(benchmark::State& state) {
  Fixture& f = Shared();
  const char* sql =
      "SELECT _pos, _version, \"ITEMNR\", \"DESCRIPTION\", \"PRICE\" FROM ledora_1 WHERE "
      "\"DESCRIPTION\" <> ''::bytea AND (\"nc_DESCRIPTION\", _pos) > ($1, $2) "
      "ORDER BY \"nc_DESCRIPTION\", _pos LIMIT 1";
  Oid types[2] = {17, 20};
  std::string folded;
  int64_t pos = 0;
  BenchItem item;
  for (auto _ : state) {
    uint64_t big = htobe64(static_cast<uint64_t>(pos));
    const char* values[2] = {folded.data(), reinterpret_cast<const char*>(&big)};
    int lengths[2] = {static_cast<int>(folded.size()), 8};
    int formats[2] = {1, 1};
    PGresult* result = PQexecParams(f.raw, sql, 2, types, values, lengths, formats, 1);
    if (PQntuples(result) == 1) {
      ReadRaw(result, &item, &folded, &pos);
    } else {
      folded.clear();
      pos = 0;
    }
    PQclear(result);
  }
  state.SetItemsProcessed(state.iterations());
}
BENCHMARK(BM_RawNext);

void DriverNext(benchmark::State& state, bool quickScan) {
  Fixture& f = Shared();
  auto file = f.driver.Declare(ledora::bench::BenchItemDeclaration("ITEMS", &f.item, true));
  file->Open();
  file->Send(quickScan ? "QUICKSCAN=on" : "QUICKSCAN=off");
  file->SetOrder(DescriptionKey);
  for (auto _ : state) {
    if (file->Next() != 0) file->SetOrder(DescriptionKey);
  }
  state.SetItemsProcessed(state.iterations());
}
void BM_DriverNext(benchmark::State& state) { DriverNext(state, false); }
BENCHMARK(BM_DriverNext);
void BM_DriverQuickScanNext(benchmark::State& state) { DriverNext(state, true); }
BENCHMARK(BM_DriverQuickScanNext);

void BM_RawFetch(benchmark::State& state) {
  Fixture& f = Shared();
  const char* sql =
      "SELECT _pos, _version, \"ITEMNR\", \"DESCRIPTION\", \"PRICE\" FROM ledora_1 "
      "WHERE \"ITEMNR\" <> 0 AND \"ITEMNR\" = $1 ORDER BY \"ITEMNR\", _pos LIMIT 1";
  Oid types[1] = {20};
  std::string folded;
  int64_t pos;
  BenchItem item;
  int i = 0;
  for (auto _ : state) {
    uint64_t big = htobe64(static_cast<uint64_t>(i++ % kRecords + 1));
    const char* values[1] = {reinterpret_cast<const char*>(&big)};
    int lengths[1] = {8};
    int formats[1] = {1};
    PGresult* result = PQexecParams(f.raw, sql, 1, types, values, lengths, formats, 1);
    if (PQntuples(result) == 1) ReadRaw(result, &item, &folded, &pos);
    PQclear(result);
  }
  state.SetItemsProcessed(state.iterations());
}
BENCHMARK(BM_RawFetch);

void BM_DriverFetch(benchmark::State& state) {
  Fixture& f = Shared();
  auto file = f.driver.Declare(ledora::bench::BenchItemDeclaration("ITEMS", &f.item, true));
  ledora::bench::DriverFetchItems(state, *file, f.item, kRecords);
}
BENCHMARK(BM_DriverFetch);

// A page of the description order from a record's position on, as a browse
// list starts one: the first record of the order, or one of the last.
void Page(benchmark::State& state, const std::string& description) {
  Fixture& f = Shared();
  auto file = f.driver.Declare(ledora::bench::BenchItemDeclaration("ITEMS", &f.item, true));
  file->Open();
  memset(f.item.name, ' ', sizeof f.item.name);
  memcpy(f.item.name, description.data(), description.size());
  file->SetOnKey(DescriptionKey);
  file->Next();
  std::string position = file->Position();
  for (auto _ : state) {
    file->SetOnPosition(DescriptionKey, position);
    for (int i = 0; i < kPage; ++i) file->Next();
  }
  state.SetItemsProcessed(state.iterations() * kPage);
}
void BM_FirstPage(benchmark::State& state) { Page(state, "Item 0"); }
BENCHMARK(BM_FirstPage);
void BM_LastPage(benchmark::State& state) { Page(state, "Item 999970"); }
BENCHMARK(BM_LastPage);

// 8 stations (processes) each insert invoices of three lines through the
// invoicing dictionary for a few seconds; invoices per second of all
// together.
void BM_EightStationsInsert(benchmark::State& state) {
  Fixture& f = Shared();
  std::string schema = "stations";
  for (auto _ : state) {
    pid_t children[kStations];
    for (pid_t& child : children) {
      child = fork();
      if (child != 0) continue;
      ledora::data::ErrorReporter errors;
      errors.Initialize();
      PgDriver driver;
      if (driver.Connect(f.server.Url(), schema) != 0) _exit(2);
      if (!ledora::app::DictionarySetup(driver, errors)) _exit(3);
      ledora::app::Access_INVOICES->Open();
      ledora::app::Access_INVOICEL->Open();
      // A station that loses the race for a number three times running is
      // asked to try again; here it simply does.
      auto end = std::chrono::steady_clock::now() + std::chrono::seconds(kInsertSeconds);
      while (std::chrono::steady_clock::now() < end) ledora::testing::AddNumberedInvoice();
      ledora::app::Access_INVOICEL->Close();
      ledora::app::Access_INVOICES->Close();
      ledora::app::DictionaryShutdown();
      _exit(0);
    }
    for (pid_t child : children) waitpid(child, nullptr, 0);
  }
  auto count = [&](const char* file) {
    PGresult* id = PQexec(
        f.raw,
        (std::string("SELECT id FROM stations.ledora_tables WHERE name = '") + file + "'").c_str());
    long rows = 0;
    if (PQntuples(id) == 1) {
      PGresult* result = PQexec(
          f.raw,
          (std::string("SELECT count(*) FROM stations.ledora_") + PQgetvalue(id, 0, 0)).c_str());
      if (PQntuples(result) == 1) rows = std::atol(PQgetvalue(result, 0, 0));
      PQclear(result);
    }
    PQclear(id);
    return rows;
  };
  long invoices = count("invoices.kds!invoices");
  state.counters["invoices_per_second"] =
      static_cast<double>(invoices) / (kInsertSeconds * state.iterations());
  state.counters["lines_per_invoice"] =
      invoices > 0 ? static_cast<double>(count("invoicel.kds!invoicel")) / invoices : 0;
}
BENCHMARK(BM_EightStationsInsert)->Iterations(1)->Unit(benchmark::kSecond);

}  // namespace

int main(int argc, char** argv) {
  benchmark::Initialize(&argc, argv);
  ledora::bench::RatioReporter reporter;
  benchmark::RunSpecifiedBenchmarks(&reporter);
  std::printf("\nTime per record relative to plain libpq (lower is faster):\n");
  reporter.PrintRatio("BM_DriverNext", "BM_RawNext");
  reporter.PrintRatio("BM_DriverQuickScanNext", "BM_RawNext");
  reporter.PrintRatio("BM_DriverFetch", "BM_RawFetch");
  std::printf("\nA page at the end of %d records relative to the first page:\n", kRecords);
  reporter.PrintRatio("BM_LastPage", "BM_FirstPage");
  std::printf("\n%d stations inserting invoices with three lines:\n", kStations);
  reporter.PrintCounter("invoices_per_second");
  benchmark::Shutdown();
  return 0;
}
