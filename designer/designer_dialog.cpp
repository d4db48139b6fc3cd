#include "designer/designer_dialog.h"

#include "designer/designer_messages.h"
#include "framework/procedure_frame.h"

namespace ledora::designer {

void PrepareDialog(runtime::Window& window, std::string_view title, int32_t width, int32_t height) {
  window.SetTitle(title);
  window.SetModal(true);
  window.SetHelpTopic(kDesignerHelpTopic);
  window.SetFont({"MS Sans Serif", 8, 0, runtime::kNoColour});
  window.SetSize(width, height);
}

void AddButton(runtime::Window& window, int32_t number, std::string_view text,
               const runtime::Rect& rect, std::string_view tip) {
  window.CreateControl(number, runtime::ControlButton);
  window.SetText(number, text);
  window.SetRect(number, rect);
  if (!tip.empty()) window.SetTip(number, tip);
}

void AddPrompt(runtime::Window& window, int32_t number, std::string_view text,
               const runtime::Rect& rect) {
  window.CreateControl(number, runtime::ControlPrompt);
  window.SetText(number, text);
  window.SetRect(number, rect);
}

void AddList(runtime::Window& window, int32_t number, std::string_view heading, int width,
             const runtime::Rect& rect) {
  window.CreateControl(number, runtime::ControlList);
  window.SetRect(number, rect);
  std::string format = std::to_string(width * 4) + "L(2)|M~" + std::string(heading) + "~@s" +
                       std::to_string(width) + "@";
  window.SetListFormat(number, format);
  window.SetVScroll(number, true);
}

void AddEntry(runtime::Window& window, int32_t number, int width, const runtime::Rect& rect) {
  window.CreateControl(number, runtime::ControlEntry);
  window.SetRect(number, rect);
  window.SetPicture(number, "@s" + std::to_string(width));
}

void ShowRows(runtime::Window& window, int32_t list, const std::vector<std::string>& texts) {
  std::vector<std::vector<std::string>> rows;
  rows.reserve(texts.size());
  for (const std::string& text : texts) rows.push_back({text});
  window.SetRows(list, std::move(rows));
}

}  // namespace ledora::designer

namespace ledora::designer {

std::string PickFromList(std::string_view caption, std::string_view names,
                         std::string_view prompt) {
  std::vector<std::string> items;
  std::string_view rest = names;
  while (!rest.empty()) {
    size_t bar = rest.find('|');
    items.emplace_back(rest.substr(0, bar));
    rest = bar == std::string_view::npos ? std::string_view() : rest.substr(bar + 1);
  }
  runtime::Window window;
  std::string title(caption);
  std::erase(title, '&');
  PrepareDialog(window, title, 150, 140);
  AddPrompt(window, PickPrompt, prompt, {6, 4, 138, 10});
  AddList(window, PickList, prompt, 32, {6, 16, 138, 96});
  AddButton(window, PickOk, DesignerText("TextButtonOk"), {40, 118, 48, 14},
            DesignerText("TipButtonOk"));
  AddButton(window, PickCancel, DesignerText("TextButtonCancel"), {94, 118, 48, 14},
            DesignerText("TipButtonCancel"));
  window.SetDefaultButton(PickOk);
  ShowRows(window, PickList, items);
  if (!items.empty()) window.SetSelection(PickList, 1);
  window.Open();
  std::string chosen;
  framework::LastResponse = framework::ResponseCancelled;
  runtime::Event event;
  while (window.Accept(&event)) {
    bool ok = event.number == runtime::EventAccepted && event.accepted == PickOk;
    bool twice = event.number == runtime::EventNewSelection && event.control == PickList &&
                 event.keyCode == runtime::KeyMouseLeftDouble;
    if (ok || twice) {
      int32_t row = window.GetSelection(PickList);
      if (row < 1 || row > static_cast<int32_t>(items.size())) continue;
      chosen = items[row - 1];
      framework::LastResponse = framework::ResponseCompleted;
      window.Close();
    } else if (event.number == runtime::EventAccepted && event.accepted == PickCancel) {
      window.Close();
    }
  }
  return chosen;
}

}  // namespace ledora::designer
