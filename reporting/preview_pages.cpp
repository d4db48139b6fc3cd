// Zooming and drawing: which pages are on screen, where and how large. Only
// the pages on screen get image controls, so a long report costs no more to
// show than a short one.
#include <algorithm>

#include "reporting/print_preview.h"
#include "runtime/values/fixed_string.h"

namespace ledora::reporting {

namespace {

constexpr int32_t kMargin = 8;
constexpr int32_t kScrollBar = 20;  // room for the zoomed page's scroll bar
constexpr int32_t kScreenDpi = 96;  // pixels per inch at 100%

}  // namespace

void PrintPreview::ApplyZoom() {
  if (ZOOMINDEX == 0) {
    ZOOMLIST = std::to_string(USERPERCENTILE) + "% Zoom";
  } else {
    ZOOMLIST = std::string(runtime::ClippedField((*ZOOMQUEUE)[ZOOMINDEX - 1].MENUTEXT));
  }
  window_.SetText(PreviewZoomList, ZOOMLIST);
  window_.SetSelection(PreviewZoomList, ZOOMINDEX);
  DrawPages();
  MarkZoom();
}

void PrintPreview::MarkZoom() {
  for (size_t i = 0; i < ZOOMQUEUE->size() && i < MUSE.size(); ++i) {
    MUSE[i] = (i + 1 == ZOOMINDEX) ? 1 : 0;
    auto item = PreviewZoomItemBase + static_cast<int32_t>(i + 1);
    if (runtime::Control* c = window_.Find(item)) {
      c->checked = MUSE[i] != 0;
      window_.Changed(item);
    }
    if (POPUP) POPUP->SetCheck("ZoomItem" + std::to_string(i + 1), MUSE[i] != 0);
  }
}

void PrintPreview::DrawPages() {
  if (!PAGEMANAGER) return;
  runtime::Rect area = PageArea();
  if (CurrentZoom() == -2) {
    DrawTiles(area);
  } else {
    DrawZoomed(area);
  }
  THUMBNAILSPRESENT = static_cast<uint16_t>(PAGEMANAGER->size());
  ShowPageNumber();
  MarkHits();
}

void PrintPreview::DrawTiles(const runtime::Rect& area) {
  const int32_t across = PAGESACROSS;
  const int32_t down = PAGESDOWN;
  const int32_t cellWidth = std::max(1, (area.width - kMargin * (across + 1)) / across);
  const int32_t cellHeight = std::max(1, (area.height - kMargin * (down + 1)) / down);
  // The largest page of the report's proportions that fits a cell.
  int32_t width = cellWidth;
  int32_t height = static_cast<int32_t>(int64_t{width} * pageHeightMils_ / pageWidthMils_);
  if (height > cellHeight) {
    height = cellHeight;
    width = static_cast<int32_t>(int64_t{height} * pageWidthMils_ / pageHeightMils_);
  }
  const int32_t pages = PageCount();
  size_t place = 0;
  for (int32_t row = 0; row < down; ++row) {
    for (int32_t column = 0; column < across; ++column) {
      int32_t page = FIRSTPAGE + row * across + column;
      if (page > pages) break;
      PageEntry entry;
      entry.XPOS = area.x + kMargin + column * (cellWidth + kMargin) + (cellWidth - width) / 2;
      entry.YPOS = area.y + kMargin + row * (cellHeight + kMargin) + (cellHeight - height) / 2;
      entry.WIDTH = width;
      entry.HEIGHT = height;
      entry.PAGENO = page;
      entry.ZOOMSTATE = -2;
      ShowPage(place++, entry, width);
    }
  }
  RemovePagesFrom(place);
}

void PrintPreview::DrawZoomed(const runtime::Rect& area) {
  PageEntry entry;
  entry.XPOS = area.x;
  entry.YPOS = area.y;
  entry.WIDTH = area.width;
  entry.HEIGHT = area.height;
  entry.PAGENO = CURRENTPAGE;
  entry.ZOOMSTATE = CurrentZoom();
  entry.CENTREONX = static_cast<uint8_t>(centreX_);
  entry.CENTREONY = static_cast<uint8_t>(centreY_);
  ShowPage(0, entry, PageWidthOf(area.width));
  RemovePagesFrom(1);
}

int32_t PrintPreview::PageWidthOf(int32_t areaWidth) const {
  int32_t zoom = CurrentZoom();
  if (zoom == -1) return std::max(1, areaWidth - kScrollBar - 2 * kMargin);
  return std::max(1, static_cast<int32_t>(int64_t{pageWidthMils_} * kScreenDpi * zoom / 100000));
}

void PrintPreview::ShowPage(size_t place, const PageEntry& shown, int32_t drawnWidth) {
  PageEntry entry = shown;
  entry.FILENAME = (*IMAGEQUEUE)[entry.PAGENO - 1].FILENAME;
  entry.OFFSET = (*IMAGEQUEUE)[entry.PAGENO - 1].OFFSET;
  const auto control = PreviewPageBase + static_cast<int32_t>(place + 1);
  if (window_.Find(control) == nullptr) {
    window_.CreateControl(control, runtime::ControlImage);
    window_.SetTrackMouse(control, true);
    window_.SetTip(control, "Click to zoom in or out");
  }
  window_.SetRect(control, {entry.XPOS, entry.YPOS, entry.WIDTH, entry.HEIGHT});
  window_.SetPageImage(control, entry.FILENAME, drawnWidth, entry.CENTREONX, entry.CENTREONY,
                       entry.OFFSET);
  if (place < PAGEMANAGER->size()) {
    (*PAGEMANAGER)[place] = entry;
  } else {
    PAGEMANAGER->push_back(entry);
  }
  for (size_t i = 0; i + 1 < PAGEMANAGER->size(); ++i) {
    (*PAGEMANAGER)[i].NEIGHBOUR = &(*PAGEMANAGER)[i + 1];
  }
}

void PrintPreview::RemovePagesFrom(size_t place) {
  for (size_t i = place; i < PAGEMANAGER->size(); ++i) {
    window_.DestroyControl(PreviewPageBase + static_cast<int32_t>(i + 1));
  }
  if (place < PAGEMANAGER->size()) PAGEMANAGER->resize(place);
  if (!PAGEMANAGER->empty()) PAGEMANAGER->back().NEIGHBOUR = nullptr;
}

void PrintPreview::ShowPageNumber() {
  window_.SetText(PreviewCurrentPage, std::to_string(CURRENTPAGE));
  const int32_t pages = PageCount();
  window_.SetEnabled(PreviewNext, CURRENTPAGE < pages);
  window_.SetEnabled(PreviewPrevious, CURRENTPAGE > 1);
  window_.SetStatusText("Page " + std::to_string(CURRENTPAGE) + " of " + std::to_string(pages));
}

bool PrintPreview::PageOnScreen(int32_t page) const {
  if (!PAGEMANAGER) return false;
  return std::any_of(PAGEMANAGER->begin(), PAGEMANAGER->end(),
                     [page](const PageEntry& e) { return e.PAGENO == page; });
}

}  // namespace ledora::reporting
