// A list over a view that holds only one window-full of rows and reads more
// records forwards or backwards as the user scrolls, with one sort order per
// tab. The invoicing browses and selection lists are built on it; the window
// side feeds it the list's visible row count and scroll events and shows
// its rows.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "data/view_manager.h"
#include "framework/locator.h"
#include "framework/thumb_step.h"
#include "runtime/values/field_ref.h"
#include "runtime/window/event.h"

namespace ledora::framework {

// One list row: the raw bytes of each column's field and the view position
// of the record, so that the row can be put back into the record exactly.
struct BrowseRow {
  std::vector<std::string> columns;
  std::string position;
};

// A value outside the view whose change forces a reload, with its copy from
// the last load.
struct ResetField {
  runtime::FieldRef field;
  std::string saved;
};

// A sort order of the browse: the view manager's order and its reset fields.
struct BrowseSortOrder : data::SortOrder {
  std::vector<ResetField> RESETS;
  ThumbStep* THUMB = nullptr;  // not owned; none: the thumb shows 0, 50 or 100
  Locator* LOCATOR = nullptr;  // not owned
};

enum ReadDirection : uint8_t { ReadUp = 1, ReadDown = 2 };
enum ReloadMode : uint8_t { ReloadFromFirstRow = 1, ReloadFromView = 2 };

class PagedBrowse : public data::ViewManager, public LocatorList {
 public:
  uint8_t ALLOWUNFILLED = 0;
  int32_t CURRENTCHOICE = 0;
  int32_t CURRENTEVENT = 0;
  uint8_t FILELOADED = 0;
  int32_t ITEMSTOFILL = 0;
  int32_t LASTITEMS = 0;
  uint8_t LOADED = 0;
  uint8_t LOADPENDING = 0;
  uint8_t RETAINROW = 1;
  uint8_t QUICKSCAN = 0;
  uint8_t SELECTING = 0;
  uint8_t STARTATCURRENT = 0;

  // key: -1 for none. Answers the new order's number, from 1.
  size_t AddSortOrder(int key = -1);
  // A reset field of the current order.
  void AddResetField(const runtime::FieldRef& field);
  // The thumb mapping and the locator of the current order.
  void SetThumb(ThumbStep* thumb);
  void SetLocator(Locator* locator);

  // Columns are filled from these fields in this order.
  void AddField(const runtime::FieldRef& field) { fields_.push_back(field); }
  const std::vector<BrowseRow>& rows() const { return rows_; }
  // The list control's visible row count; a change reloads on the next check.
  void SetVisibleRows(int32_t rows) { visibleRows_ = rows; }
  // True once a read failed fatally: the owner closes the window.
  bool failed() const { return failed_; }
  // Thumb position 0-100 to show: the mapping's percentile of the
  // highlighted record, or from the last fetch without a mapping.
  int ThumbPosition();
  // Gives a mapping that asks for limits the first and last record's values.
  void ComputeThumbRange();

  uint8_t Next() override;
  uint8_t Previous() override;
  // The list's row count, the range limits or a reset field changed, or a
  // reload is pending.
  bool NeedsReset();

  void ReadRows(uint8_t direction);
  void ReloadPage(uint8_t mode);
  // The view positioned at the primary file's record; the record is highlighted.
  void ReloadFromBuffer();
  // Makes `order` (from 1) current and loads the list; answers 1 when it
  // reloaded.
  uint8_t ChooseSortOrder(size_t order, bool force);
  void OnScrollEvent(int event);
  // v: the dragged thumb position 0-100.
  void OnThumbDrag(int v);
  // A typed key goes to the current order's locator; 1 when the list moved.
  uint8_t OnLocatorKey(int32_t keyCode);
  bool HasRows() override { return !rows_.empty(); }
  void StepDown() override;
  // request 1 insert, 2 change, 3 delete; response 1 completed.
  void RefreshAfterUpdate(uint8_t request, uint8_t response);
  // Copies the highlighted row back into the record, or clears the record.
  void LoadSelectedRow();
  // The highlighted record re-read from the file; false when it is gone.
  bool RereadSelectedRow();

 private:
  void ScrollByRow(int event);
  void ScrollByPage(int event);
  void ScrollToEnd(int event);
  void LocateFromThumb(int v);
  void ReloadAtFreeElement();
  void FillRow(BrowseRow& row);
  BrowseSortOrder* CurrentBrowseOrder();
  bool RangeChanged();
  bool ResetsChanged();
  void SaveResets();
  int32_t FindRow(const std::string& position) const;  // from 1, 0 when absent

  std::vector<runtime::FieldRef> fields_;
  std::vector<BrowseRow> rows_;
  int32_t visibleRows_ = 0;
  bool failed_ = false;
  bool lastFetchShort_ = false;
  bool nothingBelow_ = false;  // the last reload found no record at or after its start
};

}  // namespace ledora::framework
