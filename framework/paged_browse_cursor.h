// The wait cursor over a browse's window while it reads a page or its
// thumb limits; the previous cursor comes back when it goes out of scope.
#pragma once

#include "runtime/window/window.h"

namespace ledora::framework {

class BrowseWaitCursor {
 public:
  explicit BrowseWaitCursor(runtime::Window* window) : window_(window) {
    if (window_ == nullptr) return;
    previous_ = window_->cursor();
    window_->SetCursor(runtime::CursorWait);
  }
  ~BrowseWaitCursor() {
    if (window_ != nullptr) window_->SetCursor(previous_);
  }
  BrowseWaitCursor(const BrowseWaitCursor&) = delete;
  BrowseWaitCursor& operator=(const BrowseWaitCursor&) = delete;

 private:
  runtime::Window* window_;
  runtime::CursorShape previous_ = runtime::CursorArrow;
};

}  // namespace ledora::framework
