// The invoice report through the whole procedure, as `ledora print invoices
// --pdf` runs it (view with the line child process, customer and item
// hooks, layout, pagination, PDF): 10,000 invoices of 5 lines each, one page
// an invoice, each page with its invoice's page count ("Page 1 of 1") as the
// shipped design prints it. Prints pages per second against the aim of 100,
// and the peak memory of 10,000 pages against 1,000 (the aim is at most
// 1.1: neither the pages nor their counts are kept in memory).
#include <benchmark/benchmark.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <filesystem>
#include <map>
#include <string>

#include "app/invoicing_dictionary.h"
#include "bench/bench_items.h"
#include "bench/ratio_reporter.h"
#include "runtime/storage/sqlite_driver.h"
#include "runtime/values/decimal.h"
#include "runtime/values/fixed_string.h"

namespace {

using namespace ledora;

constexpr double kAimPagesPerSecond = 100;
constexpr int kLinesPerInvoice = 5;

void SetMoney(unsigned char* field, int64_t cents) {
  runtime::PackDecimal(runtime::Decimal::FromUnits(cents, 2), field, app::kMoneySize,
                       app::kMoneyPlaces);
}

// Fills folder's invoicing files in one transaction: 50 customers, 30
// items, `invoices` invoices of five lines.
bool MakeInvoices(const std::string& folder, int invoices) {
  auto previous = std::filesystem::current_path();
  std::filesystem::current_path(folder);
  data::ErrorReporter errors;
  errors.Initialize();
  runtime::SqliteDriver driver;
  bool ok = app::DictionarySetup(driver, errors);
  std::vector<data::RelationController*> relations = {app::Relate_CUSTOMER, app::Relate_ITEMS,
                                                      app::Relate_INVOICES, app::Relate_INVOICEL};
  for (data::RelationController* relation : relations) {
    ok = ok && relation->Open() == 0 && relation->ME->MakeUsable() == 0;
    if (ok) driver.Mark(relation->ME->CurrentFile());
  }
  ok = ok && driver.Logout(10) == 0;
  for (int i = 1; ok && i <= 50; ++i) {
    app::CUS = {};
    app::CUS.CUSTOMERID = i;
    runtime::AssignPadded(app::CUS.NAME, "Customer " + std::to_string(i));
    runtime::AssignPadded(app::CUS.ADDRESS1, std::to_string(i) + " Station Road");
    ok = app::Access_CUSTOMER->CurrentFile().Add() == 0;
  }
  for (int i = 1; ok && i <= 30; ++i) {
    app::ITE = {};
    app::ITE.ITEMNR = i;
    runtime::AssignPadded(app::ITE.DESCRIPTION, "Item " + std::to_string(i));
    SetMoney(app::ITE.PRICE, 100 + i * 37);
    ok = app::Access_ITEMS->CurrentFile().Add() == 0;
  }
  for (int i = 1; ok && i <= invoices; ++i) {
    app::INV = {};
    app::INV.NUMBER = i;
    app::INV.CUSTOMERID = 1 + i % 50;
    app::INV.INVOICEDATE = 80000 + i % 700;
    SetMoney(app::INV.SALES, 1000 + i);
    ok = app::Access_INVOICES->CurrentFile().Add() == 0;
    for (int line = 1; ok && line <= kLinesPerInvoice; ++line) {
      app::INVL = {i, line, 1 + (i + line) % 30, line, {}};
      SetMoney(app::INVL.PRICE, 200 + line);
      ok = app::Access_INVOICEL->CurrentFile().Add() == 0;
    }
  }
  ok = driver.Commit() == 0 && ok;
  for (data::RelationController* relation : relations) relation->Close();
  app::DictionaryShutdown();
  errors.Shutdown();
  std::filesystem::current_path(previous);
  return ok;
}

// Peak memory by invoice count, for the ratio printed at the end.
std::map<int, long> peaks;

struct ChildRun {
  bool ok = false;
  double seconds = 0;
  long peakKilobytes = 0;
};

// `ledora print invoices --pdf` in folder, as a process of its own.
ChildRun PrintInvoices(const std::string& folder) {
  std::string program =
      (std::filesystem::read_symlink("/proc/self/exe").parent_path().parent_path() / "ledora")
          .string();
  auto start = std::chrono::steady_clock::now();
  pid_t child = fork();
  if (child == 0) {
    if (chdir(folder.c_str()) != 0) _exit(127);
    execl(program.c_str(), program.c_str(), "print", "invoices", "--pdf", "invoices.pdf",
          static_cast<char*>(nullptr));
    _exit(127);
  }
  ChildRun run;
  int status = 0;
  rusage usage{};
  if (child < 0 || wait4(child, &status, 0, &usage) != child) return run;
  run.seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
  run.ok = WIFEXITED(status) && WEXITSTATUS(status) == 0;
  run.peakKilobytes = usage.ru_maxrss;
  return run;
}

void BM_InvoiceReportToPdf(benchmark::State& state) {
  int invoices = static_cast<int>(state.range(0));
  bench::BenchFolder folder;
  if (!MakeInvoices(folder.path(), invoices)) {
    state.SkipWithError("the invoices could not be made");
    return;
  }
  ChildRun run;
  for (auto _ : state) {
    run = PrintInvoices(folder.path());
    if (!run.ok) state.SkipWithError("ledora print failed");
    state.SetIterationTime(run.seconds);
  }
  state.SetItemsProcessed(state.iterations() * invoices);
  state.counters["pages_per_second"] = invoices / run.seconds;
  state.counters["ratio_to_aim"] = invoices / run.seconds / kAimPagesPerSecond;
  state.counters["peak_kb"] = static_cast<double>(run.peakKilobytes);
  peaks[invoices] = run.peakKilobytes;
}
BENCHMARK(BM_InvoiceReportToPdf)
    ->Arg(1000)
    ->Arg(10000)
    ->Iterations(1)
    ->UseManualTime()
    ->Unit(benchmark::kMillisecond);

}  // namespace

int main(int argc, char** argv) {
  benchmark::Initialize(&argc, argv);
  bench::RatioReporter reporter;
  benchmark::RunSpecifiedBenchmarks(&reporter);
  std::printf("\nPeak memory (kB) and pages per second by report length:\n");
  reporter.PrintCounter("peak_kb");
  reporter.PrintCounter("pages_per_second");
  std::printf("Pages per second against the aim of %.0f:\n", kAimPagesPerSecond);
  reporter.PrintCounter("ratio_to_aim");
  if (peaks[1000] > 0 && peaks[10000] > 0) {
    std::printf("Peak memory of 10,000 pages against 1,000 (aim: at most 1.1): %.2fx\n",
                static_cast<double>(peaks[10000]) / static_cast<double>(peaks[1000]));
  }
  benchmark::Shutdown();
  return 0;
}
