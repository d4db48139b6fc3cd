// The common dialogs and the other modal services of the window engine:
// message boxes go through runtime::Messages(); these ask the presenter for
// a file name, a colour, a font, the printer set-up, and a popup menu choice.
// The calling thread waits for the answer; other threads go on running.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "runtime/window/control.h"
#include "runtime/window/printer_choice.h"

namespace ledora::runtime {

class Window;

struct FileDialogRequest {
  std::string title;
  std::string filter;    // "Design files|*.KDS|All files|*.*"
  std::string fileName;  // the starting name; receives the chosen one
  bool save = false;
};

bool AskFileName(FileDialogRequest* request);  // false: cancelled
// In/out; the dialog shows the title given, or its own.
bool AskColour(int32_t* colour, std::string_view title = {});
bool AskFont(Font* font, std::string_view title = {});
bool AskPrinterSetup();  // ChosenPrinter() (printer_choice.h) has the choice
// The font families installed for the screen, sorted.
std::vector<std::string> FontFamilies();
// Shows a popup menu in the popup syntax ("Open|-|~Disabled|+Checked|Sub{A|B}")
// at the pointer; returns the chosen entry's number (selectable entries
// counted from 1 in text order) or 0 when nothing was chosen.
int32_t Popup(std::string_view menu);
void Beep();
// A tip at the control, shown at once.
void ShowTip(Window& window, int32_t control, const std::string& text);

}  // namespace ledora::runtime
