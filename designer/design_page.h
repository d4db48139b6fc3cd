// A design drawn as a report page: the shown bands built and laid out by the
// report engine itself, as a report procedure prints them, each at its
// place on the canvas, in thousandths of an inch; fields show their names.
// The designer's canvas shows this page through the same painter as the
// preview, the printer and PDF, so a design looks on the canvas as it prints.
#pragma once

#include <array>
#include <memory>
#include <string>

#include "designer/design_canvas.h"

namespace ledora::runtime {
class FontMetrics;
struct PageImage;
}  // namespace ledora::runtime

namespace ledora::designer {

// The canvas must have arranged the design (Arrange) first. metrics: those
// the reports print with (not owned); null measures approximately.
runtime::PageImage DesignPage(const layout::DesignState& state, const DesignCanvas& canvas,
                              runtime::FontMetrics* metrics = nullptr);

// The canvas's page in a page image file for the window to show: written
// again only when the page changed, each time under the other of two
// names, so that the window sees a new file.
class CanvasPage {
 public:
  CanvasPage();
  ~CanvasPage();  // removes its files
  CanvasPage(const CanvasPage&) = delete;
  CanvasPage& operator=(const CanvasPage&) = delete;

  // The file to show now; empty when the page is as shown before, or when
  // it could not be written.
  std::string Update(const layout::DesignState& state, const DesignCanvas& canvas);
  void Forget();  // the next Update writes whatever it gets
  void SetFontMetrics(runtime::FontMetrics* metrics) { metrics_ = metrics; }  // not owned
  const runtime::PageImage& page() const { return *page_; }

 private:
  std::unique_ptr<runtime::PageImage> page_;
  std::array<std::string, 2> files_;
  runtime::FontMetrics* metrics_ = nullptr;
  int flip_ = 0;
  bool shown_ = false;
};

}  // namespace ledora::designer
