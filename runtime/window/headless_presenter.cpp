#include "runtime/window/headless_presenter.h"

#include "runtime/window/scheduler.h"
#include "runtime/window/window.h"

namespace ledora::runtime {

HeadlessPresenter::HeadlessPresenter() {
  SetPresenter(this);
  SetMessageService(this);
}

HeadlessPresenter::~HeadlessPresenter() {
  if (&CurrentPresenter() == this) SetPresenter(nullptr);
  if (&Messages() == this) SetMessageService(nullptr);
}

void HeadlessPresenter::RaiseWindow(Window& window) { window.UserActivated(true); }

bool HeadlessPresenter::WaitForAnswer(PendingKind kind) {
  Scheduler* scheduler = Scheduler::Current();
  // One question at a time: a second thread asking meanwhile is not expected.
  if (scheduler == nullptr || !scheduler->InThread() || pending_ != PendingNone) return false;
  pending_ = kind;
  pendingThread_ = scheduler->CurrentThread();
  answered_ = false;
  bool waited = scheduler->WaitUntil([this] { return answered_; });
  pending_ = PendingNone;
  return waited && answered_;
}

const MessageRequest* HeadlessPresenter::PendingMessage() const {
  return pending_ == PendingMessageBox ? &pendingMessage_ : nullptr;
}

uint32_t HeadlessPresenter::Show(const MessageRequest& request) {
  messages_.push_back(request);
  if (!scriptedMessages_.empty()) {
    uint32_t button = scriptedMessages_.front();
    scriptedMessages_.pop_front();
    return button;
  }
  MessageRequest copy = request;
  if (pending_ == PendingNone) pendingMessage_ = copy;
  if (WaitForAnswer(PendingMessageBox)) return answerButton_;
  ++unexpected_;
  return copy.defaultButton;
}

void HeadlessPresenter::AnswerMessage(uint32_t button) {
  if (pending_ != PendingMessageBox) return;
  answerButton_ = button;
  answered_ = true;
  if (Scheduler* scheduler = Scheduler::Current()) scheduler->Wake(pendingThread_);
}

int32_t HeadlessPresenter::Popup(Window* owner, std::string_view menu) {
  popups_.emplace_back(menu);
  if (!scriptedPopups_.empty()) {
    int32_t choice = scriptedPopups_.front();
    scriptedPopups_.pop_front();
    return choice;
  }
  if (WaitForAnswer(PendingPopup)) return answerChoice_;
  ++unexpected_;
  return 0;
}

void HeadlessPresenter::AnswerPopup(int32_t choice) {
  if (pending_ != PendingPopup) return;
  answerChoice_ = choice;
  answered_ = true;
  if (Scheduler* scheduler = Scheduler::Current()) scheduler->Wake(pendingThread_);
}

bool HeadlessPresenter::AskFileName(FileDialogRequest* request) {
  std::optional<std::string> name;
  if (!scriptedFiles_.empty()) {
    name = scriptedFiles_.front();
    scriptedFiles_.pop_front();
  } else if (WaitForAnswer(PendingFile)) {
    name = answerFile_;
  } else {
    ++unexpected_;
  }
  if (!name.has_value()) return false;
  request->fileName = *name;
  return true;
}

void HeadlessPresenter::AnswerFileName(std::optional<std::string> name) {
  if (pending_ != PendingFile) return;
  answerFile_ = std::move(name);
  answered_ = true;
  if (Scheduler* scheduler = Scheduler::Current()) scheduler->Wake(pendingThread_);
}

bool HeadlessPresenter::AskColour(int32_t* colour, std::string_view title) {
  dialogTitles_.emplace_back(title);
  if (scriptedColours_.empty()) {
    ++unexpected_;
    return false;
  }
  std::optional<int32_t> answer = scriptedColours_.front();
  scriptedColours_.pop_front();
  if (answer.has_value()) *colour = *answer;
  return answer.has_value();
}

bool HeadlessPresenter::AskFont(Font* font, std::string_view title) {
  dialogTitles_.emplace_back(title);
  if (scriptedFonts_.empty()) {
    ++unexpected_;
    return false;
  }
  std::optional<Font> answer = scriptedFonts_.front();
  scriptedFonts_.pop_front();
  if (answer.has_value()) *font = *answer;
  return answer.has_value();
}

bool HeadlessPresenter::AskPrinterSetup() {
  if (scriptedPrinter_.empty()) {
    ++unexpected_;
    return false;
  }
  auto [ok, printer] = scriptedPrinter_.front();
  scriptedPrinter_.pop_front();
  if (ok && !printer.empty()) printerName_ = printer;
  return ok;
}

}  // namespace ledora::runtime
