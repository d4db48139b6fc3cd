// The window side of the paged browse: its list control, buttons, keys,
// popup menu, toolbar and the update procedure it calls through its frame.
#include <algorithm>

#include "data/error_severity.h"
#include "framework/paged_browse.h"
#include "framework/procedure_frame.h"
#include "framework/toolbar_router.h"
#include "runtime/window/window.h"

namespace ledora::framework {

using runtime::Event;

namespace {

// Alert slots of the list's action keys.
constexpr int32_t kSlotDoubleClick = 252;
constexpr int32_t kSlotRightUp = 249;
constexpr int32_t kSlotInsert = 255;
constexpr int32_t kSlotChange = 253;
constexpr int32_t kSlotDelete = 254;

// Shown after the header of the column the list is sorted by.
constexpr std::string_view kSortMarker = " \xBB";

bool IsScroll(int32_t event) {
  return event >= runtime::EventScrollUp && event <= runtime::EventScrollBottom;
}

// The list format with the marker after the header of column `column`
// (from 0); unchanged when that column has no header. Columns start with
// their width, the first digits outside headers, pictures, field names and
// parentheses.
std::string MarkedFormat(const std::string& format, size_t column, std::string_view marker) {
  size_t current = 0;
  bool started = false;
  bool afterDigit = false;
  char closing = 0;
  for (size_t i = 0; i < format.size(); ++i) {
    char c = format[i];
    if (closing != 0) {
      if (c == closing) closing = 0;
      continue;
    }
    bool digit = c >= '0' && c <= '9';
    if (digit && !afterDigit) {
      if (started) ++current;
      started = true;
    }
    afterDigit = digit;
    if (c == '(') closing = ')';
    if (c == '@' || c == '#') closing = c;
    if (c != '~') continue;
    size_t end = format.find('~', i + 1);
    if (end == std::string::npos) return format;
    if (current == column) {
      return format.substr(0, end) + std::string(marker) + format.substr(end);
    }
    i = end;
  }
  return format;
}

}  // namespace

// The rows of the page as the list control shows them: each column is the
// field's value kept in the row, read through the field's type.
class PagedBrowse::RowSource : public runtime::ListSource {
 public:
  explicit RowSource(PagedBrowse* browse) : browse_(browse) {}

  int32_t RowCount() const override { return static_cast<int32_t>(browse_->rows_.size()); }

  runtime::FieldRef Cell(int32_t row, int32_t column) const override {
    if (row < 1 || row > RowCount() || column < 0 ||
        column >= static_cast<int32_t>(browse_->fields_.size())) {
      return {runtime::FieldLong, nullptr, 0, 0};
    }
    runtime::FieldRef field = browse_->fields_[column];
    std::string& value = browse_->rows_[row - 1].columns[column];
    if (field.type == runtime::FieldText) {
      field.address = &value;
    } else if (value.size() < field.size) {
      return {runtime::FieldLong, nullptr, 0, 0};
    } else {
      field.address = value.data();
    }
    return field;
  }

 private:
  PagedBrowse* browse_;
};

PagedBrowse::PagedBrowse() = default;
PagedBrowse::~PagedBrowse() = default;

// ------------------------------------------------------------------ set-up

data::Severity PagedBrowse::Setup(int32_t listControl, ProcedureFrame* frame, runtime::View* view,
                                  data::RelationController* primary) {
  LISTCONTROL = listControl;
  WINDOW = frame;
  RETAINROW = 1;
  data::Severity result = Initialize(view, primary);
  POPUP = std::make_unique<PopupMenu>();
  POPUP->Setup(window());
  source_ = std::make_unique<RowSource>(this);
  target_ = std::make_unique<BrowseToolbarTarget>();
  target_->Setup(window(), this, LISTCONTROL);
  TOOLBARITEM = target_.get();
  if (runtime::Window* w = window()) {
    w->SetListSource(LISTCONTROL, source_.get());
    w->SetImmediate(LISTCONTROL, true);
  }
  if (frame != nullptr) {
    TOOLBAR = frame->TOOLBAR;
    if (TOOLBAR != nullptr) TOOLBAR->RegisterTarget(TOOLBARITEM, LISTCONTROL);
    frame->AddBrowse(this);
  }
  return result;
}

runtime::Window* PagedBrowse::window() const {
  return WINDOW != nullptr ? WINDOW->window() : nullptr;
}

void PagedBrowse::RegisterAlerts() {
  runtime::Window* w = window();
  if (w == nullptr || LISTCONTROL == 0) return;
  const runtime::Control* list = w->Find(LISTCONTROL);
  if (list == nullptr) return;
  format_ = list->formatText;
  w->AddAlert(LISTCONTROL, runtime::KeyMouseLeftDouble, kSlotDoubleClick);
  w->AddAlert(LISTCONTROL, runtime::KeyMouseRightUp, kSlotRightUp);
  if (INSERTCONTROL != 0) w->AddAlert(LISTCONTROL, runtime::KeyInsert, kSlotInsert);
  if (CHANGECONTROL != 0) w->AddAlert(LISTCONTROL, runtime::KeyCtrlEnter, kSlotChange);
  if (DELETECONTROL != 0) w->AddAlert(LISTCONTROL, runtime::KeyDelete, kSlotDelete);
  // Enter on a row does what a double click does.
  if (CHANGECONTROL != 0 || SELECTCONTROL != 0) w->AddAlert(LISTCONTROL, runtime::KeyEnter, 0);
  HASTHUMB = list->vscroll ? 1 : 0;
  if (HASTHUMB) w->SetThumb(LISTCONTROL, 0, false);
  RegisterLocatorKeys();
  AddPopupItems();
  target_->INSERTBUTTON = INSERTCONTROL;
  target_->CHANGEBUTTON = CHANGECONTROL;
  target_->DELETEBUTTON = DELETECONTROL;
  target_->SELECTBUTTON = SELECTCONTROL;
}

// Typed letters, digits and blanks reach the order's locator.
void PagedBrowse::RegisterLocatorKeys() {
  bool any = false;
  if (ORDER != nullptr) {
    for (const auto& entry : ORDER->entries) {
      auto* order = dynamic_cast<BrowseSortOrder*>(entry.get());
      if (order == nullptr || order->LOCATOR == nullptr) continue;
      order->LOCATOR->RegisterKeys(LISTCONTROL);
      any = true;
    }
  }
  runtime::Window* w = window();
  if (!any || w == nullptr) return;
  for (int32_t key = 'A'; key <= 'Z'; ++key) {
    w->AddAlert(LISTCONTROL, key, 0);
    w->AddAlert(LISTCONTROL, key | runtime::KeyShift, 0);
  }
  for (int32_t key = '0'; key <= '9'; ++key) w->AddAlert(LISTCONTROL, key, 0);
  w->AddAlert(LISTCONTROL, ' ', 0);
  // A locator that keeps what was typed takes it back; others ignore it.
  w->AddAlert(LISTCONTROL, runtime::KeyBackspace, 0);
}

void PagedBrowse::AddPopupItems() {
  if (!POPUP || !POPUP->POPUPITEMS || !POPUP->POPUPITEMS->empty()) return;
  auto add = [this](int32_t control, const char* text, const char* shown, bool toolbox) {
    if (control == 0) return;
    std::string name = POPUP->AddItemMimic(text, control);
    POPUP->SetText(name, shown);
    POPUP->SetOnToolbox(name, toolbox);
  };
  add(INSERTCONTROL, "&Insert", "!&Insert", true);
  add(CHANGECONTROL, "&Change", "!&Change", true);
  add(DELETECONTROL, "&Delete", "!&Delete", true);
  add(PRINTCONTROL, "&Print", "!&Print", true);
  add(QUERYCONTROL, "&Query", "!&Query", true);
  if (SELECTING) add(SELECTCONTROL, "&Select", "!&Select", true);
  if (TOOLCONTROL != 0) {
    POPUP->AddSeparator();
    add(TOOLCONTROL, "&Toolbox", "!&Toolbox", false);
  }
}

void PagedBrowse::Shutdown() {
  if (POPUP) POPUP->Shutdown();
  runtime::Window* w = window();
  if (w != nullptr && LISTCONTROL != 0) w->SetListSource(LISTCONTROL, nullptr);
  Close();
  ViewManager::Shutdown();
}

// ------------------------------------------------------------------ events

data::Severity PagedBrowse::HandleEvent() {
  if (WINDOW == nullptr) return data::SeverityNone;
  const Event& e = WINDOW->event();
  if (LISTCONTROL != 0 && e.control == LISTCONTROL) HandleListEvent(e);
  if (e.number == runtime::EventAccepted) HandleAccepted(e.accepted);
  if (e.number == runtime::EventCloseWindow && WINDOW->RESPONSE == ResponseCompleted && SELECTING) {
    LoadSelectedRow();
  }
  return data::SeverityNone;
}

void PagedBrowse::HandleListEvent(const Event& e) {
  if (IsScroll(e.number)) {
    OnScrollEvent(e.number);
    ShowHighlight();
  } else if (e.number == runtime::EventScrollDrag) {
    OnThumbDrag(e.value);
    ShowHighlight();
  } else if (e.number == runtime::EventAlertKey) {
    OnKeyPressed();
  } else if (e.number == runtime::EventNewSelection) {
    OnRowChanged();
  } else if (e.number == runtime::EventLocate) {
    RunLocator();
  }
}

void PagedBrowse::HandleAccepted(int32_t control) {
  if (control == 0) return;
  runtime::Window* w = window();
  if (control == DELETECONTROL) {
    RequestUpdate(RequestDelete);
  } else if (control == CHANGECONTROL) {
    RequestUpdate(RequestChange);
  } else if (control == INSERTCONTROL) {
    RequestUpdate(RequestInsert);
  } else if (control == SELECTCONTROL) {
    if (rows_.empty()) return;
    WINDOW->SyncBrowses();
    WINDOW->RESPONSE = ResponseCompleted;
    if (w != nullptr) w->Post(runtime::EventCloseWindow);
  } else if (control == PRINTCONTROL) {
    if (!RereadHighlighted()) return;
    WINDOW->CallUpdateProcedure(PRINTPROCEDURE, RequestPrint);
  } else if (control == QUERYCONTROL) {
    RunLocator();
  } else if (control == TOOLCONTROL) {
    POPUP->OpenToolbox(kBrowseActionsTitle);
  } else if (BrowseSortOrder* order = CurrentBrowseOrder(); order && order->LOCATOR) {
    order->LOCATOR->OnAccepted();
  }
}

// Change and delete need a record; the frame first puts every browse's
// selected record into its buffer.
void PagedBrowse::RequestUpdate(uint8_t request) {
  if (request != RequestInsert && rows_.empty()) return;
  WINDOW->SyncBrowses();
  RunUpdateProcedure(request);
}

void PagedBrowse::OnRowChanged() {
  runtime::Window* w = window();
  int32_t selected = w != nullptr ? w->GetSelection(LISTCONTROL) : 0;
  if (selected >= 1 && selected <= static_cast<int32_t>(rows_.size())) {
    CURRENTCHOICE = selected;
    LASTCHOICE = selected;
  }
  LoadSelectedRow();
  if (BrowseSortOrder* order = CurrentBrowseOrder(); order && order->LOCATOR) {
    order->LOCATOR->OnOrderOrRowChanged();
  }
  if (WINDOW->event().keyCode == runtime::KeyMouseRightUp) {
    POPUP->RunUpdateProcedure();
  } else {
    WINDOW->Refresh(0);
  }
}

void PagedBrowse::OnKeyPressed() {
  const Event& e = WINDOW->event();
  runtime::Window* w = window();
  int32_t rows = static_cast<int32_t>(rows_.size());
  if (e.keyCode == runtime::KeyMouseRightUp) {
    if (e.value >= 1 && e.value <= rows) CURRENTCHOICE = e.value;
    if (w != nullptr) {
      w->SetSelection(LISTCONTROL, CURRENTCHOICE);
      w->Post(runtime::EventNewSelection, LISTCONTROL, runtime::KeyMouseRightUp);
    }
    return;
  }
  if (e.keyCode == runtime::KeyMouseLeftDouble && e.value >= 1 && e.value <= rows) {
    CURRENTCHOICE = e.value;
  }
  if (!OnActionKey(e.keyCode) && OnLocatorKey(e.keyCode) == 0) return;
  RefreshDisplay();
  ShowHighlight();
}

// Insert, Delete, Ctrl+Enter, Enter and double click; false for any other key.
bool PagedBrowse::OnActionKey(int32_t keyCode) {
  runtime::Window* w = window();
  bool hasRows = !rows_.empty();
  auto press = [w](int32_t control) {
    if (w != nullptr && control != 0) w->Post(runtime::EventAccepted, control);
  };
  switch (keyCode) {
    case runtime::KeyInsert:
      press(INSERTCONTROL);
      return true;
    case runtime::KeyDelete:
      if (hasRows) press(DELETECONTROL);
      return true;
    case runtime::KeyMouseLeftDouble:
    case runtime::KeyEnter:
      if (hasRows && SELECTING && SELECTCONTROL != 0) {
        press(SELECTCONTROL);
        return true;
      }
      [[fallthrough]];
    case runtime::KeyCtrlEnter:
      if (hasRows && CHANGECONTROL != 0) {
        press(CHANGECONTROL);
        LoadSelectedRow();
      }
      return true;
    default:
      return false;
  }
}

// The highlighted row selected in the control, and the frame told of it.
void PagedBrowse::ShowHighlight() {
  runtime::Window* w = window();
  if (w == nullptr || !w->IsOpen() || LISTCONTROL == 0) return;
  w->Display(LISTCONTROL);
  w->SetSelection(LISTCONTROL, CURRENTCHOICE);
  w->Post(runtime::EventNewSelection, LISTCONTROL);
}

void PagedBrowse::RunLocator() {
  if (QUERY == nullptr || QUERY->RunUpdateProcedure() != 1 || ORDER == nullptr) return;
  std::string filter = QUERY->BuildFilter();
  if (QUERYSHARED) {
    size_t current = ORDER->current + 1;
    for (size_t order = 1; order <= ORDER->entries.size(); ++order) {
      SetSort(order);
      SetFilter(filter, kQueryFilterId);
    }
    SetSort(current);
  } else {
    SetFilter(filter, kQueryFilterId);
  }
  ApplySortOrder(1);
}

// ----------------------------------------------------------------- refresh

void PagedBrowse::UpdateSeen() {
  runtime::Window* w = window();
  if (w != nullptr && LISTCONTROL != 0) SetVisibleRows(std::max(1, w->VisibleRows(LISTCONTROL)));
}

bool PagedBrowse::NeedsRefresh() {
  UpdateSeen();
  return NeedsReset();
}

void PagedBrowse::ApplySortOrder(uint8_t force) {
  ChooseSortOrder(ORDER != nullptr ? ORDER->current + 1 : 1, force != 0);
}

// A list on a tab that is not showing loads when its tab is chosen.
bool PagedBrowse::ListShows() const {
  if (window() == nullptr || LISTCONTROL == 0 || !target_) return true;
  return target_->TryToolbarButton();
}

void PagedBrowse::RefreshDisplay() {
  runtime::Window* w = window();
  if (w == nullptr || LISTCONTROL == 0) return;
  if (BrowseSortOrder* order = CurrentBrowseOrder(); order && order->LOCATOR) {
    order->LOCATOR->RefreshDisplay();
    order->LOCATOR->EnableControl(*w, !rows_.empty());
  }
  ShowButtons();
  PositionThumb();
  if (TOOLBAR != nullptr) TOOLBAR->ShowButtons();
  ShowSortMarker();
  w->Display(LISTCONTROL);
  w->SetSelection(LISTCONTROL, CURRENTCHOICE);
}

void PagedBrowse::ShowButtons() {
  runtime::Window* w = window();
  bool hasRows = !rows_.empty();
  for (int32_t button : {CHANGECONTROL, DELETECONTROL, PRINTCONTROL}) {
    if (button != 0) w->SetEnabled(button, hasRows);
  }
  if (SELECTCONTROL == 0) return;
  bool usable = SELECTING && hasRows && WINDOW->REQUEST == RequestSelect;
  w->SetEnabled(SELECTCONTROL, usable);
  if (usable) w->SetDefaultButton(SELECTCONTROL);
  if (!SELECTING && HIDESELECT) w->SetHidden(SELECTCONTROL, true);
}

void PagedBrowse::PositionThumb() {
  bool shown = HASTHUMB && LASTITEMS > 0 && static_cast<int32_t>(rows_.size()) >= LASTITEMS;
  window()->SetThumb(LISTCONTROL, shown ? ThumbPosition() : 0, shown);
}

// The header of the column the current order locates on carries the marker.
void PagedBrowse::ShowSortMarker() {
  if (format_.empty()) return;
  BrowseSortOrder* order = CurrentBrowseOrder();
  std::string text = format_;
  if (order != nullptr && order->FREEELEMENT.address != nullptr) {
    for (size_t i = 0; i < fields_.size(); ++i) {
      if (fields_[i].address == order->FREEELEMENT.address) {
        text = MarkedFormat(format_, i, kSortMarker);
        break;
      }
    }
  }
  const runtime::Control* list = window()->Find(LISTCONTROL);
  if (list != nullptr && list->formatText != text) window()->SetListFormat(LISTCONTROL, text);
}

void PagedBrowse::RereadSelectedRow() {
  runtime::Window* w = window();
  int32_t selected = w != nullptr ? w->GetSelection(LISTCONTROL) : 0;
  if (selected >= 1 && selected <= static_cast<int32_t>(rows_.size())) CURRENTCHOICE = selected;
  RereadHighlighted();
}

// ------------------------------------------------------------------ update

uint8_t PagedBrowse::RunUpdateProcedure(uint8_t request) {
  uint8_t response = ResponseCancelled;
  int32_t* navigation = WINDOW != nullptr ? WINDOW->VCRREQUEST : nullptr;
  do {
    if (navigation != nullptr) *navigation = 0;
    if (request == RequestInsert) PrimeRecord();
    if (ASKPROCEDURE != 0 && WINDOW != nullptr) {
      response = WINDOW->CallUpdateProcedure(ASKPROCEDURE, request);
      request = RefreshAfterUpdate(request, response);
    } else {
      response = EditRowInPlace(request);
    }
  } while (navigation != nullptr && *navigation != 0);
  return response;
}

uint8_t PagedBrowse::EditRowInPlace(uint8_t /*request*/) { return ResponseCancelled; }

uint8_t PagedBrowse::RefreshAfterUpdate(uint8_t request, uint8_t response) {
  ReloadAfterUpdate(request, response);
  int32_t pending = WINDOW != nullptr && WINDOW->VCRREQUEST != nullptr ? *WINDOW->VCRREQUEST : 0;
  if (pending == ToolbarInsert || (pending == ToolbarDown && request == RequestInsert)) {
    PRIMARY->ME->ClearRecord();
    return RequestInsert;
  }
  if (pending != 0) {
    OnNavigation(pending);
    WINDOW->Refresh(0);
    WINDOW->SyncBrowses();
    return request;
  }
  ComputeThumbRange();
  RefreshDisplay();
  ShowHighlight();
  if (runtime::Window* w = window(); w != nullptr && w->IsOpen()) w->Select(LISTCONTROL);
  return request;
}

void PagedBrowse::OnNavigation(int32_t request) {
  switch (request) {
    case ToolbarDown:
      return OnScrollEvent(runtime::EventScrollDown);
    case ToolbarUp:
      return OnScrollEvent(runtime::EventScrollUp);
    case ToolbarPageDown:
      return OnScrollEvent(runtime::EventPageDown);
    case ToolbarPageUp:
      return OnScrollEvent(runtime::EventPageUp);
    case ToolbarTop:
      return OnScrollEvent(runtime::EventScrollTop);
    case ToolbarBottom:
      return OnScrollEvent(runtime::EventScrollBottom);
    default:
      return;
  }
}

}  // namespace ledora::framework
