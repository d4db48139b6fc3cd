#include "runtime/window/headless_driver.h"

#include "runtime/window/window_registry.h"

namespace ledora::runtime {

HeadlessDriver::HeadlessDriver(Scheduler& scheduler, HeadlessPresenter& presenter)
    : scheduler_(scheduler), presenter_(presenter) {}

void HeadlessDriver::Settle() { scheduler_.RunReady(); }

int32_t HeadlessDriver::Start(Procedure procedure, size_t stackSize) {
  int32_t thread = scheduler_.Start(std::move(procedure), stackSize);
  Settle();
  return thread;
}

bool HeadlessDriver::RunToEnd(int32_t maxTicks) {
  for (int32_t tick = 0; tick <= maxTicks; ++tick) {
    Settle();
    if (!scheduler_.HasThreads()) return true;
    if (presenter_.HasPendingQuestion()) return false;
    bool fired = false;
    for (Window* window : std::vector<Window*>(WindowRegistry::Instance().windows())) {
      if (window->timer() > 0) {
        window->UserTimer();
        fired = true;
      }
    }
    if (!fired) return false;
  }
  return false;
}

Window* HeadlessDriver::Top() const {
  WindowRegistry& registry = WindowRegistry::Instance();
  if (registry.Active() != nullptr) return registry.Active();
  return registry.windows().empty() ? nullptr : registry.windows().back();
}

Window* HeadlessDriver::Titled(std::string_view title) const {
  return WindowRegistry::Instance().FindByTitle(title);
}

void HeadlessDriver::Press(int32_t control) {
  if (Window* window = Top()) Press(*window, control);
}

void HeadlessDriver::Press(Window& window, int32_t control) {
  window.UserPressed(control);
  Settle();
}

void HeadlessDriver::Type(int32_t control, std::string_view text) {
  if (Window* window = Top()) Type(*window, control, text);
}

void HeadlessDriver::Type(Window& window, int32_t control, std::string_view text) {
  window.UserFocus(control);
  window.UserTyped(control, text);
  Settle();
}

void HeadlessDriver::ChooseRow(int32_t control, int32_t row) {
  if (Window* window = Top()) window->UserChoseRow(control, row, KeyMouseLeft);
  Settle();
}

void HeadlessDriver::DoubleClickRow(int32_t control, int32_t row) {
  if (Window* window = Top()) {
    window->UserChoseRow(control, row, KeyMouseLeft);
    Settle();
    window->UserChoseRow(control, row, KeyMouseLeftDouble);
  }
  Settle();
}

void HeadlessDriver::ChooseTab(int32_t sheet, int32_t tab) { ChooseRow(sheet, tab); }

void HeadlessDriver::PressKey(int32_t control, int32_t keyCode) {
  if (Window* window = Top()) window->UserKey(control, keyCode);
  Settle();
}

void HeadlessDriver::Scroll(int32_t control, int32_t event, int32_t thumb) {
  if (Window* window = Top()) window->UserScroll(control, event, thumb);
  Settle();
}

void HeadlessDriver::Wheel(int32_t control, int32_t notches) {
  if (Window* window = Top()) window->UserWheel(control, notches);
  Settle();
}

void HeadlessDriver::Mouse(int32_t event, int32_t control, int32_t x, int32_t y, int32_t keyCode) {
  if (Window* window = Top()) window->UserMouse(event, control, x, y, keyCode);
  Settle();
}

void HeadlessDriver::DragAndDrop(Window& source, int32_t sourceControl, Window& target,
                                 int32_t targetControl, int32_t x, int32_t y) {
  target.UserDrop(targetControl, source, sourceControl, x, y);
  Settle();
}

void HeadlessDriver::Focus(int32_t control) {
  if (Window* window = Top()) window->UserFocus(control);
  Settle();
}

void HeadlessDriver::Resize(int32_t width, int32_t height) {
  if (Window* window = Top()) window->UserResized(width, height);
  Settle();
}

void HeadlessDriver::Tick() {
  if (Window* window = Top()) window->UserTimer();
  Settle();
}

void HeadlessDriver::Close() {
  if (Window* window = Top()) Close(*window);
}

void HeadlessDriver::Close(Window& window) {
  window.UserCloseBox();
  Settle();
}

void HeadlessDriver::AnswerMessage(uint32_t button) {
  presenter_.AnswerMessage(button);
  Settle();
}

void HeadlessDriver::AnswerPopup(int32_t choice) {
  presenter_.AnswerPopup(choice);
  Settle();
}

void HeadlessDriver::AnswerFileName(std::optional<std::string> name) {
  presenter_.AnswerFileName(std::move(name));
  Settle();
}

const Control* HeadlessDriver::Find(int32_t control) const {
  Window* window = Top();
  return window != nullptr ? window->Find(control) : nullptr;
}

std::string HeadlessDriver::Shown(int32_t control) const {
  const Control* c = Find(control);
  return c != nullptr ? c->text : std::string();
}

std::vector<std::string> HeadlessDriver::ShownRow(int32_t control, int32_t row) const {
  const Control* c = Find(control);
  if (c == nullptr || row < 1 || row > static_cast<int32_t>(c->rows.size())) return {};
  return c->rows[row - 1];
}

int32_t HeadlessDriver::RowCount(int32_t control) const {
  const Control* c = Find(control);
  return c != nullptr ? static_cast<int32_t>(c->rows.size()) : 0;
}

int32_t HeadlessDriver::Selection(int32_t control) const {
  const Control* c = Find(control);
  return c != nullptr ? c->selection : 0;
}

bool HeadlessDriver::IsChecked(int32_t control) const {
  const Control* c = Find(control);
  return c != nullptr && c->checked;
}

bool HeadlessDriver::IsEnabled(int32_t control) const {
  const Control* c = Find(control);
  return c != nullptr && c->enabled;
}

bool HeadlessDriver::IsHidden(int32_t control) const {
  const Control* c = Find(control);
  return c == nullptr || c->hidden;
}

}  // namespace ledora::runtime
