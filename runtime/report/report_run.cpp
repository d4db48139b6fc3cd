#include "runtime/report/report_run.h"

#include <utility>

#include "runtime/report/report.h"

namespace ledora::runtime {

ReportRun::ReportRun(Report& report, std::unique_ptr<PageFiles> files)
    : report_(report), files_(std::move(files)), paginator_(Frame(), this, this) {}

PageFrame ReportRun::Frame() const { return report_.FrameInMils(); }

BandLayout ReportRun::Layout() { return report_.Layout(fonts_); }

bool ReportRun::Print(const ReportBand& band) {
  paginator_.SetFrame(Frame());
  return paginator_.Place(Layout().LayOut(band, report_.controls_));
}

bool ReportRun::EndDirect() {
  PageOutput* output = directBegun_;
  directBegun_ = nullptr;
  return !output || output->EndDocument();
}

bool ReportRun::LayOutPageBand(BandKind kind, LaidOutBand* band) {
  const ReportBand* found = report_.FindBand(kind);
  if (!found) return false;
  *band = Layout().LayOut(*found, report_.controls_);
  return true;
}

bool ReportRun::TakePage(PageImage page) {
  if (!report_.queue_ && report_.direct_) {
    if (directBegun_ != report_.direct_) {
      if (!EndDirect() || !report_.direct_->BeginDocument(report_.directTitle_)) return false;
      directBegun_ = report_.direct_;
    }
    return directBegun_->WritePage(page);
  }
  int64_t offset = 0;
  if (!files_->Append(page, &offset)) return false;
  report_.ActiveQueue().push_back({files_->spoolName(), offset});
  return true;
}

}  // namespace ledora::runtime
