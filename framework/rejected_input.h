// What a form says when a control refuses what the user typed ("13/45/26"
// in a date): plain words on what to type instead, with an example, as a
// tip at the field and in the status line, so the user corrects it where it
// stands. The words come from the program's message table; the picture
// itself is never shown.
#pragma once

#include <string>

#include "runtime/window/control.h"
#include "runtime/window/window.h"

namespace ledora::framework {

// "Type a number with at most 2 decimals, like 1234.50"
std::string RejectedInputText(const runtime::Control& control);

// Shows the text at the control and in the frame's status line (the
// window's own, without a frame) and returns it; the caller clears it once
// an input is accepted, unless the status line shows something else by then.
std::string TellRejectedInput(runtime::Window& window, int32_t control);
void ClearRejectedInput(runtime::Window& window, std::string* told);

}  // namespace ledora::framework
