#include "framework/procedure_frame.h"

#include <algorithm>
#include <cstring>

#include "framework/ini_store.h"
#include "framework/rejected_input.h"
#include "framework/toolbar_router.h"
#include "framework/window_placement.h"
#include "framework/window_resizer.h"
#include "framework/window_texts.h"
#include "runtime/system/message_service.h"
#include "runtime/window/common_dialogs.h"
#include "runtime/window/wait_cursor.h"

namespace ledora::framework {

using data::Severity;
using data::SeverityCancelled;
using data::SeverityInform;
using data::SeverityNone;
using data::SeverityStop;

uint8_t PendingRequest = RequestNone;
uint8_t LastResponse = ResponseNone;
int32_t NavigationRequest = 0;

namespace {

constexpr size_t kPositionSize = 512;
constexpr uint32_t kYesNoCancel = runtime::ButtonYes | runtime::ButtonNo | runtime::ButtonCancel;

}  // namespace

const runtime::Event& ProcedureFrame::event() const {
  static const runtime::Event none;
  return window_ != nullptr ? window_->event() : none;
}

// ------------------------------------------------------------ registration

void ProcedureFrame::AddBrowse(FrameBrowse* browse) {
  if (!BROWSES || browse == nullptr) return;
  BROWSES->push_back({browse});
  if (REQUEST == RequestSelect) browse->SetSelecting(true);
}

void ProcedureFrame::AddButton(int32_t control, uint8_t response) {
  if (BUTTONS) BUTTONS->push_back({control, response});
}

void ProcedureFrame::AddFileDrop(FileDrop* fileDrop) {
  if (FILEDROPS && fileDrop != nullptr) FILEDROPS->push_back({fileDrop});
}

void ProcedureFrame::AddUpdateFile(data::FileManager* manager) {
  if (manager == nullptr) return;
  if (!FILES) FILES = std::make_unique<std::vector<UpdateFileEntry>>();
  FILES->push_back({manager, 0});
}

void ProcedureFrame::AddHistoryFile(const data::RecordBuffer& record, void* savedCopy) {
  if (!HISTORY) HISTORY = std::make_unique<std::vector<HistoryEntry>>();
  HistoryEntry group;
  group.FRECORD = record;
  group.SRECORD = savedCopy;
  HISTORY->push_back(group);
}

void ProcedureFrame::AddHistoryField(int32_t control, int32_t fieldNumber) {
  // Fields join the group of the history file added last.
  if (!HISTORY || HISTORY->empty()) return;
  HistoryEntry entry = HISTORY->back();
  if (entry.CONTROL != 0) {
    entry.CONTROL = control;
    entry.FIELDNO = fieldNumber;
    HISTORY->push_back(entry);
    return;
  }
  HISTORY->back().CONTROL = control;
  HISTORY->back().FIELDNO = fieldNumber;
}

void ProcedureFrame::AttachResizer(WindowResizer* resizer) { RESIZE = resizer; }

void ProcedureFrame::KeepPlacement(const IniStore* store, std::string_view section) {
  placementStore_ = store;
  placementSection_ = section;
}

void ProcedureFrame::AttachToolbar(ToolbarRouter* toolbar) {
  TOOLBAR = toolbar;
  if (TOOLBAR != nullptr) TOOLBAR->Setup(this);
}

data::Severity ProcedureFrame::OpenForm(data::RelationController* primary, int32_t okControl) {
  if (primary != nullptr) {
    if (primary->Open() != SeverityNone) return SeverityStop;
    closePrimary_ = true;
  }
  PRIMARY = primary;
  OKCONTROL = okControl;
  if (PrepareRequest() != SeverityNone) return SeverityInform;
  OpenWindow();
  return SeverityNone;
}

void ProcedureFrame::OpenWindow() {
  if (window_ == nullptr) return;
  window_->Open();
  OPENED = 1;
  RegisterAlerts();
}

// ------------------------------------------------------------------ life

uint8_t ProcedureFrame::Run() {
  if (Initialize() == SeverityNone) EventLoop();
  Shutdown();
  return RESPONSE != ResponseNone ? RESPONSE : uint8_t{ResponseCancelled};
}

data::Severity ProcedureFrame::Initialize() {
  ORIGINALREQUEST = REQUEST;
  BROWSES = std::make_unique<std::vector<BrowseEntry>>();
  BUTTONS = std::make_unique<std::vector<ButtonEntry>>();
  FILEDROPS = std::make_unique<std::vector<FileDropEntry>>();
  // A pending right-button or mouse key code belongs to the window that
  // called us; events carry their own key codes here, so nothing is pending.
  INSERTACTION = InsertCloses;
  DELETEACTION = DeleteConfirmed;
  CHANGEACTION = 1;
  CANCELACTION = CancelSaves | CancelAsks;
  AUTOTOOLBAR = 1;
  AUTOREFRESH = 1;
  return SeverityNone;
}

data::Severity ProcedureFrame::Shutdown() {
  if (DEAD || !BROWSES) return SeverityInform;
  for (BrowseEntry& entry : *BROWSES) entry.BROWSE->Shutdown();
  BROWSES.reset();
  if (FILEDROPS) {
    for (FileDropEntry& entry : *FILEDROPS) entry.FILEDROP->Shutdown();
    FILEDROPS.reset();
  }
  BUTTONS.reset();
  HISTORY.reset();
  if (FILES) {
    for (UpdateFileEntry& entry : *FILES) entry.MANAGER->RestoreRecord(entry.SAVED, false);
    FILES.reset();
  }
  if (data::FileManager* file = PrimaryFile()) file->RestoreRecord(SAVED, false);
  if (TOOLBAR != nullptr) TOOLBAR->Shutdown();
  if (RESIZE != nullptr) RESIZE->Shutdown();
  if (closePrimary_ && PRIMARY != nullptr) PRIMARY->Close();
  closePrimary_ = false;
  if (placementStore_ != nullptr && window_ != nullptr && OPENED) {
    placementStore_->StoreWindowPlacement(placementSection_, WindowPlacement(*window_));
  }
  DEAD = 1;
  return SeverityNone;
}

data::Severity ProcedureFrame::PrepareRequest() {
  Severity result = SeverityNone;
  data::FileManager* primary = PrimaryFile();
  if (primary != nullptr) {
    primary->MakeUsable();
    PRIMARY->RememberLinkingValues();
  }
  if (FILES) {
    for (UpdateFileEntry& entry : *FILES) entry.SAVED = entry.MANAGER->SaveRecord();
  }
  if (REQUEST == RequestInsert && INSERTACTION != 0) {
    RESPONSE = ResponseCompleted;
    PrimeNewRecord();
    if (RESPONSE == ResponseCancelled) {
      result = SeverityStop;
    } else {
      RESPONSE = ResponseCancelled;
    }
  } else if (REQUEST == RequestDelete &&
             (DELETEACTION == DeleteConfirmed || DELETEACTION == DeleteWithoutForm)) {
    Severity deleted = SeverityInform;
    if (PRIMARY != nullptr) deleted = PRIMARY->Delete(DELETEACTION == DeleteConfirmed);
    RESPONSE = deleted == SeverityNone ? ResponseCompleted : ResponseCancelled;
    result = SeverityStop;
  }
  if (primary != nullptr) SAVED = primary->SaveRecord();
  return result;
}

void ProcedureFrame::EventLoop() {
  if (DEAD || window_ == nullptr) return;
  LASTINSERTEDPOSITION.clear();
  runtime::Event e;
  while (window_->Accept(&e)) {
    Severity result = HandleEvent();
    if (result == SeverityStop) break;
    if (result == SeverityInform) window_->ConsumeEvent();
  }
}

// ---------------------------------------------------------------- events

data::Severity ProcedureFrame::HandleEvent() {
  const runtime::Event& e = event();
  Severity result = SeverityNone;
  if (e.control == 0) {
    result = OnWindowEvent();
    if (result != SeverityNone) return result;
  }
  switch (e.number) {
    case runtime::EventAccepted:
      if (window_ != nullptr) ClearRejectedInput(*window_, &rejectionTold_);
      result = OnAccepted();
      break;
    case runtime::EventRejected:
      result = OnRejected();
      break;
    case runtime::EventSelected:
      result = OnSelected();
      break;
    case runtime::EventNewSelection:
      result = OnNewSelection();
      break;
    case runtime::EventAlertKey:
      if (HISTORYKEY != 0 && e.keyCode == HISTORYKEY) {
        RecallField(e.focus != 0 ? e.focus : e.control);
      }
      break;
    default:
      break;
  }
  if (result != SeverityNone) return result;
  if (e.control != 0) result = OnFieldEvent();
  if (BROWSES) {
    for (BrowseEntry& entry : *BROWSES) entry.BROWSE->HandleEvent();
  }
  if (FILEDROPS) {
    for (FileDropEntry& entry : *FILEDROPS) entry.FILEDROP->HandleEvent();
  }
  if (AUTOREFRESH && BROWSES) {
    for (BrowseEntry& entry : *BROWSES) {
      if (entry.BROWSE->NeedsRefresh()) Refresh(0);
    }
  }
  return result;
}

data::Severity ProcedureFrame::OnWindowEvent() {
  switch (event().number) {
    case runtime::EventOpenWindow:
      // Restored once the resizer knows the designed size, which stays the
      // smallest; the window is not yet drawn.
      if (placementStore_ != nullptr && window_ != nullptr) {
        WindowPlacement placement(*window_);
        placementStore_->RestoreWindowPlacement(placementSection_, placement);
      }
      if (!(INITED & InitedWindowPrepared)) PrepareWindow();
      if (FIRSTFIELD != 0 && window_ != nullptr) window_->Select(FIRSTFIELD);
      return SeverityNone;
    case runtime::EventLoseFocus:
      if (RESETONGAINFOCUS) FORCEDRESET = 1;
      return SeverityNone;
    case runtime::EventGainFocus:
      if (INITED & InitedWindowPrepared) {
        Refresh(0);
      } else {
        PrepareWindow();
      }
      return SeverityNone;
    case runtime::EventSized:
      if (RESIZE != nullptr) RESIZE->OnSized();
      if (INITED & InitedFirstSize) {
        Refresh(0);
      } else {
        INITED |= InitedFirstSize;
      }
      return SeverityNone;
    case runtime::EventCompleted:
      return OnCompleted();
    case runtime::EventCloseWindow:
    case runtime::EventCloseDown:
      return OnCloseRequest();
    default:
      return SeverityNone;
  }
}

void ProcedureFrame::PrepareWindow() {
  if (TRANSLATOR != nullptr && window_ != nullptr) {
    WindowTexts texts(*window_);
    TRANSLATOR->TranslateWindow(texts);
  }
  Refresh(0);
  INITED |= InitedWindowPrepared;
}

void ProcedureFrame::Refresh(uint8_t force) {
  if (window_ != nullptr && window_->IsAcceptingAll()) return;
  force = static_cast<uint8_t>(force + FORCEDRESET);
  FORCEDRESET = 0;
  if (BROWSES) {
    for (BrowseEntry& entry : *BROWSES) entry.BROWSE->ApplySortOrder(force);
    for (BrowseEntry& entry : *BROWSES) entry.BROWSE->RefreshDisplay();
  }
  if (FILEDROPS) {
    for (FileDropEntry& entry : *FILEDROPS) entry.FILEDROP->Refresh(force);
  }
  // The frame's toolbar shows the state of the window that was refreshed.
  if (TOOLBAR != nullptr) TOOLBAR->ShowButtons();
  if (window_ != nullptr) window_->Display();
}

data::Severity ProcedureFrame::OnAccepted() {
  const runtime::Event& e = event();
  if (TOOLBAR != nullptr) {
    TOOLBAR->OnEvent(*this, VCRREQUEST);
    if (e.accepted == ToolbarHistory) RecallField(e.focus);
  }
  if (BUTTONS) {
    for (const ButtonEntry& button : *BUTTONS) {
      if (button.CONTROL != e.accepted) continue;
      // A button that answers "completed" chose what happens to the
      // changes; Cancel asks about them as Escape and the close box do.
      closingByButton_ = button.ACTION != ResponseCancelled;
      SetResponseAndClose(button.ACTION);
      return SeverityInform;
    }
  }
  if (OKCONTROL != 0 && e.accepted == OKCONTROL) {
    if (ORIGINALREQUEST == RequestInsert || ORIGINALREQUEST == RequestChange) {
      window_->StartAcceptAll();
    } else {
      PostToWindow(runtime::EventCompleted);
    }
  }
  return SeverityNone;
}

void ProcedureFrame::SetResponseAndClose(uint8_t response) {
  RESPONSE = response;
  PostToWindow(runtime::EventCloseWindow);
  if (response == ResponseCancelled && TOOLBAR != nullptr && VCRREQUEST != nullptr) {
    *VCRREQUEST = 0;
  }
}

data::Severity ProcedureFrame::OnRejected() {
  int32_t control = event().control;
  runtime::Beep();
  // What was typed stays, with a word on what is wrong with it, so the user
  // corrects it instead of finding the old value silently put back.
  if (window_ != nullptr) {
    rejectionTold_ = TellRejectedInput(*window_, control);
    window_->Select(control);
  }
  return SeverityNone;
}

data::Severity ProcedureFrame::OnNewSelection() {
  const runtime::Control* c = window_ != nullptr ? window_->Find(event().control) : nullptr;
  if (c == nullptr || c->type != runtime::ControlSheet) return SeverityNone;
  Refresh(0);
  if (AUTOTOOLBAR && TOOLBAR != nullptr) TOOLBAR->SelectTarget(0);
  return SeverityNone;
}

void ProcedureFrame::RegisterAlerts() {
  if (BROWSES) {
    for (BrowseEntry& entry : *BROWSES) entry.BROWSE->RegisterAlerts();
  }
  if (!HISTORY || HISTORYKEY == 0 || window_ == nullptr) return;
  for (const HistoryEntry& entry : *HISTORY) {
    if (entry.CONTROL != 0) window_->AddAlert(entry.CONTROL, HISTORYKEY, 255);
  }
}

void ProcedureFrame::SyncBrowses() {
  if (!BROWSES) return;
  for (BrowseEntry& entry : *BROWSES) entry.BROWSE->RereadSelectedRow();
}

uint8_t ProcedureFrame::CallUpdateProcedure(uint16_t procedure, uint8_t request) {
  return ResponseCancelled;
}

// --------------------------------------------------------------- history

void ProcedureFrame::SaveHistory() {
  if (!HISTORY) return;
  const void* done = nullptr;
  for (const HistoryEntry& entry : *HISTORY) {
    // Entries of one record follow each other; copy each record once.
    if (entry.FRECORD.address == done || entry.SRECORD == nullptr) continue;
    std::memcpy(entry.SRECORD, entry.FRECORD.address, entry.FRECORD.size);
    done = entry.FRECORD.address;
  }
}

void ProcedureFrame::RecallField(int32_t control) {
  if (!HISTORY || control == 0) return;
  for (const HistoryEntry& entry : *HISTORY) {
    if (entry.CONTROL != control) continue;
    const runtime::RecordLayout* layout = entry.FRECORD.layout;
    int index = entry.FIELDNO - 1;
    if (layout == nullptr || entry.SRECORD == nullptr || index < 0 ||
        index >= static_cast<int>(layout->fields().size())) {
      return;
    }
    runtime::Assign(layout->Bind(entry.FRECORD.address, index), layout->Bind(entry.SRECORD, index));
    if (window_ != nullptr) window_->Display(control);
    return;
  }
}

// ------------------------------------------------------------ completion

data::Severity ProcedureFrame::OnCompleted() {
  SaveHistory();
  switch (REQUEST) {
    case RequestInsert:
      return CompleteInsert();
    case RequestChange:
      return CompleteChange();
    case RequestDelete:
      return CompleteDelete();
    default:
      return SeverityNone;
  }
}

data::Severity ProcedureFrame::CompleteInsert() {
  data::FileManager* primary = PrimaryFile();
  if (primary == nullptr) return SeverityNone;
  // Through the controller, so what follows the record is stored with it.
  if (PRIMARY->Insert() != SeverityNone) {
    SelectFirstField();
    return SeverityInform;
  }
  switch (INSERTACTION) {
    case InsertCloses:
      SetResponseAndClose(ResponseCompleted);
      return SeverityNone;
    case InsertAsks:
      if (ThrowMessage(data::MsgRecordAdded) == SeverityCancelled) {
        SetResponseAndClose(ResponseCompleted);
        return SeverityNone;
      }
      return InsertNextInBatch();
    case InsertBatch:
      return InsertNextInBatch();
    default:
      return SeverityNone;
  }
}

data::Severity ProcedureFrame::InsertNextInBatch() {
  data::FileManager* primary = PrimaryFile();
  LASTINSERTEDPOSITION = primary->Position().substr(0, kPositionSize);
  if (FILES) {
    for (UpdateFileEntry& entry : *FILES) {
      entry.MANAGER->RestoreRecord(entry.SAVED, true);
      entry.SAVED = entry.MANAGER->SaveRecord();
    }
  }
  primary->RestoreRecord(SAVED, true);
  if (primary->PrimeRecord() != SeverityNone) {
    PostToWindow(runtime::EventCloseWindow);
  } else {
    PrimeNewRecord();
    RESPONSE = ResponseCancelled;
  }
  SAVED = primary->SaveRecord();
  if (window_ != nullptr) window_->Display();
  SelectFirstField();
  return SeverityInform;
}

data::Severity ProcedureFrame::CompleteChange() {
  for (;;) {
    RESPONSE = ResponseCancelled;
    bool written = false;
    Severity result = SeverityNone;
    {
      runtime::WaitCursor wait(window_);
      if (!PrimaryUnchanged()) {
        result = PRIMARY->Update(HISTORYKEY != 0);
        written = true;
      }
    }
    if (result == data::SeverityQuestion) {
      if (AskToRetry(data::MsgUpdateErrorRetry)) continue;
      return SeverityNone;
    }
    if (result != SeverityNone) {
      if (window_ != nullptr) window_->Display();
      SelectFirstField();
      return SeverityNone;
    }
    if (written) {
      RESPONSE = ResponseCompleted;
    } else if (TOOLBAR != nullptr && (VCRREQUEST == nullptr || *VCRREQUEST == 0)) {
      RESPONSE = ResponseCompleted;
    }
    PostToWindow(runtime::EventCloseWindow);
    return SeverityNone;
  }
}

data::Severity ProcedureFrame::CompleteDelete() {
  for (;;) {
    RESPONSE = ResponseCancelled;
    Severity result = SeverityInform;
    {
      runtime::WaitCursor wait(window_);
      if (PRIMARY != nullptr) result = PRIMARY->Delete(true);
    }
    if (result == SeverityNone) {
      SetResponseAndClose(ResponseCompleted);
      return SeverityNone;
    }
    if (AskToRetry(data::MsgDeleteErrorRetry)) continue;
    return SeverityNone;
  }
}

// After a failed write: Yes tries again (true), No closes the window,
// Cancel goes back to the form.
bool ProcedureFrame::AskToRetry(data::MessageNumber message) {
  uint32_t answer = AskMessage(message, kYesNoCancel, runtime::ButtonCancel);
  if (answer == runtime::ButtonYes) return true;
  if (answer == runtime::ButtonNo) {
    PostToWindow(runtime::EventCloseWindow);
  } else {
    if (window_ != nullptr) window_->Display();
    SelectFirstField();
  }
  return false;
}

// ----------------------------------------------------------------- close

data::Severity ProcedureFrame::OnCloseRequest() {
  if (RESPONSE == ResponseCompleted || PRIMARY == nullptr) return SeverityNone;
  bool goOn = true;
  Severity result = SeverityNone;
  if (!closingByButton_) result = AskAboutChanges(&goOn);
  closingByButton_ = false;
  if (!goOn) return result;
  if (ORIGINALREQUEST == RequestInsert && RESPONSE == ResponseCancelled) {
    if (PRIMARY->CancelAutoInc() != SeverityNone) {
      SelectFirstField();
      return SeverityInform;
    }
  }
  if (!LASTINSERTEDPOSITION.empty()) {
    RESPONSE = ResponseCompleted;
    PrimaryFile()->Reread(LASTINSERTEDPOSITION);
  }
  return SeverityNone;
}

// The unsaved-changes rule of closing; *goOn false means the window stays.
data::Severity ProcedureFrame::AskAboutChanges(bool* goOn) {
  *goOn = true;
  if (CANCELACTION == 0 || (REQUEST != RequestInsert && REQUEST != RequestChange) ||
      !HasUnsavedChanges()) {
    return SeverityNone;
  }
  if ((CANCELACTION & CancelSaves) && (CANCELACTION & CancelAsks)) {
    uint32_t answer = AskToSave();
    if (answer == runtime::ButtonNo) {
      DiscardChanges();
      return SeverityNone;
    }
    *goOn = false;
    if (answer == runtime::ButtonYes) {
      PostToWindow(runtime::EventAccepted, OKCONTROL);
    } else {
      SelectFirstField();
    }
    return SeverityInform;
  }
  if (CANCELACTION & CancelSaves) {
    *goOn = false;
    PostToWindow(runtime::EventAccepted, OKCONTROL);
    return SeverityInform;
  }
  if (ThrowMessage(data::MsgChangesWillBeLost) == SeverityCancelled) {
    *goOn = false;
    SelectFirstField();
    return SeverityInform;
  }
  DiscardChanges();
  return SeverityNone;
}

uint32_t ProcedureFrame::AskToSave() {
  return AskMessage(data::MsgSaveRecord, kYesNoCancel, runtime::ButtonCancel);
}

// --------------------------------------------------------------- helpers

data::Severity ProcedureFrame::ThrowMessage(data::MessageNumber number) {
  return ERRORS != nullptr ? ERRORS->Throw(number) : SeverityCancelled;
}

uint32_t ProcedureFrame::AskMessage(data::MessageNumber number, uint32_t buttons,
                                    uint32_t defaultButton) {
  return ERRORS != nullptr ? ERRORS->Ask(number, buttons, defaultButton) : defaultButton;
}

void ProcedureFrame::SelectFirstField() {
  if (window_ != nullptr && FIRSTFIELD != 0) window_->Select(FIRSTFIELD);
}

void ProcedureFrame::PostToWindow(int32_t event, int32_t control) {
  if (window_ != nullptr) window_->Post(event, control);
}

bool ProcedureFrame::PrimaryUnchanged() {
  data::FileManager* primary = PrimaryFile();
  return primary == nullptr || primary->RecordUnchanged(SAVED);
}

data::FileManager* ProcedureFrame::PrimaryFile() const {
  return PRIMARY != nullptr ? PRIMARY->ME : nullptr;
}

}  // namespace ledora::framework
