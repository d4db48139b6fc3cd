// The wait cursor over a window for as long as a WaitCursor lives: around
// a write, a page read or anything else the user must wait for. The cursor
// the window had comes back when it goes out of scope; no window, no cursor.
#pragma once

#include "runtime/window/window.h"

namespace ledora::runtime {

class WaitCursor {
 public:
  explicit WaitCursor(Window* window) : window_(window) {
    if (window_ == nullptr) return;
    previous_ = window_->cursor();
    window_->SetCursor(CursorWait);
  }
  ~WaitCursor() {
    if (window_ != nullptr) window_->SetCursor(previous_);
  }
  WaitCursor(const WaitCursor&) = delete;
  WaitCursor& operator=(const WaitCursor&) = delete;

 private:
  Window* window_;
  CursorShape previous_ = CursorArrow;
};

}  // namespace ledora::runtime
