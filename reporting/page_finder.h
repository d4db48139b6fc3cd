// Finds text in a report's page images for the preview's Find: every text
// item of every page that holds the text, without regard to letter case, in
// page order. Pages are read from their files one at a time, so a search
// over thousands of pages holds only one page in memory.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "runtime/report/preview_queue.h"

namespace ledora::reporting {

struct PageHit {
  int32_t page = 0;  // 1-based
  int32_t x = 0;     // the text item's rectangle, thousandths of an inch
  int32_t y = 0;
  int32_t width = 0;
  int32_t height = 0;
  bool operator==(const PageHit&) const = default;
};

// Blank text finds nothing; an unreadable page is passed over.
// The paper size of a page image file, thousandths of an inch; false when
// the file cannot be read.
bool ReadPageSize(const runtime::PreviewQueueEntry& page, int32_t* width, int32_t* height);

std::vector<PageHit> FindInPages(const runtime::PreviewQueue& pages, std::string_view text);

}  // namespace ledora::reporting
