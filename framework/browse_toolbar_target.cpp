#include "framework/browse_toolbar_target.h"

#include <string>
#include <string_view>

#include "data/error_severity.h"
#include "framework/constant_table.h"
#include "framework/procedure_frame.h"
#include "framework/toolbar_router.h"
#include "runtime/window/window.h"

namespace ledora::framework {

namespace {

// Count byte, then per record a little-endian button number and a
// length-prefixed tooltip. 2008 is listed twice, with the same text.
constexpr std::string_view kTooltips(
    "\x08"
    "\xD0\x07\x13"
    "Insert a new Record"
    "\xD4\x07\x13"
    "Go to the Last Page"
    "\xD5\x07\x14"
    "Go to the First Page"
    "\xD6\x07\x13"
    "Go to the Next Page"
    "\xD7\x07\x14"
    "Go to the Prior Page"
    "\xD8\x07\x15"
    "Go to the Next Record"
    "\xD8\x07\x15"
    "Go to the Next Record"
    "\xD9\x07\x16"
    "Go to the Prior Record",
    186);

// The list events the navigation buttons stand for.
int32_t ListEventOf(int32_t control) {
  switch (control) {
    case ToolbarBottom:
      return runtime::EventScrollBottom;
    case ToolbarTop:
      return runtime::EventScrollTop;
    case ToolbarPageDown:
      return runtime::EventPageDown;
    case ToolbarPageUp:
      return runtime::EventPageUp;
    case ToolbarDown:
      return runtime::EventScrollDown;
    case ToolbarUp:
      return runtime::EventScrollUp;
    case ToolbarLocate:
      return runtime::EventLocate;
    default:
      return runtime::EventNone;
  }
}

}  // namespace

void BrowseToolbarTarget::Setup(runtime::Window* window, FrameBrowse* browse, int32_t listControl) {
  window_ = window;
  BROWSE = browse;
  CONTROL = listControl;
}

bool BrowseToolbarTarget::Usable(int32_t button) const {
  if (button == 0 || window_ == nullptr) return false;
  const runtime::Control* c = window_->Find(button);
  return c != nullptr && c->enabled;
}

void BrowseToolbarTarget::PostTo(int32_t event, int32_t control) {
  if (window_ != nullptr && control != 0) window_->Post(event, control);
}

void BrowseToolbarTarget::TakeToolbar() {
  if (window_ != nullptr) {
    uint16_t control = 0;
    std::string tip;
    ConstantTable table;
    table.Initialize(TerminateAfterCountByte);
    table.AddItem(ItemUShort, runtime::FieldRef::Of(control));
    table.AddItem(ItemPString, runtime::FieldRef::Of(tip));
    table.SetSource(kTooltips);
    while (table.Next() == data::SeverityNone) window_->SetTip(control, tip);
    table.Shutdown();
  }
  ShowButtons();
}

void BrowseToolbarTarget::ShowButtons() {
  if (window_ == nullptr) return;
  window_->SetEnabled(ToolbarHistory, false);
  for (int32_t control = ToolbarBottom; control <= ToolbarLocate; ++control) {
    window_->SetEnabled(control, true);
  }
  window_->SetEnabled(ToolbarSelect, Usable(SELECTBUTTON));
  window_->SetEnabled(ToolbarDelete, Usable(DELETEBUTTON));
  window_->SetEnabled(ToolbarChange, Usable(CHANGEBUTTON));
  window_->SetEnabled(ToolbarInsert, Usable(INSERTBUTTON));
  window_->SetEnabled(ToolbarHelp, Usable(HELPBUTTON));
}

bool BrowseToolbarTarget::TryToolbarButton() {
  if (window_ == nullptr || CONTROL == 0) return false;
  const runtime::Control* list = window_->Find(CONTROL);
  if (list == nullptr || list->hidden) return false;
  // A list on a tab shows only while its tab is the sheet's selected one.
  const runtime::Control* tab = window_->Find(list->parent);
  if (tab == nullptr || tab->type != runtime::ControlTab) return true;
  const runtime::Control* sheet = window_->Find(tab->parent);
  if (sheet == nullptr) return true;
  int32_t index = 0;
  for (const auto& c : window_->controls()) {
    if (c->type != runtime::ControlTab || c->parent != sheet->number) continue;
    ++index;
    if (c->number == tab->number) return sheet->selection == index;
  }
  return true;
}

uint8_t BrowseToolbarTarget::OnEvent(ProcedureFrame& frame) {
  const runtime::Event& e = frame.event();
  if (e.number == runtime::EventAccepted && IsToolbarButton(e.accepted)) {
    OnToolbarButton(frame, e.accepted);
  }
  return data::SeverityNone;
}

void BrowseToolbarTarget::OnToolbarButton(ProcedureFrame& frame, int32_t control) {
  switch (control) {
    case ToolbarInsert:
      PostTo(runtime::EventAccepted, INSERTBUTTON);
      return;
    case ToolbarChange:
      PostTo(runtime::EventAccepted, CHANGEBUTTON);
      return;
    case ToolbarDelete:
      PostTo(runtime::EventAccepted, DELETEBUTTON);
      return;
    case ToolbarSelect:
      frame.SyncBrowses();
      frame.RESPONSE = ResponseCompleted;
      if (window_ != nullptr) window_->Post(runtime::EventCloseWindow);
      return;
    case ToolbarHistory:
      return;
    case ToolbarHelp:
      if (window_ != nullptr) window_->UserKey(window_->FocusedControl(), runtime::KeyF1);
      return;
    default:
      PostTo(ListEventOf(control), CONTROL);
      return;
  }
}

}  // namespace ledora::framework
