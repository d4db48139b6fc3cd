#include "reporting/page_finder.h"

#include <algorithm>

#include "runtime/report/page_count.h"
#include "runtime/report/page_image_reader.h"
#include "runtime/system/ascii_case.h"

namespace ledora::reporting {

namespace {

bool SameLetter(char a, char b) { return runtime::AsciiLower(a) == runtime::AsciiLower(b); }

bool Holds(std::string_view text, std::string_view wanted) {
  return std::search(text.begin(), text.end(), wanted.begin(), wanted.end(), SameLetter) !=
         text.end();
}

}  // namespace

bool ReadPageSize(const std::string& fileName, int32_t* width, int32_t* height) {
  runtime::PageImage page;
  if (!runtime::PageImageReader::ReadFile(fileName, &page) || page.width <= 0 || page.height <= 0) {
    return false;
  }
  *width = page.width;
  *height = page.height;
  return true;
}

std::vector<PageHit> FindInPages(const runtime::PreviewQueue& pages, std::string_view text) {
  std::vector<PageHit> hits;
  if (text.find_first_not_of(' ') == std::string_view::npos) return hits;
  runtime::PageImage page;
  for (size_t i = 0; i < pages.size(); ++i) {
    if (!runtime::PageImageReader::ReadFile(pages[i].FILENAME, &page)) continue;
    for (const runtime::PageItem& item : page.items) {
      if (item.kind != runtime::ItemText || !Holds(runtime::ShownText(page, item), text)) continue;
      hits.push_back({static_cast<int32_t>(i + 1), item.x, item.y, item.width, item.height});
    }
  }
  return hits;
}

}  // namespace ledora::reporting
