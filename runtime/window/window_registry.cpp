#include "runtime/window/window_registry.h"

#include <algorithm>

#include "runtime/window/scheduler.h"
#include "runtime/window/window.h"

namespace ledora::runtime {

WindowRegistry& WindowRegistry::Instance() {
  static WindowRegistry registry;
  return registry;
}

void WindowRegistry::Opened(Window* window) {
  if (!IsOpen(window)) {
    windows_.push_back(window);
    openers_[window] = active_ != window ? active_ : nullptr;
  }
  Scheduler* scheduler = Scheduler::Current();
  if (scheduler != nullptr && scheduler->id() != listening_) {
    listening_ = scheduler->id();
    scheduler->AddEndListener([this](int32_t thread) { CloseWindowsOf(thread); });
  }
}

void WindowRegistry::CloseWindowsOf(int32_t thread) {
  for (Window* window : std::vector<Window*>(windows_)) {
    if (window->thread() == thread && IsOpen(window)) window->Close();
  }
}

void WindowRegistry::Closed(Window* window) {
  Window* opener = OpenerOf(window);
  std::erase(windows_, window);
  // Windows it opened go back to the window that opened it.
  for (auto& [opened, by] : openers_) {
    if (by == window) by = opener;
  }
  openers_.erase(window);
  if (active_ != window) return;
  active_ = nullptr;
  // The focus goes back to the window it came from, else to the window
  // opened last; never to whichever list happens to be newest.
  if (opener != nullptr) {
    SetActive(opener);
  } else if (!windows_.empty()) {
    SetActive(windows_.back());
  }
}

Window* WindowRegistry::OpenerOf(const Window* window) const {
  auto found = openers_.find(window);
  return found != openers_.end() && IsOpen(found->second) ? found->second : nullptr;
}

Window* WindowRegistry::TopWindowOf(int32_t thread) const {
  for (auto it = windows_.rbegin(); it != windows_.rend(); ++it) {
    if ((*it)->thread() == thread) return *it;
  }
  return nullptr;
}

Window* WindowRegistry::Frame() const {
  for (Window* window : windows_) {
    if (window->isFrame()) return window;
  }
  return nullptr;
}

void WindowRegistry::SetActive(Window* window) {
  if (window == active_) return;
  if (window != nullptr && !IsOpen(window)) return;
  Window* previous = active_;
  active_ = window;
  if (previous != nullptr) {
    Event lost;
    lost.number = EventLoseFocus;
    lost.value = previous->HadFocus() ? 1 : 0;
    previous->Post(lost);
  }
  if (window != nullptr) window->Post(EventGainFocus);
}

Window* WindowRegistry::FindByTitle(std::string_view title) const {
  for (Window* window : windows_) {
    if (window->title() == title) return window;
  }
  return nullptr;
}

bool WindowRegistry::IsOpen(const Window* window) const {
  return std::find(windows_.begin(), windows_.end(), window) != windows_.end();
}

bool WindowRegistry::Post(int32_t event, int32_t control, int32_t thread) {
  Window* window = TopWindowOf(thread);
  if (window == nullptr) return false;
  window->Post(event, control);
  return true;
}

void WindowRegistry::ToolbarPressed(int32_t control) {
  Window* target = active_;
  if (target == nullptr || !target->isMdiChild()) {
    // A child keeps the toolbar while a dialog of its own is up.
    target = nullptr;
    for (auto it = windows_.rbegin(); it != windows_.rend(); ++it) {
      if ((*it)->isMdiChild()) {
        target = *it;
        break;
      }
    }
  }
  if (target == nullptr) target = Frame();
  if (target != nullptr) target->Post(EventAccepted, control);
}

bool Post(int32_t event, int32_t control, int32_t thread) {
  return WindowRegistry::Instance().Post(event, control, thread);
}

}  // namespace ledora::runtime
