#include "runtime/report/paginator.h"

#include "runtime/report/page_count.h"
#include "runtime/values/picture.h"

namespace ledora::runtime {

Paginator::Paginator(const PageFrame& frame, PageBands* pageBands, PageSink* sink)
    : frame_(frame), pageBands_(pageBands), sink_(sink) {}

bool Paginator::Place(LaidOutBand band) {
  if (!BreakBefore(band)) return false;
  bool pageAfter = band.pageAfter;
  if (band.absolute) {
    Put(band, band.x, band.y);
  } else if (!PlaceFlowing(std::move(band))) {
    return false;
  }
  pageHasDetails_ = true;
  breakPending_ = pageAfter;
  return true;
}

// Breaks are lazy: a break asked for on a page without details yet does
// nothing, so a report never ends with, or contains, an empty page.
bool Paginator::BreakBefore(const LaidOutBand& band) {
  bool wanted = breakPending_ || band.pageBefore;
  breakPending_ = false;
  if (page_ && wanted && pageHasDetails_ && !FinishPage()) return false;
  return page_ || StartPage();
}

bool Paginator::PlaceFlowing(LaidOutBand band) {
  int32_t bottom = frame_.areaY + frame_.areaHeight;
  if (placed_.empty() || flowY_ + band.height <= bottom) {
    PutFlowing(std::move(band));
    return true;
  }
  // Bands kept together with this one move to the new page with it, unless
  // they would not fit there either or they already fill the page alone.
  std::vector<LaidOutBand> carried;
  size_t first = FirstOfGroup(band);
  if (first > 0 && first < placed_.size() &&
      flowY_ - placed_[first].y + band.height <= frame_.areaHeight) {
    carried = TakeGroup(first);
  }
  if (!FinishPage() || !StartPage()) return false;
  for (LaidOutBand& kept : carried) PutFlowing(std::move(kept));
  PutFlowing(std::move(band));
  return true;
}

// Placed bands [result, end) and the incoming band must share a page.
size_t Paginator::FirstOfGroup(const LaidOutBand& incoming) const {
  size_t first = placed_.size();
  while (first > 0 && Linked(first - 1, incoming)) --first;
  return first;
}

// Whether placed band k and the band after it (placed or incoming) are kept together.
bool Paginator::Linked(size_t k, const LaidOutBand& incoming) const {
  size_t n = placed_.size();
  for (size_t i = 0; i <= k; ++i) {
    if (placed_[i].band.withNext >= static_cast<int64_t>(k + 1 - i)) return true;
  }
  for (size_t j = k + 1; j <= n; ++j) {
    int32_t withPrior = j < n ? placed_[j].band.withPrior : incoming.withPrior;
    if (withPrior >= static_cast<int64_t>(j - k)) return true;
  }
  return false;
}

std::vector<LaidOutBand> Paginator::TakeGroup(size_t first) {
  std::vector<LaidOutBand> group;
  // Erased from the back so that earlier ranges keep their positions; fixed
  // bands placed in between stay where they are.
  for (size_t i = placed_.size(); i-- > first;) {
    auto begin = page_->items.begin() + static_cast<std::ptrdiff_t>(placed_[i].firstItem);
    page_->items.erase(begin, begin + static_cast<std::ptrdiff_t>(placed_[i].band.items.size()));
  }
  for (size_t i = first; i < placed_.size(); ++i) group.push_back(std::move(placed_[i].band));
  flowY_ = placed_[first].y;
  placed_.resize(first);
  return group;
}

void Paginator::PutFlowing(LaidOutBand band) {
  Put(band, frame_.areaX + band.x, flowY_);
  placed_.push_back({flowY_, page_->items.size() - band.items.size(), std::move(band)});
  flowY_ += placed_.back().band.height;
}

void Paginator::Put(const LaidOutBand& band, int32_t x, int32_t y) {
  size_t base = page_->items.size();
  for (const PageItem& item : band.items) {
    page_->items.push_back(item);
    page_->items.back().x += x;
    page_->items.back().y += y;
  }
  int32_t number = page_->number;
  for (size_t index : band.pageNumberItems) {
    PageItem& item = page_->items[base + index];
    item.text = FormatPageNumber(band.items[index].text, number);
  }
  for (size_t index : band.pageCountItems) page_->items[base + index].flags |= FlagPageCount;
}

bool Paginator::StartPage() {
  page_.emplace();
  page_->number = finished_ - documentStart_ + 1;
  page_->width = frame_.paperWidth;
  page_->height = frame_.paperHeight;
  placed_.clear();
  flowY_ = frame_.areaY;
  pageHasDetails_ = false;
  PutPageBand(BandPageForm);
  PutPageBand(BandPageHeader);
  return true;
}

bool Paginator::FinishPage() {
  PutPageBand(BandPageFooter);
  if (pageBands_) page_->fonts = pageBands_->Fonts();
  PageImage page = std::move(*page_);
  page_.reset();
  placed_.clear();
  ++finished_;
  return sink_->TakePage(std::move(page));
}

bool Paginator::PutPageBand(BandKind kind) {
  LaidOutBand band;
  if (!pageBands_ || !pageBands_->LayOutPageBand(kind, &band)) return false;
  Put(band, band.x, band.y);
  return true;
}

bool Paginator::BreakDocument() {
  breakPending_ = true;
  if (page_ && !FinishPage()) return false;
  return EndDocument();
}

bool Paginator::EndDocument() {
  int32_t pages = finished_ - documentStart_;
  documentStart_ = finished_;
  return pages == 0 || sink_->DocumentEnded(pages);
}

bool Paginator::Finish() {
  breakPending_ = false;
  if (page_ && !FinishPage()) return false;
  return EndDocument();
}

}  // namespace ledora::runtime
