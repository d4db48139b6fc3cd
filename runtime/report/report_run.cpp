#include "runtime/report/report_run.h"

#include <algorithm>
#include <utility>

#include "runtime/report/page_image_reader.h"
#include "runtime/report/page_image_writer.h"
#include "runtime/report/report.h"

namespace ledora::runtime {

ReportRun::ReportRun(Report& report, std::unique_ptr<PageFiles> files)
    : report_(report), files_(std::move(files)), paginator_(Frame(), this, this) {}

ReportRun::~ReportRun() {
  if (holding_) {
    for (const std::string& name : waiting_) PageFiles::Remove(name);
  }
}

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

bool ReportRun::Direct() const { return !report_.queue_ && report_.direct_; }

bool ReportRun::SendDirect(const PageImage& page) {
  if (directBegun_ != report_.direct_) {
    if (!EndDirect() || !report_.direct_->BeginDocument(report_.directTitle_)) return false;
    directBegun_ = report_.direct_;
  }
  return directBegun_->WritePage(page);
}

bool ReportRun::TakePage(PageImage page) {
  bool counted = std::any_of(page.items.begin(), page.items.end(),
                             [](const PageItem& item) { return item.flags & FlagPageCount; });
  bool direct = Direct();
  if (direct && !holding_ && !counted) return SendDirect(page);
  std::string name = files_->NextName();
  if (!PageImageWriter::WriteFile(page, name)) return false;
  if (direct) {
    holding_ = true;
    waiting_.push_back(name);
    return true;
  }
  if (counted) waiting_.push_back(name);
  report_.ActiveQueue().push_back({name});
  return true;
}

bool ReportRun::DocumentEnded(int32_t pages) {
  std::vector<std::string> waiting = std::move(waiting_);
  waiting_.clear();
  bool held = holding_;
  holding_ = false;
  bool ok = true;
  for (const std::string& name : waiting) {
    if (!held) {
      ok = ok && PageImageWriter::SetDocumentPages(name, pages);
      continue;
    }
    PageImage page;
    ok = ok && PageImageReader::ReadFile(name, &page);
    page.pages = pages;
    ok = ok && SendDirect(page);
    PageFiles::Remove(name);
  }
  return ok;
}

}  // namespace ledora::runtime
