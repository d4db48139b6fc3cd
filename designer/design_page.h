// A design drawn as a report page: every control of the shown bands as the
// page item the report would print for it, at its place on the paper in
// thousandths of an inch, in its resolved font. The designer's canvas shows
// this page through the same painter as the preview and the printer, so a
// design looks on the canvas as it prints.
#pragma once

#include <array>
#include <memory>
#include <string>

#include "designer/design_canvas.h"

namespace ledora::runtime {
struct PageImage;
}

namespace ledora::designer {

// The canvas must have arranged the design (Arrange) first.
runtime::PageImage DesignPage(const layout::DesignState& state, const DesignCanvas& canvas);

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
  const runtime::PageImage& page() const { return *page_; }

 private:
  std::unique_ptr<runtime::PageImage> page_;
  std::array<std::string, 2> files_;
  int flip_ = 0;
  bool shown_ = false;
};

}  // namespace ledora::designer
