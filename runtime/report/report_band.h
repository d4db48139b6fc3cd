// One band of a report: where it prints and how it paginates. The report
// owns its bands; the layout builder and report procedures set these fields.
#pragma once

#include <cstdint>
#include <vector>

#include "runtime/report/report_types.h"

namespace ledora::runtime {

struct ReportBand {
  int32_t number = 0;  // control number of the band
  BandKind kind = BandDetail;
  // In the report unit. Page form, header, footer and absolute details are
  // placed relative to the page; a flowing detail's x is relative to the
  // printable area and its y is ignored (it goes where the flow is).
  int32_t x = 0;
  int32_t y = 0;
  int32_t width = -1;   // negative: the printable area's width
  int32_t height = -1;  // negative: as high as its controls; grows with them
  bool absolute = false;
  bool pageBefore = false;        // new page before the band (unless the page is still empty)
  bool pageAfter = false;         // new page after the band
  int32_t withPrior = 0;          // keep on one page with this many detail bands before it
  int32_t withNext = 0;           // keep on one page with this many detail bands after it
  std::vector<int32_t> controls;  // numbers in creation (drawing) order; kept by Report
};

}  // namespace ledora::runtime
