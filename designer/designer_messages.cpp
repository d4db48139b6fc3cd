#include "designer/designer_messages.h"

#include <algorithm>

#include "designer/designer_text_table.h"
#include "runtime/values/fixed_string.h"

namespace ledora::designer {

std::string DesignerText(std::string_view key) {
  return std::string(runtime::Clip(DesignerTexts().Text(key)));
}

std::string DesignerText(std::string_view key, std::string_view fallback) {
  if (const std::string& text = DesignerTexts().Text(key); !text.empty()) {
    return std::string(runtime::Clip(text));
  }
  return std::string(runtime::Clip(DesignerTexts().TextFor("ReportDesigner", key, fallback)));
}

uint32_t ShowDesignerBox(std::string_view text, std::string_view caption, uint32_t buttons,
                         uint32_t defaultButton, int32_t icon) {
  runtime::MessageRequest request;
  request.text = std::string(text);
  std::replace(request.text.begin(), request.text.end(), '|', '\n');
  request.caption = std::string(caption);
  request.icon = icon;
  request.buttons = buttons;
  request.defaultButton = defaultButton;
  return runtime::Messages().Show(request);
}

uint32_t ShowDesignerMessage(std::string_view textKey, std::string_view captionKey,
                             uint32_t buttons, uint32_t defaultButton, int32_t icon) {
  return ShowDesignerBox(DesignerText(textKey), DesignerText(captionKey), buttons, defaultButton,
                         icon);
}

}  // namespace ledora::designer
