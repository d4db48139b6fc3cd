// A list over a view that holds only one window-full of rows and reads more
// records forwards or backwards as the user scrolls, with one sort order per
// tab. The invoicing browses, the selection lists and the invoice form's
// lines list are built on it: Setup puts it in a list control of a
// procedure frame's window, which then hands it every event; its buttons,
// keys, popup menu and the toolbar insert, change, delete and select records
// through the frame's update procedure.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "data/view_manager.h"
#include "framework/browse_toolbar_target.h"
#include "framework/frame_lists.h"
#include "framework/locator.h"
#include "framework/popup_menu.h"
#include "framework/query_by_example.h"
#include "framework/thumb_step.h"
#include "runtime/values/field_ref.h"
#include "runtime/window/event.h"
#include "runtime/window/list_source.h"

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

class ProcedureFrame;
class ToolbarRouter;

// The title of the floating toolbox the browse's popup menu opens.
inline constexpr char kBrowseActionsTitle[] = "Browse Actions";

class PagedBrowse : public data::ViewManager, public LocatorList, public FrameBrowse {
 public:
  uint8_t ACTIVEINVISIBLE = 0;                 // 1: the list reads records while hidden
  uint8_t ALLOWUNFILLED = 0;                   // 1: a page may show fewer rows than fit
  uint8_t ARROWACTION = 0;                     // kept for procedures; the browse never reads it
  uint16_t ASKPROCEDURE = 0;                   // 0: rows are edited in place
  int32_t CHANGECONTROL = 0;                   // the change button; 0: none
  int32_t CURRENTCHOICE = 0;                   // the highlighted row, from 1
  int32_t CURRENTEVENT = 0;                    // the scroll event being carried out
  int32_t DELETECONTROL = 0;                   // the delete button; 0: none
  uint8_t ENTERACTION = 0;                     // kept for procedures; the browse never reads it
  uint8_t FILELOADED = 0;                      // 1: every record is loaded, not a page
  uint8_t FOCUSLOSSACTION = 0;                 // kept for procedures; the browse never reads it
  uint8_t HASTHUMB = 0;                        // 1: the list has a scroll bar to place
  uint8_t HIDESELECT = 0;                      // 1: the select button hides unless selecting
  int32_t INSERTCONTROL = 0;                   // the insert button; 0: none
  int32_t ITEMSTOFILL = 0;                     // rows the current read still has to fetch
  int32_t LASTCHOICE = 0;                      // the row highlighted before
  int32_t LASTITEMS = 0;                       // rows the list showed when last filled
  int32_t LISTCONTROL = 0;                     // the list control
  uint8_t LOADED = 0;                          // 1 once the first page was read
  uint8_t LOADPENDING = 0;                     // 1: the rows must be read again
  uint8_t RETAINROW = 1;                       // 1: a reload keeps the highlight on the same row
  int32_t PRINTCONTROL = 0;                    // the print button; 0: none
  uint16_t PRINTPROCEDURE = 0;                 // the procedure the print button calls
  std::unique_ptr<PopupMenu> POPUP;            // the right-click menu
  QueryByExample* QUERY = nullptr;             // not owned
  int32_t QUERYCONTROL = 0;                    // the query button; 0: none
  uint8_t QUERYSHARED = 0;                     // 1: the query filters every order
  uint8_t QUICKSCAN = 0;                       // 1: a read of many rows asks for buffered reads
  uint8_t RECORDSTATUS = 0;                    // kept for procedures; the browse never reads it
  int32_t SELECTCONTROL = 0;                   // the select button; 0: none
  uint8_t SELECTING = 0;                       // 1: the browse was called to select a record
  uint8_t STARTATCURRENT = 0;                  // 1: the first page starts at the buffer's record
  uint8_t TABACTION = 0;                       // kept for procedures; the browse never reads it
  ToolbarRouter* TOOLBAR = nullptr;            // the frame's
  int32_t TOOLCONTROL = 0;                     // the toolbox button; 0: none
  BrowseToolbarTarget* TOOLBARITEM = nullptr;  // the browse's own target, while set up
  ProcedureFrame* WINDOW = nullptr;            // not owned; the frame the browse serves

  PagedBrowse();
  ~PagedBrowse() override;

  // Puts the browse into list control `listControl` of the frame's window,
  // over the view, and registers it with the frame and the frame's toolbar.
  // Call it after the frame's Initialize (a select request then makes it
  // SELECTING) and AttachToolbar, with the view's files open and the list
  // format set. The caller then adds sort orders, fields and the *CONTROL
  // buttons, all before the window opens.
  data::Severity Setup(int32_t listControl, ProcedureFrame* frame, runtime::View* view,
                       data::RelationController* primary);

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
  // True once a read failed fatally; the browse's window is then closed.
  bool failed() const { return failed_; }
  // Thumb position 0-100 to show: the mapping's percentile of the
  // highlighted record, or from the last fetch without a mapping.
  int ThumbPosition();
  // Gives a mapping that asks for limits the first and last record's values.
  void ComputeThumbRange();

  data::Severity Next() override;
  data::Severity Previous() override;
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
  // request 1 insert, 2 change, 3 delete; response 1 completed. Then a
  // pending toolbar request is carried out; answers the request for the
  // next pass of RunUpdateProcedure (1 when another record is to be added).
  uint8_t RefreshAfterUpdate(uint8_t request, uint8_t response);
  // Copies the highlighted row back into the record, or clears the record.
  void LoadSelectedRow();
  // The highlighted record re-read from the file; false when it is gone.
  bool RereadHighlighted();

  // The window side.
  // Calls ASKPROCEDURE through the frame while the toolbar navigates the
  // form; answers the last response.
  virtual uint8_t RunUpdateProcedure(uint8_t request);
  // Edit in place is not offered: the row is left as it is (response 2).
  virtual uint8_t EditRowInPlace(uint8_t request);
  // Runs the query form; when completed, its filter narrows the current
  // order (every order when QUERYSHARED) and the rows are read again.
  virtual void RunLocator();
  // A key in the list: the right button moves the highlight and opens the
  // popup, action keys press their buttons, other keys go to the locator;
  // the list is redrawn when either acted.
  virtual void OnKeyPressed();
  // The highlight moved: loads that row's record and tells the locator;
  // a right click opens the popup, anything else refreshes the frame.
  virtual void OnRowChanged();
  // request: a toolbar button 2004-2009.
  virtual void OnNavigation(int32_t request);

  // FrameBrowse, for the frame.
  void SetSelecting(bool selecting) override { SELECTING = selecting ? 1 : 0; }
  data::Severity HandleEvent() override;
  // Makes the current order current again; procedures choose it from their
  // tabs and call ChooseSortOrder.
  void ApplySortOrder(uint8_t force) override;
  void RefreshDisplay() override;
  void RegisterAlerts() override;
  void RereadSelectedRow() override;
  bool NeedsRefresh() override;
  void Shutdown() override;

  runtime::Window* window() const;
  // The text of the list format as set up, before the sort marker.
  const std::string& listFormat() const { return format_; }

 protected:
  // Builds a list row from the record just read; the lines list of an
  // invoice fetches each line's item here first.
  virtual void FillRow(BrowseRow& row);

 private:
  class RowSource;

  void ScrollByRow(int event);
  void ScrollByPage(int event);
  void ScrollToEnd(int event);
  void LocateFromThumb(int v);
  void ReloadAtFreeElement();
  BrowseSortOrder* CurrentBrowseOrder();
  void ReloadAfterUpdate(uint8_t request, uint8_t response);
  void Fail();
  // Window side helpers.
  bool ListShows() const;
  void ShowHighlight();
  void ShowButtons();
  void PositionThumb();
  void ShowSortMarker();
  void HandleListEvent(const runtime::Event& e);
  void HandleAccepted(int32_t control);
  bool OnActionKey(int32_t keyCode);
  void RequestUpdate(uint8_t request);
  void AddPopupItems();
  void RegisterLocatorKeys();
  void UpdateSeen();
  bool ResetsChanged();
  void SaveResets();
  int32_t FindRow(const std::string& position) const;  // from 1, 0 when absent
  // Removes rows, keeping them (up to a page) for FillRow to refill.
  void DropRows(size_t first, size_t count);

  std::vector<runtime::FieldRef> fields_;
  std::vector<BrowseRow> rows_;
  std::vector<BrowseRow> spare_;
  int32_t visibleRows_ = 0;
  bool failed_ = false;
  bool lastFetchShort_ = false;
  bool nothingBelow_ = false;  // the last reload found no record at or after its start
  std::unique_ptr<RowSource> source_;
  std::unique_ptr<BrowseToolbarTarget> target_;
  std::string format_;
};

}  // namespace ledora::framework
