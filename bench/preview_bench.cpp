// Print preview: the time to show a page near the end of a 10,000-page
// report against a page near its start, through the real Qt presenter
// (offscreen), page width zoom, each page rendered (the pages walked are
// more than the render cache holds). Prints the ratio; the aim is at most 1.2.
#include <benchmark/benchmark.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <functional>
#include <string>

#include "bench/ratio_reporter.h"
#include "reporting/print_preview.h"
#include "runtime/qtwindow/qt_program.h"
#include "runtime/window/scheduler.h"
#include "tests/reporting/report_pages.h"

namespace {

using ledora::reporting::PrintPreview;
using ledora::runtime::Scheduler;

constexpr int kPages = 10000;
constexpr int kWalk = 64;  // distinct pages per benchmark, beyond the render cache

PrintPreview* gPreview = nullptr;

// Waits on the benchmark's thread until ready holds: whenever every other
// thread waits, this one looks again.
void WaitFor(const std::function<bool()>& ready) {
  Scheduler* scheduler = Scheduler::Current();
  int32_t self = scheduler->CurrentThread();
  scheduler->SetIdleHandler([scheduler, self] { scheduler->Wake(self); });
  scheduler->WaitUntil(ready);
  scheduler->SetIdleHandler(nullptr);
}

// Types the page number into the page spin and waits until it is drawn.
void ShowPage(int page) {
  ledora::runtime::Window* window = gPreview->PREVIEWWINDOW;
  window->UserTyped(ledora::reporting::PreviewCurrentPage, std::to_string(page));
  WaitFor([&] { return window->PendingEvents() == 0 && gPreview->CURRENTPAGE == page; });
}

void Walk(benchmark::State& state, int first) {
  int i = 0;
  for (auto _ : state) ShowPage(first + (i++ % kWalk));
  state.SetItemsProcessed(state.iterations());
}

void BM_ShowPageNearStart(benchmark::State& state) { Walk(state, 1); }
void BM_ShowPageNearEnd(benchmark::State& state) { Walk(state, kPages - kWalk + 1); }
BENCHMARK(BM_ShowPageNearStart)->Iterations(640)->UseRealTime()->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_ShowPageNearEnd)->Iterations(640)->UseRealTime()->Unit(benchmark::kMicrosecond);

}  // namespace

int main(int argc, char** argv) {
  setenv("QT_QPA_PLATFORM", "offscreen", 1);
  benchmark::Initialize(&argc, argv);
  std::string folder = (std::filesystem::temp_directory_path() / "ledora-preview-bench").string();
  std::filesystem::remove_all(folder);
  std::filesystem::create_directories(folder);
  ledora::runtime::PreviewQueue pages = ledora::testing::MakeReportPages(folder, kPages);
  if (static_cast<int>(pages.size()) != kPages) {
    std::fprintf(stderr, "the report made %zu pages\n", pages.size());
    return 1;
  }
  ledora::bench::RatioReporter reporter;
  ledora::runtime::RunWithQt(argc, argv, [&] {
    PrintPreview preview;
    gPreview = &preview;
    preview.ALLOWUSERZOOM = 1;
    preview.Setup(&pages);
    bool ended = false;
    ledora::runtime::Start(
        [&] {
          preview.ShowZoomed(-1, 1, 1, 1);
          ended = true;
        },
        0);
    WaitFor([&] { return preview.PREVIEWWINDOW->IsOpen(); });
    // Fonts and caches warm up away from both ends, so neither pays for it.
    for (int page = 5000; page < 5000 + kWalk; ++page) ShowPage(page);
    benchmark::RunSpecifiedBenchmarks(&reporter);
    preview.PREVIEWWINDOW->Post(ledora::runtime::EventCloseWindow);
    WaitFor([&] { return ended; });
  });
  std::printf("Page N of %d against page 1 (aim: at most 1.2x):\n", kPages);
  reporter.PrintRatio("BM_ShowPageNearEnd/iterations:640/real_time",
                      "BM_ShowPageNearStart/iterations:640/real_time");
  std::filesystem::remove_all(folder);
  return 0;
}
