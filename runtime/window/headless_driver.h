// Drives windows as a user would, for tests: press, type, choose a row, press
// a key, scroll, close, answer the next message box, and read what a control
// shows. Every action lets the procedure threads run until all of them wait
// again, so a test reads the windows in a settled state.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "runtime/window/headless_presenter.h"
#include "runtime/window/scheduler.h"
#include "runtime/window/window.h"

namespace ledora::runtime {

class HeadlessDriver {
 public:
  HeadlessDriver(Scheduler& scheduler, HeadlessPresenter& presenter);

  // Runs the threads until each waits or ends.
  void Settle();
  // Starts a procedure on a new thread and settles; returns its number.
  int32_t Start(Procedure procedure, size_t stackSize = 0);
  // The loop of a command-line job: runs until every thread has ended, and
  // whenever all of them wait, fires the timers of the open windows (time
  // passes at once). False when the threads wait for something no timer
  // brings (a user action, an answer), or after maxTicks rounds of timers.
  bool RunToEnd(int32_t maxTicks = 1000000);

  // The active window, else the last opened one; null when none is open.
  Window* Top() const;
  Window* Titled(std::string_view title) const;

  // Actions on the Top() window, or on the given one.
  void Press(int32_t control);
  void Press(Window& window, int32_t control);
  void Type(int32_t control, std::string_view text);
  void Type(Window& window, int32_t control, std::string_view text);
  void ChooseRow(int32_t control, int32_t row);
  void DoubleClickRow(int32_t control, int32_t row);
  void ChooseTab(int32_t sheet, int32_t tab);
  void PressKey(int32_t control, int32_t keyCode);
  void Scroll(int32_t control, int32_t event, int32_t thumb = 0);
  void Wheel(int32_t control, int32_t notches);  // up is positive
  void Mouse(int32_t event, int32_t control, int32_t x, int32_t y, int32_t keyCode = KeyMouseLeft);
  void DragAndDrop(Window& source, int32_t sourceControl, Window& target, int32_t targetControl,
                   int32_t x, int32_t y);
  void Focus(int32_t control);
  void Resize(int32_t width, int32_t height);
  void Tick();  // the top window's timer fires once
  void Close();
  void Close(Window& window);

  // Answers the question a thread waits on.
  void AnswerMessage(uint32_t button);
  void AnswerPopup(int32_t choice);
  void AnswerFileName(std::optional<std::string> name);
  const MessageRequest* PendingMessage() const { return presenter_.PendingMessage(); }

  // What the Top() window shows.
  std::string Shown(int32_t control) const;
  std::vector<std::string> ShownRow(int32_t control, int32_t row) const;
  int32_t RowCount(int32_t control) const;
  int32_t Selection(int32_t control) const;
  bool IsChecked(int32_t control) const;
  bool IsEnabled(int32_t control) const;
  bool IsHidden(int32_t control) const;

  HeadlessPresenter& presenter() { return presenter_; }
  Scheduler& scheduler() { return scheduler_; }

 private:
  const Control* Find(int32_t control) const;

  Scheduler& scheduler_;
  HeadlessPresenter& presenter_;
};

}  // namespace ledora::runtime
