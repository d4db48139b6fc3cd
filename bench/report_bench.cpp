// Report engine throughput and memory: a customer list of 1,000 pages to
// PDF, and the peak memory of 100 against 1,000 pages. Prints ratios: pages
// per second against the aim of 100, and peak memory of 1,000 pages against
// 100 (the aim is at most 1.5).
#include <benchmark/benchmark.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <QGuiApplication>
#include <cstdlib>
#include <filesystem>
#include <memory>

#include "runtime/qtreport/pdf_output.h"
#include "runtime/qtreport/qt_font_metrics.h"
#include "tests/runtime/report/list_report.h"

namespace {

using ledora::runtime::PdfOutput;
using ledora::runtime::QtFontMetrics;
using ledora::testing::ListReport;

constexpr double kAimPagesPerSecond = 100;

// The list prints 30 pages for every 1,000 customers.
int CustomersFor(int pages) { return pages * 1000 / 30; }

// Qt's own globals go before a static would, so the application lives on the
// stack of the code that draws.
std::unique_ptr<QGuiApplication> MakeGuiApp() {
  setenv("QT_QPA_PLATFORM", "offscreen", 1);
  static int argc = 1;
  static char name[] = "report_bench";
  static char* argv[] = {name, nullptr};
  return std::make_unique<QGuiApplication>(argc, argv);
}

// Prints the list to PDF; returns the number of pages, or -1 on failure.
int PrintToPdf(int pages, const std::string& folder) {
  QtFontMetrics metrics;
  ListReport list(folder);
  list.report.SetFontMetrics(&metrics);
  if (!list.Run(CustomersFor(pages))) return -1;
  int written = list.report.PagesWritten();
  PdfOutput pdf(folder + "/list.pdf");
  return list.report.Flush(pdf, "Customers") ? written : -1;
}

// Peak resident memory, in kilobytes, of a fresh process printing that many pages.
long PeakKilobytes(int pages, const std::string& folder) {
  pid_t child = fork();
  if (child == 0) {
    std::unique_ptr<QGuiApplication> app = MakeGuiApp();
    _exit(PrintToPdf(pages, folder) > 0 ? 0 : 1);
  }
  int status = 0;
  rusage usage{};
  if (child < 0 || wait4(child, &status, 0, &usage) != child || status != 0) return -1;
  return usage.ru_maxrss;
}

std::string Folder(const char* name) {
  std::string folder = (std::filesystem::temp_directory_path() / name).string();
  std::filesystem::create_directories(folder);
  return folder;
}

// Runs first, before this process has any Qt state for the children to inherit.
void BM_PeakMemory100Vs1000Pages(benchmark::State& state) {
  std::string folder = Folder("ledora-report-bench-memory");
  long small = 0, large = 0;
  for (auto _ : state) {
    small = PeakKilobytes(100, folder);
    large = PeakKilobytes(1000, folder);
  }
  if (small <= 0 || large <= 0) state.SkipWithError("a child print failed");
  state.counters["peak_kb_100"] = static_cast<double>(small);
  state.counters["peak_kb_1000"] = static_cast<double>(large);
  state.counters["ratio_1000_to_100"] = static_cast<double>(large) / static_cast<double>(small);
  std::filesystem::remove_all(folder);
}
BENCHMARK(BM_PeakMemory100Vs1000Pages)->Iterations(1)->Unit(benchmark::kMillisecond);

void BM_ThousandPagesToPdf(benchmark::State& state) {
  std::unique_ptr<QGuiApplication> app = MakeGuiApp();
  std::string folder = Folder("ledora-report-bench-pdf");
  int64_t pages = 0;
  for (auto _ : state) {
    int written = PrintToPdf(1000, folder);
    if (written < 0) state.SkipWithError("printing failed");
    pages += written;
  }
  state.counters["pages_per_second"] =
      benchmark::Counter(static_cast<double>(pages), benchmark::Counter::kIsRate);
  state.counters["ratio_to_aim"] = benchmark::Counter(
      static_cast<double>(pages) / kAimPagesPerSecond, benchmark::Counter::kIsRate);
  std::filesystem::remove_all(folder);
}
BENCHMARK(BM_ThousandPagesToPdf)->Iterations(2)->UseRealTime()->Unit(benchmark::kMillisecond);

}  // namespace
