#include "framework/paged_browse.h"

#include <algorithm>
#include <cstring>

#include "data/error_severity.h"
#include "data/file_manager.h"
#include "runtime/window/wait_cursor.h"

namespace ledora::framework {

using runtime::EventPageDown;
using runtime::EventPageUp;
using runtime::EventScrollBottom;
using runtime::EventScrollDown;
using runtime::EventScrollTop;
using runtime::EventScrollUp;

size_t PagedBrowse::AddSortOrder(int key) {
  return ViewManager::AddSortOrder(key, std::make_unique<BrowseSortOrder>());
}

void PagedBrowse::AddResetField(const runtime::FieldRef& field) {
  if (BrowseSortOrder* order = CurrentBrowseOrder()) {
    order->RESETS.push_back({field, runtime::GetText(field)});
  }
}

void PagedBrowse::SetThumb(ThumbStep* thumb) {
  if (BrowseSortOrder* order = CurrentBrowseOrder()) order->THUMB = thumb;
}

void PagedBrowse::SetLocator(Locator* locator) {
  if (BrowseSortOrder* order = CurrentBrowseOrder()) order->LOCATOR = locator;
}

BrowseSortOrder* PagedBrowse::CurrentBrowseOrder() {
  return dynamic_cast<BrowseSortOrder*>(CurrentOrder());
}

// Reaching an end of the view is no reason to reload.
data::Severity PagedBrowse::Next() {
  data::Severity result = ViewManager::Next();
  if (result == data::SeverityInform) SaveResets();
  if (result == data::SeverityStop) Fail();
  return result;
}

data::Severity PagedBrowse::Previous() {
  data::Severity result = ViewManager::Previous();
  if (result == data::SeverityInform) SaveResets();
  if (result == data::SeverityStop) Fail();
  return result;
}

// A list that cannot be read any more closes its window.
void PagedBrowse::Fail() {
  failed_ = true;
  if (runtime::Window* w = window(); w != nullptr && w->IsOpen()) {
    w->Post(runtime::EventCloseWindow);
  }
}

bool PagedBrowse::NeedsReset() {
  if (visibleRows_ != LASTITEMS && !FILELOADED) {
    LASTITEMS = visibleRows_;
    // The frame's refresh that follows must reload, not only redisplay.
    if (LOADED) LOADPENDING = 1;
    return true;
  }
  if (RangeLimitsChanged() || ResetsChanged()) LOADPENDING = 1;
  return LOADPENDING != 0;
}

bool PagedBrowse::ResetsChanged() {
  BrowseSortOrder* order = CurrentBrowseOrder();
  if (order == nullptr) return false;
  for (const ResetField& reset : order->RESETS) {
    if (runtime::GetText(reset.field) != reset.saved) return true;
  }
  return false;
}

void PagedBrowse::SaveResets() {
  if (BrowseSortOrder* order = CurrentBrowseOrder()) {
    for (ResetField& reset : order->RESETS) reset.saved = runtime::GetText(reset.field);
  }
}

// A row that left the list comes back here with its strings, whose room
// the assignments reuse.
void PagedBrowse::FillRow(BrowseRow& row) {
  row.columns.resize(fields_.size());
  for (size_t i = 0; i < fields_.size(); ++i) {
    const runtime::FieldRef& field = fields_[i];
    if (field.type == runtime::FieldText) {
      row.columns[i] = *static_cast<const std::string*>(field.address);
    } else {
      row.columns[i].assign(static_cast<const char*>(field.address), field.size);
    }
  }
  row.position = VIEW->Position();
}

void PagedBrowse::DropRows(size_t first, size_t count) {
  size_t keep = static_cast<size_t>(std::max(LASTITEMS, 1));
  for (size_t i = first; i < first + count && spare_.size() < keep; ++i) {
    spare_.push_back(std::move(rows_[i]));
  }
  rows_.erase(rows_.begin() + first, rows_.begin() + first + count);
}

int32_t PagedBrowse::FindRow(const std::string& position) const {
  for (size_t i = 0; i < rows_.size(); ++i) {
    if (rows_[i].position == position) return static_cast<int32_t>(i + 1);
  }
  return 0;
}

void PagedBrowse::ReadRows(uint8_t direction) {
  bool down = direction == ReadDown;
  // A page or more takes long enough to show; one row does not.
  runtime::WaitCursor wait(ITEMSTOFILL > 1 ? window() : nullptr);
  bool buffered = QUICKSCAN && ITEMSTOFILL > 1;
  if (buffered) PRIMARY->SetQuickScan(true);
  // Reading resumes at the edge row, which the view delivers again first.
  std::string edge;
  if (!rows_.empty()) {
    edge = down ? rows_.back().position : rows_.front().position;
    VIEW->ResetToPosition(edge);
  }
  bool first = true;
  while (ITEMSTOFILL != 0) {
    data::Severity result = down ? Next() : Previous();
    if (result != 0) break;
    bool repeat = first && !edge.empty() && VIEW->Position() == edge;
    first = false;
    if (repeat) continue;
    if (LASTITEMS > 0 && static_cast<int32_t>(rows_.size()) >= LASTITEMS) {
      DropRows(down ? 0 : rows_.size() - 1, 1);
    }
    BrowseRow row;
    if (!spare_.empty()) {
      row = std::move(spare_.back());
      spare_.pop_back();
    }
    FillRow(row);
    if (down) {
      rows_.push_back(std::move(row));
    } else {
      rows_.insert(rows_.begin(), std::move(row));
    }
    --ITEMSTOFILL;
  }
  lastFetchShort_ = ITEMSTOFILL != 0;
  if (buffered) PRIMARY->SetQuickScan(false);
}

// Keeps the remembered record highlighted and, with RETAINROW, on the same
// screen row, reading upwards and downwards around it as needed.
void PagedBrowse::ReloadPage(uint8_t mode) {
  if (!ListShows() && !ACTIVEINVISIBLE) {
    LOADPENDING = 1;
    return;
  }
  LOADED = 1;
  LOADPENDING = 0;
  runtime::WaitCursor wait(window());
  SaveResets();
  CURRENTCHOICE = std::max(CURRENTCHOICE, 1);
  int32_t shift = 0;
  bool fresh = false;
  std::string remembered;
  if (mode == ReloadFromView) {
    // A list that shrank below the highlighted row keeps that record on its
    // last row: filling upwards from a row past the end would drop it.
    CURRENTCHOICE = std::min(CURRENTCHOICE, std::max(LASTITEMS, 1));
    if (RETAINROW) shift = CURRENTCHOICE - 1;
  } else if (!rows_.empty()) {
    size_t index = std::min<size_t>(CURRENTCHOICE, rows_.size()) - 1;
    remembered = rows_[index].position;
    VIEW->ResetToPosition(rows_.front().position);
  } else {
    Reset();
    fresh = true;
  }
  int32_t oldChoice = CURRENTCHOICE;
  DropRows(0, rows_.size());
  ITEMSTOFILL = std::max(LASTITEMS - shift, 1);
  ReadRows(ReadDown);
  bool endHit = ITEMSTOFILL != 0;
  nothingBelow_ = rows_.empty();
  if (remembered.empty() && !rows_.empty()) remembered = rows_.front().position;
  CURRENTCHOICE = remembered.empty() ? 1 : FindRow(remembered);
  if (RETAINROW) shift = oldChoice - CURRENTCHOICE;
  if (rows_.empty()) Reset();
  int32_t rows = static_cast<int32_t>(rows_.size());
  ITEMSTOFILL = ALLOWUNFILLED ? 0 : LASTITEMS - rows;
  if (!fresh && (ITEMSTOFILL > 0 || shift > 0)) {
    ITEMSTOFILL = std::max(ITEMSTOFILL, shift);
    ReadRows(ReadUp);
    CURRENTCHOICE = FindRow(remembered);
  }
  rows = static_cast<int32_t>(rows_.size());
  if (RETAINROW && (shift < 0 || (rows < LASTITEMS && !endHit))) {
    ITEMSTOFILL = std::max(-shift, LASTITEMS - rows);
    ReadRows(ReadDown);
    CURRENTCHOICE = FindRow(remembered);
  }
  while (static_cast<int32_t>(rows_.size()) > std::max(LASTITEMS, 1)) {
    if (shift < 0) {
      DropRows(0, 1);
      ++shift;
      --CURRENTCHOICE;
    } else {
      DropRows(rows_.size() - 1, 1);
    }
  }
  CURRENTCHOICE = std::max(CURRENTCHOICE, 1);
  LoadSelectedRow();
}

void PagedBrowse::ReloadFromBuffer() {
  VIEW->ResetToRecord();
  ReloadPage(ReloadFromView);
}

uint8_t PagedBrowse::ChooseSortOrder(size_t order, bool force) {
  UpdateSeen();
  bool changed = ORDER != nullptr && ORDER->current + 1 != order;
  SetSort(order);
  BrowseSortOrder* entry = CurrentBrowseOrder();
  if (changed && entry != nullptr && entry->LOCATOR != nullptr) {
    entry->LOCATOR->OnOrderOrRowChanged();
  }
  if (!NeedsReset() && !changed && !force && LOADED && !LOADPENDING) {
    LoadSelectedRow();
    return 0;
  }
  // Positioning at the caller's record comes before any reset would open it.
  Open();
  ApplyOrder();
  ApplyRange();
  ApplyFilter();
  if ((SELECTING || STARTATCURRENT) && !LOADED) {
    VIEW->ResetToRecord();
    ReloadPage(ReloadFromView);
  } else if (!rows_.empty() && CURRENTCHOICE >= 1) {
    VIEW->ResetToPosition(rows_[std::min<size_t>(CURRENTCHOICE, rows_.size()) - 1].position);
    ReloadPage(ReloadFromView);
  } else {
    ReloadPage(ReloadFromFirstRow);
  }
  if (!LOADPENDING) {
    ShowHighlight();
    ComputeThumbRange();
  }
  LoadSelectedRow();
  return 1;
}

void PagedBrowse::OnScrollEvent(int event) {
  if (rows_.empty()) return;
  CURRENTEVENT = event;
  if (event == EventScrollUp || event == EventScrollDown) ScrollByRow(event);
  if (event == EventPageUp || event == EventPageDown) ScrollByPage(event);
  if (event == EventScrollTop || event == EventScrollBottom) ScrollToEnd(event);
  LoadSelectedRow();
}

void PagedBrowse::ScrollByRow(int event) {
  bool down = event == EventScrollDown;
  int32_t rows = static_cast<int32_t>(rows_.size());
  lastFetchShort_ = false;
  if (down ? CURRENTCHOICE < rows : CURRENTCHOICE > 1) {
    CURRENTCHOICE += down ? 1 : -1;
  } else if (!FILELOADED) {
    ITEMSTOFILL = 1;
    ReadRows(down ? ReadDown : ReadUp);
    CURRENTCHOICE = down ? static_cast<int32_t>(rows_.size()) : 1;
  }
}

// A full page read keeps the highlight on its screen row; only the rows
// that could not be read at an end of the view move it.
void PagedBrowse::ScrollByPage(int event) {
  bool down = event == EventPageDown;
  int32_t n = LASTITEMS;
  if (!FILELOADED) {
    ITEMSTOFILL = n;
    ReadRows(down ? ReadDown : ReadUp);
    n = ITEMSTOFILL;
  }
  int32_t rows = static_cast<int32_t>(rows_.size());
  CURRENTCHOICE = down ? std::min(CURRENTCHOICE + n, rows) : std::max(CURRENTCHOICE - n, 1);
}

void PagedBrowse::ScrollToEnd(int event) {
  bool top = event == EventScrollTop;
  if (!FILELOADED) {
    rows_.clear();
    Reset();
    ITEMSTOFILL = LASTITEMS;
    ReadRows(top ? ReadDown : ReadUp);
  }
  // An end of the view is in the list, however many rows were read: the
  // thumb goes to that end, not to the middle.
  lastFetchShort_ = true;
  CURRENTCHOICE = top ? 1 : static_cast<int32_t>(rows_.size());
}

int PagedBrowse::ThumbPosition() {
  if (rows_.empty()) return 0;
  BrowseSortOrder* order = CurrentBrowseOrder();
  if (order != nullptr && order->THUMB != nullptr && order->FREEELEMENT.address != nullptr) {
    if (!LOADED || LOADPENDING) return 0;
    return order->THUMB->PercentileOf(runtime::GetText(order->FREEELEMENT));
  }
  int32_t rows = static_cast<int32_t>(rows_.size());
  if (FILELOADED) return CURRENTCHOICE * 100 / rows;
  bool down = CURRENTEVENT == EventScrollDown || CURRENTEVENT == EventPageDown ||
              CURRENTEVENT == EventScrollBottom;
  if (lastFetchShort_ && down && CURRENTCHOICE == rows) return 100;
  if (lastFetchShort_ && !down && CURRENTCHOICE == 1) return 0;
  return 50;
}

void PagedBrowse::OnThumbDrag(int v) {
  if (v <= 1) return OnScrollEvent(EventScrollTop);
  if (v >= 100) return OnScrollEvent(EventScrollBottom);
  BrowseSortOrder* order = CurrentBrowseOrder();
  if (order != nullptr && order->THUMB != nullptr && order->FREEELEMENT.address != nullptr) {
    LocateFromThumb(v);
  } else if (FILELOADED && !rows_.empty()) {
    CURRENTCHOICE = std::clamp<int32_t>(v * static_cast<int32_t>(rows_.size()) / 100, 1,
                                        static_cast<int32_t>(rows_.size()));
    LoadSelectedRow();
  } else if (v < 50) {
    OnScrollEvent(EventPageUp);
  } else if (v > 50) {
    OnScrollEvent(EventPageDown);
  }
}

// The page starts at the first record at or after the mapped value.
void PagedBrowse::LocateFromThumb(int v) {
  BrowseSortOrder* order = CurrentBrowseOrder();
  runtime::SetText(order->FREEELEMENT, order->THUMB->ValueAtPercentile(static_cast<uint8_t>(v)));
  ReloadAtFreeElement();
}

void PagedBrowse::ReloadAtFreeElement() {
  Reset(FreeElementPosition());
  rows_.clear();
  CURRENTCHOICE = 1;
  ReloadPage(ReloadFromView);
  // Past the last value only the rows above were read: the last one is the
  // nearest match.
  if (!rows_.empty() && nothingBelow_) {
    CURRENTCHOICE = static_cast<int32_t>(rows_.size());
    LoadSelectedRow();
  }
}

uint8_t PagedBrowse::OnLocatorKey(int32_t keyCode) {
  BrowseSortOrder* order = CurrentBrowseOrder();
  if (order == nullptr || order->LOCATOR == nullptr) return 0;
  if (order->LOCATOR->OnKeyPressed(keyCode, *this) != 1) return 0;
  ReloadAtFreeElement();
  return 1;
}

void PagedBrowse::StepDown() { OnScrollEvent(EventScrollDown); }

void PagedBrowse::ComputeThumbRange() {
  BrowseSortOrder* order = CurrentBrowseOrder();
  if (order == nullptr || order->THUMB == nullptr || order->FREEELEMENT.address == nullptr ||
      !order->THUMB->NeedsRange()) {
    return;
  }
  if (!ALLOWUNFILLED && static_cast<int32_t>(rows_.size()) < LASTITEMS) return;
  runtime::WaitCursor wait(window());
  Reset();
  std::string high = Previous() == 0 ? runtime::GetText(order->FREEELEMENT) : std::string();
  Reset();
  std::string low = Next() == 0 ? runtime::GetText(order->FREEELEMENT) : std::string();
  order->THUMB->SetRange(low, high);
  LoadSelectedRow();
}

void PagedBrowse::ReloadAfterUpdate(uint8_t request, uint8_t response) {
  if (response != 1) return ReloadPage(ReloadFromFirstRow);
  if (request == 3) {
    if (CURRENTCHOICE >= 1 && CURRENTCHOICE <= static_cast<int32_t>(rows_.size())) {
      rows_.erase(rows_.begin() + (CURRENTCHOICE - 1));
    }
    ReloadPage(ReloadFromFirstRow);
  } else {
    ReloadFromBuffer();
  }
}

void PagedBrowse::LoadSelectedRow() {
  if (rows_.empty() || CURRENTCHOICE < 1 || CURRENTCHOICE > static_cast<int32_t>(rows_.size())) {
    if (rows_.empty()) {
      CURRENTCHOICE = 0;
      PRIMARY->ME->ClearRecord();
    }
    return;
  }
  const BrowseRow& row = rows_[CURRENTCHOICE - 1];
  for (size_t i = fields_.size(); i-- > 0;) {
    const runtime::FieldRef& field = fields_[i];
    if (field.type == runtime::FieldText) {
      *static_cast<std::string*>(field.address) = row.columns[i];
    } else {
      std::memcpy(field.address, row.columns[i].data(), field.size);
    }
  }
}

bool PagedBrowse::RereadHighlighted() {
  if (CURRENTCHOICE < 1 || CURRENTCHOICE > static_cast<int32_t>(rows_.size())) return false;
  return VIEW->Reread(rows_[CURRENTCHOICE - 1].position) == 0;
}

}  // namespace ledora::framework
