#include "runtime/window/presenter.h"

namespace ledora::runtime {

namespace {

// Shows nothing; a question without a screen is a cancelled one.
class SilentPresenter : public Presenter {
 public:
  void WindowOpened(Window&) override {}
  void WindowClosed(Window&) override {}
  void WindowChanged(Window&) override {}
  void ControlCreated(Window&, int32_t) override {}
  void ControlDestroyed(Window&, int32_t) override {}
  void ControlChanged(Window&, int32_t) override {}
  void FocusChanged(Window&, int32_t) override {}
  void RaiseWindow(Window&) override {}
  bool AskFileName(FileDialogRequest*) override { return false; }
  bool AskColour(int32_t*, std::string_view) override { return false; }
  bool AskFont(Font*, std::string_view) override { return false; }
  bool AskPrinterSetup() override { return false; }
  std::vector<std::string> FontFamilies() override { return {}; }
  int32_t Popup(Window*, std::string_view) override { return 0; }
  void Beep() override {}
};

SilentPresenter silent;
Presenter* installed = nullptr;

}  // namespace

Presenter& CurrentPresenter() { return installed != nullptr ? *installed : silent; }

void SetPresenter(Presenter* presenter) { installed = presenter; }

}  // namespace ledora::runtime
