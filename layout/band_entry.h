// One band that a design's report type offers, present in the design or
// not, with its controls. The design state owns its bands in a fixed order:
// page form, page header, page footer, then the detail bands by number.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "layout/control_entry.h"
#include "layout/control_geometry.h"

namespace ledora::layout {

enum BandKind : int16_t {
  BandPageForm = 4,
  BandPageHeader = 5,
  BandPageFooter = 6,
  BandDetail = 7,
};

struct BandEntry {
  std::unique_ptr<ControlGeometry> CTRL = std::make_unique<ControlGeometry>();
  uint8_t PRESENT = 0;  // absent bands are neither shown, saved nor printed
  int16_t BANDTYPE = BandDetail;
  std::string BANDNAME;  // at most 32
  uint8_t DETAILNO = 0;
  uint8_t ABSOLUTE = 0;
  uint8_t PAGEBEFORE = 0;
  uint8_t PAGEAFTER = 0;
  uint8_t WITHPRIOR = 0;
  uint8_t WITHNEXT = 0;
  std::vector<std::unique_ptr<ControlEntry>> BANDCONTROLS;
};

}  // namespace ledora::layout
