// What a form says when a control refuses what the user typed ("13/45/26"
// in a date): a line for the status line that names the input and what the
// control takes, so the user can correct it where it stands.
#pragma once

#include <string>

#include "runtime/window/control.h"
#include "runtime/window/window.h"

namespace ledora::framework {

// "13/45/26" is not a date: type it as 07/12/2026
std::string RejectedInputText(const runtime::Control& control);

// Shows the text in the frame's status line (the window's own, without a
// frame) and returns it; the caller clears it once an input is accepted,
// unless the status line shows something else by then.
std::string TellRejectedInput(runtime::Window& window, int32_t control);
void ClearRejectedInput(runtime::Window& window, std::string* told);

}  // namespace ledora::framework
