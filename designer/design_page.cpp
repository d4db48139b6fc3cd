#include "designer/design_page.h"

#include <unistd.h>

#include <algorithm>
#include <filesystem>

#include "layout/design_codec.h"
#include "layout/layout_finder.h"
#include "layout/report_builder.h"
#include "runtime/report/page_image.h"
#include "runtime/report/page_image_writer.h"
#include "runtime/report/report.h"
#include "runtime/values/fixed_string.h"
#include "runtime/values/picture.h"

namespace ledora::designer {

namespace {

using layout::ControlEntry;

int32_t Thousandths(const layout::DesignState& state, int32_t value) {
  return state.PAPERSCALE == 'M' ? layout::ConvertUnit(value, '1') : value;
}

// Bands are numbered by their place in the design, as its records index them.
int32_t BandNumber(size_t position) { return static_cast<int32_t>(position) + 1; }

runtime::BandKind KindOf(int16_t bandType) { return static_cast<runtime::BandKind>(bandType); }

// The controls of the shown bands in the order the report builder numbers
// them, so that a built control finds the entry it came from.
std::vector<const ControlEntry*> ControlsInBuildOrder(const layout::DesignState& state) {
  std::vector<const ControlEntry*> controls;
  for (const auto& band : state.BANDS) {
    if (!band->PRESENT) continue;
    for (const auto& control : band->BANDCONTROLS) controls.push_back(control.get());
  }
  return controls;
}

// A field has no value on the canvas: it shows the name the user knows it by.
std::string FieldLabel(const ControlEntry& control) {
  return std::string(
      runtime::Clip(control.USERFIELDNAME.empty() ? control.FIELDNAME : control.USERFIELDNAME));
}

// The design built into a report exactly as a report procedure builds it,
// its fields left unbound and labelled.
void BuildDesignReport(const layout::DesignState& state, runtime::Report& report) {
  std::vector<layout::LayoutBand> bands;
  for (size_t i = 0; i < state.BANDS.size(); ++i) {
    const layout::BandEntry& band = *state.BANDS[i];
    if (!band.PRESENT) continue;
    int32_t number = BandNumber(i);
    report.AddBand(number, KindOf(band.BANDTYPE));
    int16_t detail = band.BANDTYPE == layout::BandDetail ? static_cast<int16_t>(i + 1 - 3) : 0;
    bands.push_back({band.BANDTYPE, detail, number});
  }
  std::vector<const ControlEntry*> entries = ControlsInBuildOrder(state);
  auto label = [&](int32_t number, const std::string&) {
    size_t index = static_cast<size_t>(number - layout::kFirstBuiltControl - 1);
    runtime::ReportControl* control = report.Control(number);
    if (control == nullptr || index >= entries.size()) return;
    // A check box keeps its caption; an image bound to a field has no picture yet.
    if (control->kind == runtime::ReportVariable || control->kind == runtime::ReportTextField) {
      control->text = FieldLabel(*entries[index]);
    }
  };
  layout::BuildReportFromRecords(report, bands, label, layout::DesignRecords(state));
}

void PutBand(const runtime::LaidOutBand& band, int32_t x, int32_t y, runtime::PageImage& page) {
  size_t base = page.items.size();
  for (const runtime::PageItem& item : band.items) {
    page.items.push_back(item);
    page.items.back().x += x;
    page.items.back().y += y;
  }
  // The first page's number, as the first page prints it.
  for (size_t index : band.pageNumberItems) {
    runtime::PageItem& item = page.items[base + index];
    item.text = runtime::FormatWithPicture(item.text, runtime::FieldRef::Of(page.number));
  }
}

}  // namespace

runtime::PageImage DesignPage(const layout::DesignState& state, const DesignCanvas& canvas,
                              runtime::FontMetrics* metrics) {
  runtime::Report report;
  report.SetFontMetrics(metrics);
  BuildDesignReport(state, report);
  runtime::PageImage page;
  page.number = 1;
  page.width = Thousandths(state, state.PAPERCTRL->WIDTH);
  page.height = Thousandths(state, state.PAPERCTRL->HEIGHT);
  runtime::FontTable fonts;
  runtime::BandLayout layout = report.Layout(fonts);
  const layout::ControlGeometry& paper = *state.PAPERCTRL;
  for (size_t i = 0; i < state.BANDS.size(); ++i) {
    const layout::BandEntry& band = *state.BANDS[i];
    if (!band.PRESENT || !canvas.Shows(band)) continue;
    const runtime::ReportBand* built = report.Band(BandNumber(i));
    if (built == nullptr) continue;
    // Where the canvas shows the band, which for page bands is where they print.
    PutBand(layout.LayOut(*built, report.controls()),
            Thousandths(state, band.CTRL->WINXPOS - paper.WINXPOS),
            Thousandths(state, band.CTRL->WINYPOS - paper.WINYPOS), page);
  }
  page.fonts = fonts.fonts();
  return page;
}

CanvasPage::CanvasPage() : page_(std::make_unique<runtime::PageImage>()) {
  std::string base = (std::filesystem::temp_directory_path() /
                      ("ledora-canvas-" + std::to_string(::getpid()) + "-" +
                       std::to_string(reinterpret_cast<uintptr_t>(this))))
                         .string();
  files_ = {base + "-a.ldpg", base + "-b.ldpg"};
}

CanvasPage::~CanvasPage() {
  std::error_code ignored;
  for (const std::string& file : files_) std::filesystem::remove(file, ignored);
}

void CanvasPage::Forget() { shown_ = false; }

std::string CanvasPage::Update(const layout::DesignState& state, const DesignCanvas& canvas) {
  runtime::PageImage page = DesignPage(state, canvas, metrics_);
  if (shown_ && page == *page_) return {};
  const std::string& file = files_[flip_ ^= 1];
  if (!runtime::PageImageWriter::WriteFile(page, file)) return {};
  *page_ = std::move(page);
  shown_ = true;
  return file;
}

}  // namespace ledora::designer
