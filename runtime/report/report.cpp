#include "runtime/report/report.h"

#include <utility>

#include "runtime/report/page_files.h"
#include "runtime/report/page_image_reader.h"
#include "runtime/report/page_queue_output.h"
#include "runtime/report/report_error.h"
#include "runtime/report/report_run.h"
#include "runtime/system/runtime_error.h"

namespace ledora::runtime {

namespace {
constexpr int32_t kA4Width = 8268;
constexpr int32_t kA4Height = 11693;
constexpr int32_t kDefaultMargin = 500;
}  // namespace

Report::Report() = default;

Report::~Report() { Close(); }

bool Report::SetPaper(int32_t width, int32_t height) {
  if (width <= 0 || height <= 0) {
    SetReportError(ErrorInvalidReportSetting, "paper size must be positive");
    return false;
  }
  paperWidth_ = width;
  paperHeight_ = height;
  return true;
}

bool Report::SetPrintableArea(int32_t x, int32_t y, int32_t width, int32_t height) {
  if (width <= 0 || height <= 0) {
    SetReportError(ErrorInvalidReportSetting, "printable area must have a size");
    return false;
  }
  areaX_ = x;
  areaY_ = y;
  areaWidth_ = width;
  areaHeight_ = height;
  return true;
}

PageFrame Report::FrameInMils() const {
  PageFrame frame;
  frame.paperWidth = paperWidth_ > 0 ? ToMils(paperWidth_, unit_) : kA4Width;
  frame.paperHeight = paperHeight_ > 0 ? ToMils(paperHeight_, unit_) : kA4Height;
  if (orientation_ == OrientationLandscape) std::swap(frame.paperWidth, frame.paperHeight);
  if (areaWidth_ > 0) {
    frame.areaX = ToMils(areaX_, unit_);
    frame.areaY = ToMils(areaY_, unit_);
    frame.areaWidth = ToMils(areaWidth_, unit_);
    frame.areaHeight = ToMils(areaHeight_, unit_);
  } else {
    frame.areaX = frame.areaY = kDefaultMargin;
    frame.areaWidth = frame.paperWidth - 2 * kDefaultMargin;
    frame.areaHeight = frame.paperHeight - 2 * kDefaultMargin;
  }
  return frame;
}

int32_t Report::areaX() const { return areaWidth_ > 0 ? areaX_ : FromMils(kDefaultMargin, unit_); }

int32_t Report::areaY() const { return areaWidth_ > 0 ? areaY_ : FromMils(kDefaultMargin, unit_); }

int32_t Report::areaWidth() const {
  return areaWidth_ > 0 ? areaWidth_ : FromMils(FrameInMils().areaWidth, unit_);
}

int32_t Report::areaHeight() const {
  return areaWidth_ > 0 ? areaHeight_ : FromMils(FrameInMils().areaHeight, unit_);
}

ReportFont Report::ResolvedFont() const {
  return font_.InheritFrom(ReportFont{"Arial", FontWeightNormal, 10, 0});
}

BandLayout Report::Layout(FontTable& fonts) const {
  LayoutContext context;
  context.unit = unit_;
  context.font = ResolvedFont();
  context.areaWidth = FrameInMils().areaWidth;
  context.metrics = metrics_;
  context.fonts = &fonts;
  return BandLayout(context);
}

void Report::SetFontMetrics(FontMetrics* metrics) {
  metrics_ = metrics ? metrics : &defaultMetrics_;
}

ReportBand* Report::AddBand(int32_t number, BandKind kind) {
  if (bands_.count(number) || controls_.count(number)) {
    SetReportError(ErrorControlNumberInUse, std::to_string(number));
    return nullptr;
  }
  ReportBand& band = bands_[number];
  band.number = number;
  band.kind = kind;
  return &band;
}

ReportBand* Report::Band(int32_t number) {
  auto it = bands_.find(number);
  if (it != bands_.end()) return &it->second;
  SetReportError(ErrorBandNotFound, std::to_string(number));
  return nullptr;
}

ReportBand* Report::FindBand(BandKind kind) {
  for (auto& [number, band] : bands_) {
    if (band.kind == kind) return &band;
  }
  return nullptr;
}

ReportControl* Report::CreateControl(int32_t number, ReportControlKind kind, int32_t band) {
  ReportBand* owner = Band(band);
  if (!owner) return nullptr;
  if (bands_.count(number) || controls_.count(number)) {
    SetReportError(ErrorControlNumberInUse, std::to_string(number));
    return nullptr;
  }
  ReportControl& control = controls_[number];
  control.number = number;
  control.kind = kind;
  control.band = band;
  owner->controls.push_back(number);
  return &control;
}

ReportControl* Report::Control(int32_t number) {
  auto it = controls_.find(number);
  if (it != controls_.end()) return &it->second;
  SetReportError(ErrorControlNotFound, std::to_string(number));
  return nullptr;
}

bool Report::RemoveControl(int32_t number) {
  auto it = controls_.find(number);
  if (it == controls_.end()) {
    SetReportError(ErrorControlNotFound, std::to_string(number));
    return false;
  }
  std::vector<int32_t>& list = bands_[it->second.band].controls;
  std::erase(list, number);
  controls_.erase(it);
  return true;
}

void Report::RemoveAllControls() {
  controls_.clear();
  for (auto& [number, band] : bands_) band.controls.clear();
}

bool Report::CheckOpen() const {
  if (run_) return true;
  SetReportError(ErrorReportNotOpen);
  return false;
}

bool Report::Open() {
  if (run_) {
    SetReportError(ErrorReportAlreadyOpen);
    return false;
  }
  std::unique_ptr<PageFiles> files = PageFiles::Create(pageFolder_);
  if (!files) return false;
  run_ = std::make_unique<ReportRun>(*this, std::move(files));
  return true;
}

void Report::SetPageQueue(PreviewQueue* queue) {
  if (queue && queue != queue_) {
    PreviewQueue& from = ActiveQueue();
    queue->insert(queue->end(), from.begin(), from.end());
    from.clear();
  }
  queue_ = queue;
}

void Report::SetDirectOutput(PageOutput* output, const std::string& title) {
  direct_ = output;
  directTitle_ = title;
}

bool Report::Print(int32_t number) {
  if (!CheckOpen()) return false;
  ReportBand* band = Band(number);
  if (!band) return false;
  if (band->kind != BandDetail) {
    SetReportError(ErrorInvalidReportSetting, "only detail bands are printed on demand");
    return false;
  }
  return run_->Print(*band);
}

bool Report::BreakPage() {
  if (!CheckOpen()) return false;
  run_->BreakPage();
  return true;
}

bool Report::BreakDocument() { return CheckOpen() && run_->BreakDocument(); }

bool Report::EndReport() { return CheckOpen() && run_->End(); }

int32_t Report::PagesWritten() const { return run_ ? run_->pagesFinished() : 0; }

bool Report::Flush(PageOutput& output, const std::string& title) {
  PreviewQueue& queue = ActiveQueue();
  bool ok = queue.empty() || WritePageQueue(queue, output, title);
  Discard();
  return ok;
}

void Report::Discard() {
  PreviewQueue& queue = ActiveQueue();
  for (const PreviewQueueEntry& entry : queue) PageFiles::Remove(entry.FILENAME);
  queue.clear();
}

bool Report::Close() {
  bool ok = true;
  if (run_ && !queue_ && direct_) ok = run_->End() && ok;
  if (run_) ok = run_->EndDirect() && ok;
  Discard();
  run_.reset();
  queue_ = nullptr;
  direct_ = nullptr;
  return ok;
}

}  // namespace ledora::runtime
