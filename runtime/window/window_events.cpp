// The window's life and its event queue.
#include <algorithm>

#include "runtime/window/presenter.h"
#include "runtime/window/scheduler.h"
#include "runtime/window/window.h"
#include "runtime/window/window_registry.h"

namespace ledora::runtime {

void Window::Open() {
  if (open_) return;
  open_ = true;
  thread_ = CurrentThread();
  queue_.clear();
  consumed_ = false;
  pendingDefault_ = false;
  acceptAll_ = false;
  hadFocus_ = false;
  WindowRegistry::Instance().Opened(this);
  // The first sized event comes with the opening, as the frame expects.
  Post(EventOpenWindow);
  Post(EventSized);
  CurrentPresenter().WindowOpened(*this);
  Display();
  WindowRegistry::Instance().SetActive(this);
}

void Window::Close() {
  if (!open_) return;
  open_ = false;
  acceptAll_ = false;
  queue_.clear();
  CurrentPresenter().WindowClosed(*this);
  presenterData_.reset();
  WindowRegistry::Instance().Closed(this);
  // The owner may be waiting on this window; it must learn that it closed.
  if (Scheduler* scheduler = Scheduler::Current()) scheduler->Wake(thread_);
}

void Window::Activate() {
  if (!open_) return;
  WindowRegistry::Instance().SetActive(this);
  CurrentPresenter().RaiseWindow(*this);
}

void Window::DoDefault(const Event& event) {
  switch (event.number) {
    case EventCloseWindow:
    case EventCloseDown:
      Close();
      break;
    default:
      break;
  }
}

bool Window::Accept(Event* event) {
  if (pendingDefault_) {
    pendingDefault_ = false;
    if (!consumed_) DoDefault(current_);
  }
  consumed_ = false;
  Scheduler* scheduler = Scheduler::Current();
  for (;;) {
    if (!open_) return false;
    if (!queue_.empty()) {
      current_ = std::move(queue_.front());
      queue_.pop_front();
      break;
    }
    if (acceptAll_ && NextAcceptAll(&current_)) break;
    auto ready = [this] { return !open_ || !queue_.empty() || acceptAll_; };
    if (scheduler == nullptr || !scheduler->WaitUntil(ready)) return false;
  }
  current_.focus = focus_;
  if (current_.number == EventAccepted || current_.number == EventRejected) {
    current_.accepted = current_.control;
  }
  pendingDefault_ = true;
  if (event != nullptr) *event = current_;
  return true;
}

void Window::Post(int32_t event, int32_t control, int32_t keyCode) {
  Event e;
  e.number = event;
  e.control = control;
  e.keyCode = keyCode;
  Post(e);
}

void Window::Post(const Event& event) {
  if (!open_) return;
  // Pointer moves and timer ticks pile up when the procedure is slow; only
  // the latest matters.
  if ((event.number == EventMouseMove || event.number == EventTimer) && !queue_.empty() &&
      queue_.back().number == event.number && queue_.back().control == event.control) {
    queue_.back() = event;
    return;
  }
  queue_.push_back(event);
  if (Scheduler* scheduler = Scheduler::Current()) scheduler->Wake(thread_);
}

void Window::Select(int32_t control) {
  acceptAll_ = false;
  focus_ = control;
  if (open_) CurrentPresenter().FocusChanged(*this, control);
}

void Window::StartAcceptAll() {
  if (!open_) return;
  acceptAll_ = true;
  acceptAllNext_ = 0;
  if (Scheduler* scheduler = Scheduler::Current()) scheduler->Wake(thread_);
}

bool Window::NextAcceptAll(Event* event) {
  *event = Event();
  while (acceptAllNext_ < controls_.size()) {
    Control& c = *controls_[acceptAllNext_++];
    if (!c.TakesInput() || c.hidden || !c.enabled || c.readOnly) continue;
    event->control = c.number;
    if (!UpdateOne(c)) {
      // What the control shows cannot be read back: the validation stops here.
      acceptAll_ = false;
      event->number = EventRejected;
      return true;
    }
    event->number = EventAccepted;
    return true;
  }
  acceptAll_ = false;
  event->number = EventCompleted;
  return true;
}

}  // namespace ledora::runtime
