#include "framework/toolbar_router.h"

#include "data/error_severity.h"
#include "framework/procedure_frame.h"
#include "runtime/window/window.h"

namespace ledora::framework {

namespace {

struct ButtonLook {
  int32_t number;
  const char* text;
  const char* icon;
};

constexpr ButtonLook kButtons[] = {
    {ToolbarInsert, "Insert", "insert.ico"},   {ToolbarChange, "Change", "edit.ico"},
    {ToolbarDelete, "Delete", "delete.ico"},   {ToolbarSelect, "Select", "mark.ico"},
    {ToolbarBottom, "Last", "vcrlast.ico"},    {ToolbarTop, "First", "vcrfirst.ico"},
    {ToolbarPageDown, "Page+", "vcrnext.ico"}, {ToolbarPageUp, "Page-", "vcrprior.ico"},
    {ToolbarDown, "Next", "vcrdown.ico"},      {ToolbarUp, "Prior", "vcrup.ico"},
    {ToolbarLocate, "Locate", "find.ico"},     {ToolbarHistory, "Ditto", "dittoe.ico"},
    {ToolbarHelp, "Help", "help.ico"},
};

// The buttons an update form can be navigated with; each saves the form.
bool IsNavigation(int32_t control) {
  return control == ToolbarInsert || (control >= ToolbarBottom && control <= ToolbarUp);
}

}  // namespace

void ToolbarRouter::CreateButtons(runtime::Window& frame) {
  for (const ButtonLook& look : kButtons) {
    if (frame.CreateControl(look.number, runtime::ControlButton) == 0) continue;
    frame.SetText(look.number, look.text);
    frame.SetIcon(look.number, look.icon);
    frame.SetOnToolbar(look.number, true);
    // Nobody owns the toolbar until a browse takes it.
    frame.SetEnabled(look.number, false);
  }
}

void ToolbarRouter::Setup(ProcedureFrame* frame) {
  frame_ = frame;
  current_ = nullptr;
  LIST = std::make_unique<std::vector<TargetEntry>>();
}

void ToolbarRouter::RegisterTarget(ToolbarTarget* target, int32_t id) {
  if (!LIST) LIST = std::make_unique<std::vector<TargetEntry>>();
  if (target != nullptr) LIST->push_back({id, target});
}

void ToolbarRouter::SelectTarget(int32_t id) {
  if (!LIST) return;
  ToolbarTarget* chosen = nullptr;
  for (const TargetEntry& entry : *LIST) {
    if (id == 0 ? entry.ITEM->TryToolbarButton() : entry.ID == id) chosen = entry.ITEM;
  }
  if (chosen != nullptr) Take(chosen);
}

void ToolbarRouter::Take(ToolbarTarget* target) {
  current_ = target;
  current_->TakeToolbar();
}

void ToolbarRouter::ShowButtons() {
  // The first display after the browses registered decides the owner.
  if (current_ == nullptr) SelectTarget(0);
  if (current_ != nullptr) {
    current_->ShowButtons();
    return;
  }
  // An update form: the navigation buttons save it and move on.
  runtime::Window* window = frame_ != nullptr ? frame_->window() : nullptr;
  if (window == nullptr) return;
  bool form = frame_->OKCONTROL != 0;
  for (int32_t control = ToolbarInsert; control <= ToolbarLocate; ++control) {
    window->SetEnabled(control, form && IsNavigation(control));
  }
  window->SetEnabled(ToolbarHistory, frame_->HISTORYKEY != 0 && frame_->HISTORY != nullptr);
  window->SetEnabled(ToolbarHelp, false);
}

void ToolbarRouter::Shutdown() {
  LIST.reset();
  current_ = nullptr;
}

uint8_t ToolbarRouter::OnEvent(ProcedureFrame& frame, int32_t* vcrRequest) {
  const runtime::Event& e = frame.event();
  if (e.number != runtime::EventAccepted || !IsToolbarButton(e.accepted)) {
    return data::SeverityNone;
  }
  if (current_ != nullptr) return current_->OnEvent(frame);
  runtime::Window* window = frame.window();
  if (e.accepted == ToolbarHelp && window != nullptr) {
    window->UserKey(e.focus, runtime::KeyF1);
  } else if (IsNavigation(e.accepted) && frame.OKCONTROL != 0 && window != nullptr) {
    if (vcrRequest != nullptr) *vcrRequest = e.accepted;
    window->Post(runtime::EventAccepted, frame.OKCONTROL);
  }
  return data::SeverityNone;
}

}  // namespace ledora::framework
