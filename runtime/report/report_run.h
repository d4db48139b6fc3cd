// One run of a Report from Open to Close: lays bands out, paginates them and
// writes each finished page as an image file into the report's page queue.
// A page that shows its document's page count learns it when the document
// ends. Only Report uses it.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "runtime/report/band_layout.h"
#include "runtime/report/page_files.h"
#include "runtime/report/page_output.h"
#include "runtime/report/paginator.h"

namespace ledora::runtime {

class Report;

class ReportRun : public PageSink, public PageBands {
 public:
  ReportRun(Report& report, std::unique_ptr<PageFiles> files);
  ~ReportRun() override;

  bool Print(const ReportBand& band);
  void BreakPage() { paginator_.BreakPage(); }
  bool BreakDocument() { return paginator_.BreakDocument(); }
  bool End() { return paginator_.Finish(); }
  int32_t pagesFinished() const { return paginator_.pagesFinished(); }

  // Ends a direct output's document, if one was begun.
  bool EndDirect();

  bool TakePage(PageImage page) override;
  bool DocumentEnded(int32_t pages) override;
  bool LayOutPageBand(BandKind kind, LaidOutBand* band) override;
  const std::vector<ReportFont>& Fonts() override { return fonts_.fonts(); }

 private:
  // Settings may change after Open (a layout is often built at the first
  // record), so the frame and the report font are taken afresh every time.
  PageFrame Frame() const;
  BandLayout Layout();
  bool Direct() const;
  bool SendDirect(const PageImage& page);

  Report& report_;
  std::unique_ptr<PageFiles> files_;
  PageOutput* directBegun_ = nullptr;
  // Page files of the current document that wait for its length: in the
  // queue, those showing the count; printing directly, every page from the
  // first that shows it, held back so that they go out in order.
  std::vector<std::string> waiting_;
  bool holding_ = false;
  FontTable fonts_;
  Paginator paginator_;
};

}  // namespace ledora::runtime
