// A band as it will print: its items relative to the band's top left and
// the attributes that decide where it goes. BandLayout makes them from a
// band's controls; Paginator places them on pages.
#pragma once

#include <cstdint>
#include <vector>

#include "runtime/report/page_image.h"

namespace ledora::runtime {

struct LaidOutBand {
  // Fixed bands: position on the page. Flowing bands: x from the printable
  // area's left edge; y is unused.
  int32_t x = 0;
  int32_t y = 0;
  int32_t height = 0;
  bool absolute = false;
  bool pageBefore = false;
  bool pageAfter = false;
  int32_t withPrior = 0;
  int32_t withNext = 0;
  std::vector<PageItem> items;
  // Items whose text is a picture for the page number, filled in on placement
  // because a band can still move to the next page.
  std::vector<size_t> pageNumberItems;
  // Items whose text is a picture for the page count, left for the drawing.
  std::vector<size_t> pageCountItems;
};

}  // namespace ledora::runtime
