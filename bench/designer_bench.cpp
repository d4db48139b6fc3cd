// The designer's canvas on a big design: 500 controls on 10 bands. Redrawing
// the whole canvas after every control moved, and one pointer movement of a
// drag of 20 tagged controls, each must stay well under a frame (16 ms) for
// dragging to feel fluid. The window model is shown through the headless
// presenter, so these are the designer's own costs.
#include <benchmark/benchmark.h>

#include <memory>

#include "bench/bench_items.h"
#include "bench/ratio_reporter.h"
#include "designer/designer_window.h"
#include "layout/design_state.h"
#include "layout/record_stream.h"
#include "runtime/storage/sqlite_driver.h"
#include "runtime/values/fixed_string.h"
#include "runtime/window/headless_driver.h"

namespace ledora::bench {
namespace {

constexpr int kBands = 10;
constexpr int kPerBand = 50;

// The design files with the type "Bench" and its design "Big", and a
// designer window open on it.
class BigDesign {
 public:
  BigDesign() : designs_(storage_) {
    designs_.DefinitionsFile = folder_.path() + "/RptDes1.KDS";
    designs_.DesignsFile = folder_.path() + "/NewRpt.KDS";
    designs_.BuildTableNames();
    using namespace layout;
    for (DesignTable t :
         {R_Types, R_Bands, R_Fields, R_TypeFields, R_Design, R_Content, R_StdDesign}) {
      designs_.File(t)->Create();
    }
    MakeDesign();
    driver_.Start([this] { designer_.Run("Bench", "Big"); });
  }
  ~BigDesign() {
    if (designer_.state() != nullptr) designer_.state()->DESIGNCHANGED = 0;
    designer_.window().Post(runtime::EventCloseDown);
    driver_.Settle();
  }

  designer::DesignerWindow& designer() { return designer_; }
  void Mouse(int32_t event, int32_t x, int32_t y, int32_t key) {
    designer_.window().UserMouse(event, 0, designer::DesignerWindow::kCanvasLeft + x,
                                 designer::DesignerWindow::kCanvasTop + y, key);
    driver_.Settle();
  }

 private:
  void MakeDesign() {
    using namespace layout;
    designs_.Use(R_Types);
    designs_.Use(R_Bands);
    designs_.Use(R_Design);
    R_T = {};
    R_T.TYPENUMBER = 1;
    runtime::AssignPadded(R_T.TYPENAME, "Bench");
    designs_.File(R_Types)->Add();
    std::vector<BandRecord> bands;
    for (int b = 1; b <= kBands; ++b) {
      R_B = {};
      R_B.TYPENUMBER = 1;
      R_B.DETAILNUMBER = static_cast<uint8_t>(b);
      runtime::AssignPadded(R_B.DETAILNAME, "Detail " + std::to_string(b));
      R_B.HEIGHT = 1000;
      designs_.File(R_Bands)->Add();
      bands.push_back(R_B);
    }
    DesignState state(nullptr, bands);
    for (int b = 4; b < 4 + kBands; ++b) {
      state.AddBand(b);
      for (int i = 0; i < kPerBand; ++i) {
        auto control = state.NewControl(KindString);
        control->CTRL->Place((i % 10) * 650, (i / 10) * 190, 600, 180);
        control->PICTURE = "Text " + std::to_string(i);
        state.Band(b)->BANDCONTROLS.push_back(std::move(control));
      }
    }
    R_D = {};
    R_D.DESIGNNUMBER = 1;
    R_D.TYPENUMBER = 1;
    runtime::AssignPadded(R_D.DESIGNNAME, "Big");
    designs_.File(R_Design)->Add();
    RecordStream(designs_).Save(state);
    for (DesignTable t : {R_Types, R_Bands, R_Design}) designs_.Release(t);
  }

  BenchFolder folder_;
  runtime::SqliteDriver storage_;
  layout::DesignDatabase designs_;
  runtime::Scheduler scheduler_;
  runtime::HeadlessPresenter presenter_;
  runtime::HeadlessDriver driver_{scheduler_, presenter_};
  designer::DesignerWindow designer_{designs_};
};

BigDesign& Design() {
  static auto* design = new BigDesign();
  return *design;
}

// Every control moves, so every one of them is shown anew.
void BM_CanvasRedraw500Controls(benchmark::State& state) {
  designer::DesignerWindow& designer = Design().designer();
  int32_t step = 1;
  for (auto _ : state) {
    for (auto& band : designer.state()->BANDS) {
      for (auto& control : band->BANDCONTROLS) control->CTRL->XPOS += step;
    }
    step = -step;
    designer.Redraw();
  }
  state.SetItemsProcessed(state.iterations());
}
BENCHMARK(BM_CanvasRedraw500Controls)->Unit(benchmark::kMillisecond);

void BM_DragMoveOf20TaggedControls(benchmark::State& state) {
  BigDesign& design = Design();
  layout::DesignState& s = *design.designer().state();
  auto& controls = s.Band(4)->BANDCONTROLS;
  const auto& first = *controls[0]->CTRL;
  int32_t x = first.WINXPOS + 10;
  int32_t y = first.WINYPOS + 10;
  design.Mouse(runtime::EventMouseDown, x, y, runtime::KeyMouseLeft);
  for (int i = 1; i <= 20; ++i) {
    const auto& g = *controls[i]->CTRL;
    design.Mouse(runtime::EventMouseDown, g.WINXPOS + 10, g.WINYPOS + 10,
                 runtime::KeyMouseLeft | runtime::KeyCtrl);
  }
  design.Mouse(runtime::EventMouseDown, x, y, runtime::KeyMouseLeft);
  design.Mouse(runtime::EventMouseMove, x + 100, y, 0);
  int32_t dx = 100;
  for (auto _ : state) {
    dx = dx == 100 ? 200 : 100;
    design.Mouse(runtime::EventMouseMove, x + dx, y + dx / 4, 0);
  }
  design.Mouse(runtime::EventMouseUp, x + dx, y, runtime::KeyMouseLeftUp);
  state.counters["tagged"] = static_cast<double>(s.TAGGEDCTRLS.size());
  state.SetItemsProcessed(state.iterations());
}
BENCHMARK(BM_DragMoveOf20TaggedControls)->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace ledora::bench

int main(int argc, char** argv) {
  benchmark::Initialize(&argc, argv);
  ledora::bench::RatioReporter reporter;
  benchmark::RunSpecifiedBenchmarks(&reporter);
  std::printf("Aim: each under 16 ms.\n");
  reporter.PrintCounter("tagged");
  benchmark::Shutdown();
  return 0;
}
