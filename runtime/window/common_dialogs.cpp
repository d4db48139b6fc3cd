#include "runtime/window/common_dialogs.h"

#include "runtime/window/presenter.h"
#include "runtime/window/printer_choice.h"
#include "runtime/window/scheduler.h"
#include "runtime/window/window_registry.h"

namespace ledora::runtime {

bool AskFileName(FileDialogRequest* request) { return CurrentPresenter().AskFileName(request); }

bool AskColour(int32_t* colour, std::string_view title) {
  return CurrentPresenter().AskColour(colour, title);
}

std::vector<std::string> FontFamilies() { return CurrentPresenter().FontFamilies(); }

bool AskFont(Font* font, std::string_view title) { return CurrentPresenter().AskFont(font, title); }

bool AskPrinterSetup() { return CurrentPresenter().AskPrinterSetup(); }
std::string ChosenPrinter() { return CurrentPresenter().PrinterName(); }

int32_t Popup(std::string_view menu) {
  Window* owner = WindowRegistry::Instance().TopWindowOf(CurrentThread());
  return CurrentPresenter().Popup(owner, menu);
}

void Beep() { CurrentPresenter().Beep(); }

void ShowTip(Window& window, int32_t control, const std::string& text) {
  CurrentPresenter().ShowTip(window, control, text);
}

}  // namespace ledora::runtime
