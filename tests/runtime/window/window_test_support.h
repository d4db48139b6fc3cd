// A window procedure for tests: opens its window on a thread, records every
// event it takes and lets the test react to them.
#pragma once

#include <climits>
#include <functional>
#include <vector>

#include "runtime/window/headless_driver.h"
#include "runtime/window/headless_presenter.h"
#include "runtime/window/scheduler.h"
#include "runtime/window/window.h"

namespace ledora::runtime {

struct RecordingProcedure {
  Window window;
  std::vector<Event> events;
  std::function<void(Window&, const Event&)> onEvent;
  bool ended = false;

  void Run() {
    window.Open();
    Event e;
    while (window.Accept(&e)) {
      events.push_back(e);
      if (onEvent) onEvent(window, e);
    }
    ended = true;
  }
  static constexpr int32_t kAnyControl = INT32_MIN;
  int Count(int32_t number, int32_t control = kAnyControl) const {
    int n = 0;
    for (const Event& e : events)
      n += e.number == number && (control == kAnyControl || e.control == control);
    return n;
  }
  const Event* Last(int32_t number) const {
    for (auto it = events.rbegin(); it != events.rend(); ++it) {
      if (it->number == number) return &*it;
    }
    return nullptr;
  }
};

// Procedures are declared before the scheduler so that they outlive the
// threads that use them.
struct WindowFixture {
  RecordingProcedure first;
  RecordingProcedure second;
  Scheduler scheduler;
  HeadlessPresenter presenter;
  HeadlessDriver driver{scheduler, presenter};

  void StartFirst() {
    driver.Start([this] { first.Run(); });
  }
  void StartSecond() {
    driver.Start([this] { second.Run(); });
  }
};

}  // namespace ledora::runtime
