// A finished page as a display list: the fonts it uses and the items to draw,
// in drawing order, in thousandths of an inch from the page's top left. The
// paginator builds it, page image files store it, renderers draw it.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "runtime/report/report_types.h"

namespace ledora::runtime {

enum PageItemKind : uint8_t {
  ItemText = 1,   // one line of text inside its rectangle
  ItemBox = 2,    // border colour, fill, rounded corners
  ItemLine = 3,   // from (x, y) to (x + width, y + height)
  ItemImage = 4,  // text holds the image file name
  ItemCheck = 5,  // a check box square; flags hold the check
};

enum PageItemFlags : uint8_t {
  FlagRounded = 1,
  FlagChecked = 2,
  // The text is a page-count picture, filled in when the page is shown,
  // because the count is known only once the page's document has ended.
  FlagPageCount = 4,
};

// Alignment of text within its rectangle.
enum PageAlign : uint8_t { AlignLeft = 0, AlignCentre = 1, AlignRight = 2 };

struct PageItem {
  PageItemKind kind = ItemText;
  int32_t x = 0;
  int32_t y = 0;
  int32_t width = 0;
  int32_t height = 0;
  int32_t color = 0;                        // text, line or border colour; kNoColour = none
  int32_t fill = report_values::kNoColour;  // box fill or text background
  uint16_t font = 0;                        // index into PageImage::fonts for text
  uint8_t align = AlignLeft;
  uint8_t flags = 0;
  std::string text;  // Windows-1252

  friend bool operator==(const PageItem&, const PageItem&) = default;
};

struct PageImage {
  int32_t number = 0;  // 1-based, within its document
  int32_t width = 0;   // paper, orientation applied
  int32_t height = 0;
  std::vector<ReportFont> fonts;  // fully resolved (no inherited parts)
  std::vector<PageItem> items;
  int32_t pages = 0;  // pages of its document; 0 while the document goes on

  friend bool operator==(const PageImage&, const PageImage&) = default;
};

}  // namespace ledora::runtime
