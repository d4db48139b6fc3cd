// The invoice report through the whole procedure, as `ledora print invoices
// --pdf` runs it (view with the line child process, customer and item
// hooks, layout, pagination, PDF), 1,000 and 10,000 invoices of 5 lines
// each, one page an invoice with its invoice's page count ("Page 1 of 1") as
// the shipped design prints it, against a ReportLab script printing the same
// invoices from CSV exported by the program. Prints the time ratios, the PDF
// sizes and the peak memory of 10,000 pages against 1,000 for both.
#include <benchmark/benchmark.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <filesystem>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "app/invoicing_dictionary.h"
#include "bench/bench_items.h"
#include "bench/ratio_reporter.h"
#include "runtime/storage/sqlite_driver.h"
#include "runtime/values/decimal.h"
#include "runtime/values/fixed_string.h"

namespace {

using namespace ledora;

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
    runtime::AssignPadded(app::CUS.ADDRESS2, "");
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

struct ChildRun {
  bool ok = false;
  double seconds = 0;
  long peakKilobytes = 0;
};

std::filesystem::path BuildFolder() {
  return std::filesystem::read_symlink("/proc/self/exe").parent_path().parent_path();
}

// Runs argv in folder as a process of its own, its output to out when set.
ChildRun RunChild(const std::string& folder, std::vector<std::string> argv,
                  const std::string& out = "") {
  std::vector<char*> args;
  for (std::string& arg : argv) args.push_back(arg.data());
  args.push_back(nullptr);
  auto start = std::chrono::steady_clock::now();
  pid_t child = fork();
  if (child == 0) {
    if (chdir(folder.c_str()) != 0) _exit(127);
    if (!out.empty() && !freopen(out.c_str(), "w", stdout)) _exit(127);
    execv(args[0], args.data());
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

// The invoices of one size, made once and shared by every repetition of both
// sides, with the CSV the peer reads; removed when the program ends.
struct InvoiceData {
  bench::BenchFolder folder;
  bool ok = false;
};

InvoiceData& Invoices(int invoices) {
  static std::map<int, std::unique_ptr<InvoiceData>> made;
  std::unique_ptr<InvoiceData>& data = made[invoices];
  if (data) return *data;
  data = std::make_unique<InvoiceData>();
  const std::string& folder = data->folder.path();
  data->ok = MakeInvoices(folder, invoices);
  std::string program = (BuildFolder() / "ledora").string();
  for (const char* file : {"CUSTOMER", "ITEMS", "INVOICES", "INVOICEL"}) {
    data->ok = data->ok &&
               RunChild(folder, {program, "export", file, "--csv", std::string(file) + ".csv"}).ok;
  }
  return *data;
}

// Peak memory by invoice count and side, for the ratios printed at the end.
std::map<std::string, std::map<int, long>> peaks;

void RunPrinter(benchmark::State& state, const std::string& side,
                const std::vector<std::string>& argv) {
  int invoices = static_cast<int>(state.range(0));
  InvoiceData& data = Invoices(invoices);
  if (!data.ok) {
    state.SkipWithError("the invoices could not be made");
    return;
  }
  ChildRun run;
  for (auto _ : state) {
    run = RunChild(data.folder.path(), argv);
    if (!run.ok) state.SkipWithError((side + " failed").c_str());
    state.SetIterationTime(run.seconds);
  }
  std::filesystem::path pdf = std::filesystem::path(data.folder.path()) / "invoices.pdf";
  std::error_code ec;
  auto bytes = std::filesystem::file_size(pdf, ec);
  if (!ec) state.counters["pdf_MB_per_1000_pages"] = bytes * 1000.0 / invoices / 1e6;
  std::filesystem::remove(pdf, ec);
  state.SetItemsProcessed(state.iterations() * invoices);
  state.counters["pages_per_second"] = invoices / run.seconds;
  state.counters["peak_kb"] = static_cast<double>(run.peakKilobytes);
  peaks[side][invoices] = std::max(peaks[side][invoices], run.peakKilobytes);
}

// `ledora print invoices --pdf`, as users run it.
void BM_LedoraInvoicesPdf(benchmark::State& state) {
  RunPrinter(state, "ledora",
             {(BuildFolder() / "ledora").string(), "print", "invoices", "--pdf", "invoices.pdf"});
}

// The same invoices drawn by ReportLab from the exported CSV.
void BM_ReportLabInvoicesPdf(benchmark::State& state) {
  std::string script = std::string(LEDORA_SOURCE_DIR) + "/bench/peers/invoices_reportlab.py";
  RunPrinter(state, "reportlab", {"/usr/bin/python3", script, ".", "invoices.pdf"});
}

void Sizes(benchmark::internal::Benchmark* b) {
  b->Arg(1000)->Arg(10000)->Iterations(1)->UseManualTime()->Unit(benchmark::kMillisecond);
}
BENCHMARK(BM_LedoraInvoicesPdf)->Apply(Sizes);
BENCHMARK(BM_ReportLabInvoicesPdf)->Apply(Sizes);

}  // namespace

int main(int argc, char** argv) {
  benchmark::Initialize(&argc, argv);
  bench::RatioReporter reporter;
  benchmark::RunSpecifiedBenchmarks(&reporter);
  std::printf("\nTime against ReportLab (aim: at most 0.8x):\n");
  for (const char* size : {"1000", "10000"}) {
    std::string suffix = std::string("InvoicesPdf/") + size + "/iterations:1/manual_time";
    reporter.PrintRatio("BM_Ledora" + suffix, "BM_ReportLab" + suffix);
  }
  std::printf("PDF size per 1,000 pages against ReportLab's (aim: at most 1x):\n");
  reporter.PrintCounterRatio("pdf_MB_per_1000_pages",
                             "BM_LedoraInvoicesPdf/1000/iterations:1/manual_time",
                             "BM_ReportLabInvoicesPdf/1000/iterations:1/manual_time");
  std::printf("Peak memory of 10,000 pages against 1,000:\n");
  for (auto& [side, bySize] : peaks) {
    if (bySize[1000] > 0 && bySize[10000] > 0)
      std::printf("  %-30s %6.2fx\n", side.c_str(),
                  static_cast<double>(bySize[10000]) / static_cast<double>(bySize[1000]));
  }
  benchmark::Shutdown();
  return 0;
}
