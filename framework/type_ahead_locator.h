// A locator that finds what the user types: characters typed within a
// second of each other build one search text ("wal" finds the first name
// from "Wal", "42" customer 42), a pause starts a new one, Backspace
// shortens it, and the text typed shows in the status line. The invoicing
// lists use it; windows that keep the step locator are unchanged.
#pragma once

#include <cstdint>
#include <functional>
#include <string>

#include "framework/locator.h"

namespace ledora::framework {

class TypeAheadLocator : public Locator {
 public:
  // clock: milliseconds, rising; the pause is measured on it.
  explicit TypeAheadLocator(std::function<int64_t()> clock = SteadyMilliseconds);

  void ClearSearch() override;
  uint8_t OnKeyPressed(int32_t keyCode, LocatorList& list) override;

  // Where the text shows when the program has no frame (not owned).
  void SetStatusWindow(runtime::Window* window) { statusWindow_ = window; }
  const std::string& search() const { return search_; }
  static int64_t SteadyMilliseconds();

 private:
  void Show(const std::string& text);

  std::function<int64_t()> clock_;
  std::string search_;
  int64_t lastKey_ = 0;
  runtime::Window* statusWindow_ = nullptr;
};

}  // namespace ledora::framework
