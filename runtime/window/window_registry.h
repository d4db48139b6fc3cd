// The open windows of the process: which thread owns which, which one is
// active, which is the frame. Posting to another thread's window and routing
// the frame's toolbar presses go through here; so do the test driver's look-ups.
#pragma once

#include <cstdint>
#include <map>
#include <string_view>
#include <vector>

#include "runtime/window/event.h"

namespace ledora::runtime {

class Window;

class WindowRegistry {
 public:
  static WindowRegistry& Instance();

  // Windows a thread leaves open when it ends are closed with it.
  void Opened(Window* window);
  void Closed(Window* window);
  const std::vector<Window*>& windows() const { return windows_; }  // in opening order

  // The window the thread opened last and still has open; null when none.
  Window* TopWindowOf(int32_t thread) const;
  Window* Frame() const;  // the open frame window, if any
  Window* Active() const { return active_; }
  void SetActive(Window* window);  // sends lose and gain focus events
  // The window that was active when this one opened; it takes the focus
  // back when this one closes. Null when none is open any more.
  Window* OpenerOf(const Window* window) const;
  // The first open window whose title is this, null when none.
  Window* FindByTitle(std::string_view title) const;
  bool IsOpen(const Window* window) const;

  // Posts to the thread's top window; false when it has none.
  bool Post(int32_t event, int32_t control, int32_t thread);
  // A frame toolbar button was pressed: the active child takes it, else the frame.
  void ToolbarPressed(int32_t control);

 private:
  void CloseWindowsOf(int32_t thread);

  std::vector<Window*> windows_;
  std::map<const Window*, Window*> openers_;
  Window* active_ = nullptr;
  int64_t listening_ = 0;  // the scheduler whose thread ends we hear
};

// Posts an event to a control of another thread's window.
bool Post(int32_t event, int32_t control, int32_t thread);

}  // namespace ledora::runtime
