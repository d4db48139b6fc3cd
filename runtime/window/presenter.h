// Shows the window model: the Qt presenter with real windows, the headless
// presenter for tests and command-line jobs. Windows tell the presenter of
// every change; modal services ask it and may wait (the calling thread
// yields until the answer comes, never a nested event loop).
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "runtime/window/common_dialogs.h"
#include "runtime/window/help.h"

namespace ledora::runtime {

class Window;

struct ScreenArea {
  int32_t width = 0;  // pixels; 0 when there is no screen
  int32_t height = 0;
};

class Presenter {
 public:
  virtual ~Presenter() = default;

  virtual void WindowOpened(Window& window) = 0;
  virtual void WindowClosed(Window& window) = 0;
  // Title, geometry, state, font, icon, timer, cursor or status text changed.
  virtual void WindowChanged(Window& window) = 0;
  virtual void ControlCreated(Window& window, int32_t control) = 0;
  virtual void ControlDestroyed(Window& window, int32_t control) = 0;
  // Any property of the control, or what it shows, changed.
  virtual void ControlChanged(Window& window, int32_t control) = 0;
  virtual void FocusChanged(Window& window, int32_t control) = 0;
  // Brings the window to the front with the keyboard focus.
  virtual void RaiseWindow(Window& window) = 0;

  virtual bool AskFileName(FileDialogRequest* request) = 0;
  // The dialogs show the title given (empty: their own).
  virtual bool AskColour(int32_t* colour, std::string_view title) = 0;
  virtual bool AskFont(Font* font, std::string_view title) = 0;
  virtual bool AskPrinterSetup() = 0;
  // The font families installed for the screen, sorted.
  virtual std::vector<std::string> FontFamilies() = 0;
  // The printer chosen with the printer set-up for this run, else the
  // system's default printer; blank when the machine has none.
  virtual std::string PrinterName() { return {}; }
  virtual int32_t Popup(Window* owner, std::string_view menu) = 0;
  // The size of the screen the program's windows show on.
  virtual ScreenArea ScreenSize() { return {}; }
  virtual void Beep() = 0;
  // Shows the user guide (file: its first page) at a topic (an anchor on any
  // of its pages; empty: the first page), or its search; the caller goes on
  // at once.
  virtual void ShowHelp(const std::string& file, const std::string& topic, HelpView view) {}
  // Shows a short text as a tip at a control at once (a refused entry says
  // why where the user looks); it goes as tips do.
  virtual void ShowTip(Window& window, int32_t control, const std::string& text) {}
};

// The presenter windows report to; until one is set, a presenter that shows
// nothing and answers every question with "cancelled".
Presenter& CurrentPresenter();
void SetPresenter(Presenter* presenter);  // nullptr restores the silent one

}  // namespace ledora::runtime
