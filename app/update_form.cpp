#include "app/update_form.h"

#include <algorithm>

#include "app/invoicing_dictionary.h"
#include "app/program.h"
#include "data/message_numbers.h"

namespace ledora::app {

namespace {

constexpr int32_t kPromptX = 12;
constexpr int32_t kEntryX = 70;
constexpr int32_t kFirstRowY = 22;
constexpr int32_t kFormWidth = 260;
constexpr int32_t kButtonWidth = 45;
constexpr int32_t kButtonHeight = 14;

// Entries are as wide as their pictures show.
int32_t EntryWidth(const runtime::FieldRef& use) {
  if (use.type != runtime::FieldString) return 60;
  return std::min<int32_t>(static_cast<int32_t>(use.size) * 4 + 8, kFormWidth - kEntryX - 12);
}

}  // namespace

UpdateForm::UpdateForm(const FormDescription& description, data::RelationController* primary,
                       void* history)
    : description_(description), primary_(primary), history_(history) {
  BuildWindow();
  SetWindow(&win_);
}

void UpdateForm::BuildWindow() {
  win_.SetTitle(description_.title);
  win_.SetFont({"MS Sans Serif", 8, runtime::FontWeightNormal, runtime::kNoColour});
  win_.SetModal(true);
  win_.SetHelpTopic("forms");
  win_.SetResizable(true);
  win_.CreateControl(FormSheet, runtime::ControlSheet);
  win_.CreateControl(FormTab, runtime::ControlTab, FormSheet);
  win_.SetText(FormTab, "General");
  win_.SetSelection(FormSheet, 1);
  const data::RecordBuffer& record = primary_->ME->BUFFER;
  for (size_t i = 0; i < description_.fields.size(); ++i) {
    const FormField& field = description_.fields[i];
    int n = static_cast<int>(i);
    int32_t y = kFirstRowY + n * kFormRowHeight;
    win_.CreateControl(FormPrompt(n), runtime::ControlPrompt, FormTab);
    win_.SetText(FormPrompt(n), field.prompt);
    win_.SetRect(FormPrompt(n), {kPromptX, y, kEntryX - kPromptX - 4, 10});
    runtime::FieldRef use = record.layout->Bind(record.address, field.label);
    win_.CreateControl(FormEntry(n), runtime::ControlEntry, FormTab);
    win_.SetUse(FormEntry(n), use);
    win_.SetPicture(FormEntry(n), FieldPicture(field.label));
    win_.SetRect(FormEntry(n), {kEntryX, y, EntryWidth(use), 10});
    win_.SetTip(FormEntry(n), field.tip);
  }
  FinishLayout(BelowFields());
}

// The buttons are made anew whenever a form adds controls of its own, so
// that they stay last in the window's order, which is the order Tab follows.
void UpdateForm::MakeButtons() {
  for (int32_t button : {FormOk, FormCancel, FormHelp}) win_.DestroyControl(button);
  win_.CreateControl(FormOk, runtime::ControlButton);
  win_.SetText(FormOk, "OK");
  win_.SetIcon(FormOk, "ok.ico");
  win_.SetDefaultButton(FormOk);
  win_.CreateControl(FormCancel, runtime::ControlButton);
  win_.SetText(FormCancel, "Cancel");
  win_.SetIcon(FormCancel, "Cancel.ico");
  win_.CreateControl(FormHelp, runtime::ControlButton);
  win_.SetText(FormHelp, "Help");
  win_.SetIcon(FormHelp, "help.ico");
  if (runtime::Control* help = win_.Find(FormHelp)) {
    // The help file lives outside the program; the runtime shows it.
    help->action = runtime::ActionHelpContents;
    win_.Changed(FormHelp);
  }
}

int32_t UpdateForm::BelowFields() const {
  return kFirstRowY + static_cast<int32_t>(description_.fields.size()) * kFormRowHeight + 4;
}

void UpdateForm::FinishLayout(int32_t height) {
  win_.SetRect(FormSheet, {4, 4, kFormWidth - 8, height});
  win_.SetRect(FormTab, {4, 16, kFormWidth - 8, height - 12});
  MakeButtons();
  int32_t y = height + 10;
  int32_t x = kFormWidth - 3 * (kButtonWidth + 4);
  for (int32_t button : {FormOk, FormCancel, FormHelp}) {
    win_.SetRect(button, {x, y, kButtonWidth, kButtonHeight});
    x += kButtonWidth + 4;
  }
  win_.SetSize(kFormWidth, y + kButtonHeight + 6);
  // A real window opens at its smallest size, which is the designed one.
  win_.SetMinimumSize(kFormWidth, y + kButtonHeight + 6);
}

data::Severity UpdateForm::Initialize() {
  REQUEST = framework::PendingRequest;
  data::Severity result = ProcedureFrame::Initialize();
  if (result != data::SeverityNone) return result;
  FIRSTFIELD = FormEntry(0);
  VCRREQUEST = &framework::NavigationRequest;
  ERRORS = &GlobalErrors;
  AttachToolbar(&toolbar_);
  framework::PendingRequest = framework::RequestNone;
  framework::LastResponse = framework::ResponseNone;
  HISTORYKEY = runtime::KeyCtrlQuote;
  AddHistoryFile(primary_->ME->BUFFER, history_);
  const runtime::RecordLayout& layout = *primary_->ME->BUFFER.layout;
  for (size_t i = 0; i < description_.fields.size(); ++i) {
    int n = static_cast<int>(i);
    AddHistoryField(FormEntry(n), layout.Find(description_.fields[i].label) + 1);
  }
  AddButton(FormCancel, framework::ResponseCancelled);
  for (data::RelationController* relation : others_) {
    if (relation->Open() == data::SeverityNone) opened_.push_back(relation);
  }
  if (SetupLists() != data::SeverityNone) return data::SeverityStop;
  result = OpenForm(primary_, FormOk);
  if (result == data::SeverityNone) {
    resizer_.Setup(&win_, framework::AppStrategySpread, true, false);
    AttachResizer(&resizer_);
    KeepPlacement(&INIMgr, description_.procedure);
  }
  return result;
}

data::Severity UpdateForm::PrepareRequest() {
  if (REQUEST == framework::RequestInsert) win_.SetTitle(description_.insertTitle);
  if (REQUEST == framework::RequestChange) win_.SetTitle(description_.changeTitle);
  return ProcedureFrame::PrepareRequest();
}

// ---------------------------------------------------------------- look-ups

void UpdateForm::AddLookup(const FormLookup& lookup, int32_t nameControl,
                           const runtime::FieldRef& name, const char* picture) {
  lookups_.push_back(&lookup);
  runtime::Rect entry = win_.GetRect(lookup.entry);
  int32_t x = entry.x + entry.width + 2;
  win_.CreateControl(lookup.button, runtime::ControlButton, FormTab);
  win_.SetIcon(lookup.button, "pilned.ico");
  win_.SetRect(lookup.button, {x, entry.y - 1, 12, 12});
  win_.CreateControl(nameControl, runtime::ControlString, FormTab);
  win_.SetUse(nameControl, name);
  win_.SetPicture(nameControl, picture);
  // Inside its tab, or a resized form would carry it out of sight.
  runtime::Rect sheet = win_.GetRect(FormSheet);
  int32_t room = sheet.x + sheet.width - 6 - (x + 16);
  win_.SetRect(nameControl, {x + 16, entry.y, std::min(140, room), 10});
  lookupNames_.push_back(nameControl);
}

const FormLookup* UpdateForm::LookupOf(int32_t control, bool button) const {
  for (const FormLookup* lookup : lookups_) {
    if ((button ? lookup->button : lookup->entry) == control) return lookup;
  }
  return nullptr;
}

bool UpdateForm::FetchLookup(const FormLookup& lookup) {
  data::FileManager* file = *lookup.file;
  runtime::Assign(lookup.key, lookup.number);
  if (file->FetchQuietly(lookup.keyNumber) == data::SeverityNone) return true;
  file->ClearRecord();
  runtime::Assign(lookup.key, lookup.number);
  return false;
}

void UpdateForm::LookUp(const FormLookup& lookup) {
  bool found = FetchLookup(lookup);
  if (!found && !(lookup.required && win_.IsAcceptingAll())) {
    if (CallUpdateProcedure(lookup.procedure, framework::RequestSelect) ==
        framework::ResponseCompleted) {
      runtime::Assign(lookup.number, lookup.key);
    }
    found = FetchLookup(lookup);
  }
  LookedUp(lookup, found);
  win_.Display();
}

void UpdateForm::Choose(const FormLookup& lookup) {
  FetchLookup(lookup);
  if (CallUpdateProcedure(lookup.procedure, framework::RequestSelect) ==
      framework::ResponseCompleted) {
    runtime::Assign(lookup.number, lookup.key);
  }
  LookedUp(lookup, FetchLookup(lookup));
  win_.Display();
  win_.Select(lookup.entry);
}

void UpdateForm::PrepareWindow() {
  if (RESIZE != nullptr) {
    // The button and the name belong beside the number: they move with it,
    // never off to the far edge of a maximised form.
    for (const FormLookup* lookup : lookups_) {
      RESIZE->SetStrategy(lookup->button, framework::FixTop,
                          framework::LockWidth | framework::LockHeight);
    }
    for (int32_t name : lookupNames_) {
      RESIZE->SetStrategy(name, framework::FixTop, framework::LockHeight);
    }
  }
  for (const FormLookup* lookup : lookups_) FetchLookup(*lookup);
  ProcedureFrame::PrepareWindow();
}

void UpdateForm::RegisterAlerts() {
  ProcedureFrame::RegisterAlerts();
  for (const FormLookup* lookup : lookups_) win_.AddAlert(lookup->entry, runtime::KeyF8, 0);
}

data::Severity UpdateForm::HandleEvent() {
  const runtime::Event& e = event();
  if (e.number == runtime::EventAlertKey && e.keyCode == runtime::KeyF8) {
    if (const FormLookup* lookup = LookupOf(e.focus != 0 ? e.focus : e.control, false)) {
      Choose(*lookup);
      return data::SeverityNone;
    }
  }
  return ProcedureFrame::HandleEvent();
}

data::Severity UpdateForm::OnAccepted() {
  data::Severity result = ProcedureFrame::OnAccepted();
  if (result != data::SeverityNone) return result;
  int32_t control = event().accepted;
  if (const FormLookup* lookup = LookupOf(control, false)) LookUp(*lookup);
  if (const FormLookup* lookup = LookupOf(control, true)) Choose(*lookup);
  return result;
}

data::Severity UpdateForm::OnCompleted() {
  if (REQUEST == framework::RequestInsert || REQUEST == framework::RequestChange) {
    for (const FormLookup* lookup : lookups_) {
      if (!lookup->required || FetchLookup(*lookup)) continue;
      // "The value of Item Nr must be found in the Items file."
      if (ERRORS != nullptr) {
        for (size_t i = 0; i < description_.fields.size(); ++i) {
          if (FormEntry(static_cast<int>(i)) != lookup->entry) continue;
          std::string prompt = description_.fields[i].prompt;
          ERRORS->FIELDNAME = prompt.substr(0, prompt.find(':'));
        }
        ERRORS->MESSAGETEXT = (*lookup->file)->DisplayName();
      }
      ThrowMessage(data::MsgValueNotInFile);
      win_.Display();
      win_.Select(lookup->entry);
      return data::SeverityInform;
    }
  }
  return ProcedureFrame::OnCompleted();
}

data::Severity UpdateForm::Shutdown() {
  data::Severity result = ProcedureFrame::Shutdown();
  // Closed in the reverse order of opening, as the nesting expects.
  while (!opened_.empty()) {
    opened_.back()->Close();
    opened_.pop_back();
  }
  return result;
}

}  // namespace ledora::app
