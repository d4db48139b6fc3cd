#include "designer/designer_about.h"

#include "app/version.h"
#include "designer/designer_dialog.h"
#include "designer/designer_messages.h"
#include "runtime/window/scheduler.h"

namespace ledora::designer {

namespace {

enum AboutControls : int32_t { AboutName = 1, AboutVersion, AboutWhat, AboutOk };

void DesignerAbout() {
  runtime::Window window;
  PrepareDialog(window, "About Report Designer", 180, 76);
  // Not modal: the designer stays usable beside it.
  window.SetModal(false);
  AddPrompt(window, AboutName, "Report Designer", {8, 6, 164, 10});
  window.SetControlFont(AboutName, {"", 12, 700, runtime::kNoColour});
  AddPrompt(window, AboutVersion, std::string("ledora ") + LEDORA_VERSION, {8, 20, 164, 10});
  AddPrompt(window, AboutWhat, "Lays out the printed reports of ledora.", {8, 32, 164, 10});
  AddButton(window, AboutOk, DesignerText("TextButtonOk"), {124, 54, 48, 14});
  window.SetDefaultButton(AboutOk);
  window.AddAlert(runtime::KeyEscape);
  window.Open();
  runtime::Event event;
  while (window.Accept(&event)) {
    bool ok = event.number == runtime::EventAccepted && event.control == AboutOk;
    if (ok || event.number == runtime::EventAlertKey) window.Close();
  }
}

}  // namespace

void StartDesignerAbout() { runtime::Start(DesignerAbout, 25000); }

}  // namespace ledora::designer
