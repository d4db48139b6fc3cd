// Events of the window engine and the key codes they carry. A procedure takes
// them one at a time from its window (Window::Accept); presenters and other
// threads post them. The numbers are the ones every procedure compares with.
#pragma once

#include <cstdint>
#include <string>

namespace ledora::runtime {

enum EventNumber : int32_t {
  EventNone = 0,
  EventAccepted = 1,
  EventNewSelection = 2,
  EventScrollUp = 3,
  EventScrollDown = 4,
  EventPageUp = 5,
  EventPageDown = 6,
  EventScrollTop = 7,
  EventScrollBottom = 8,
  EventLocate = 9,
  EventAlertKey = 15,
  EventScrollDrag = 20,
  EventRejected = 26,
  EventSelected = 257,
  EventCloseWindow = 513,
  EventCloseDown = 514,
  EventOpenWindow = 515,
  EventLoseFocus = 517,
  EventGainFocus = 518,
  EventTimer = 523,
  EventCompleted = 549,
  EventSized = 561,
  // Our own, for the designer's canvas. Mouse events come only from a window
  // or region that asked for them (SetTrackMouse); x and y are window units.
  EventMouseDown = 1001,
  EventMouseUp = 1002,
  EventMouseMove = 1003,
  EventDrag = 1004,  // to the source: its dragged item was dropped elsewhere
  EventDrop = 1005,  // to the target: text is what was dragged
  // Ctrl with the wheel over a window that tracks the mouse: the key code
  // is KeyCtrl plus KeyUp (away from the user) or KeyDown.
  EventMouseWheel = 1006,
};

// Key codes: a virtual key number plus modifier bits; the mouse buttons are
// small numbers of their own.
enum KeyCode : int32_t {
  KeyMouseLeft = 1,
  KeyMouseRight = 2,
  KeyMouseCenter = 3,
  KeyMouseLeftDouble = 5,
  KeyMouseRightDouble = 6,
  KeyMouseLeftUp = 129,
  KeyMouseRightUp = 130,
  KeyBackspace = 8,
  KeyTab = 9,
  KeyEnter = 13,
  KeyEscape = 27,
  KeyPageUp = 33,
  KeyPageDown = 34,
  KeyEnd = 35,
  KeyHome = 36,
  KeyLeft = 37,
  KeyUp = 38,
  KeyRight = 39,
  KeyDown = 40,
  KeyInsert = 45,
  KeyDelete = 46,
  KeyF1 = 112,
  KeyF3 = 114,
  KeyF8 = 119,
  KeyPadPlus = 107,
  KeyPadMinus = 109,
  KeyPlus = 187,
  KeyMinus = 189,
  KeyQuote = 222,
  KeyShift = 0x100,  // modifier bits
  KeyCtrl = 0x200,
  KeyAlt = 0x400,
  KeyCtrlEnter = KeyCtrl + KeyEnter,  // 525
  KeyCtrlHome = KeyCtrl + KeyHome,
  KeyCtrlEnd = KeyCtrl + KeyEnd,
  KeyCtrlQuote = KeyCtrl + KeyQuote,  // 734, recalls the saved value
};

struct Event {
  int32_t number = EventNone;
  int32_t control = 0;   // the control that has the event; 0 for a window event
  int32_t accepted = 0;  // the accepted control (events 1 and 26)
  int32_t focus = 0;     // the focused control when the event was taken
  int32_t keyCode = 0;
  // Thumb position 0-100 (20); row under the pointer (mouse, drop); lose
  // focus (517): 1 when the window had the focus on screen, 0 when it lost
  // it before it ever got it there.
  int32_t value = 0;
  int32_t x = 0;  // pointer position for mouse and drop events, window units
  int32_t y = 0;
  std::string text;           // drop: the dragged text
  int32_t sourceThread = 0;   // drop: thread of the window dragged from
  int32_t sourceControl = 0;  // drop: the control dragged from
};

}  // namespace ledora::runtime
