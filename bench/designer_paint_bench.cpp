// What the screen adds to the designer's canvas on a big design (500
// controls on 10 bands): the design made into a page, and the page painted
// at true scale on a 96 dpi screen by the page painter, as the canvas does
// after every change and every pointer movement of a drag. With the
// designer's own costs (designer_bench) it must stay under a frame (16 ms).
#include <benchmark/benchmark.h>

#include <QGuiApplication>
#include <cstdlib>
#include <memory>

#include "bench/ratio_reporter.h"
#include "designer/design_canvas.h"
#include "designer/design_page.h"
#include "runtime/qtreport/page_painter.h"
#include "runtime/qtreport/qt_font_metrics.h"
#include "runtime/report/page_image.h"

namespace ledora::bench {
namespace {

constexpr int kPaperPixels = 816;  // 8.5 inches at 96 dpi

struct BigCanvas {
  BigCanvas() : state(nullptr, Bands()), canvas(state, {}) {
    for (int b = 4; b < 14; ++b) {
      state.AddBand(b);
      for (int i = 0; i < 50; ++i) {
        auto control = state.NewControl(layout::KindString);
        control->CTRL->Place((i % 10) * 650, (i / 10) * 190, 600, 180);
        control->PICTURE = "Text " + std::to_string(i);
        state.Band(b)->BANDCONTROLS.push_back(std::move(control));
      }
    }
    canvas.Arrange();
  }
  static std::vector<layout::BandRecord> Bands() {
    std::vector<layout::BandRecord> bands(10);
    for (uint8_t i = 0; i < 10; ++i) {
      bands[i].DETAILNUMBER = i + 1;
      bands[i].HEIGHT = 1000;
    }
    return bands;
  }
  layout::DesignState state;
  designer::DesignCanvas canvas;
};

void BM_CanvasPageOf500Controls(benchmark::State& state) {
  BigCanvas big;
  runtime::QtFontMetrics metrics;  // as the program's canvas measures
  for (auto _ : state) {
    benchmark::DoNotOptimize(designer::DesignPage(big.state, big.canvas, &metrics));
  }
  state.SetItemsProcessed(state.iterations());
}
BENCHMARK(BM_CanvasPageOf500Controls)->Unit(benchmark::kMillisecond);

void BM_CanvasPaintOf500Controls(benchmark::State& state) {
  BigCanvas big;
  runtime::PageImage page = designer::DesignPage(big.state, big.canvas);
  for (auto _ : state) benchmark::DoNotOptimize(runtime::PagePainter::Render(page, kPaperPixels));
  state.SetItemsProcessed(state.iterations());
}
BENCHMARK(BM_CanvasPaintOf500Controls)->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace ledora::bench

int main(int argc, char** argv) {
  setenv("QT_QPA_PLATFORM", "offscreen", 0);
  QGuiApplication application(argc, argv);
  benchmark::Initialize(&argc, argv);
  ledora::bench::RatioReporter reporter;
  benchmark::RunSpecifiedBenchmarks(&reporter);
  std::printf("Aim: page and paint together, with the designer's own costs, under 16 ms.\n");
  benchmark::Shutdown();
  return 0;
}
