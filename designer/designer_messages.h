// Message boxes of the designer whose texts come from its text table: the
// text and caption keys are looked up, clipped, and "|" breaks the lines.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "runtime/system/message_service.h"

namespace ledora::designer {

// The text of a key of the designer text table, clipped.
std::string DesignerText(std::string_view key);
// The same, and for a key the table lacks its override in the INI file,
// else fallback.
std::string DesignerText(std::string_view key, std::string_view fallback);

// Shows text (with "|" as line breaks) under caption.
uint32_t ShowDesignerBox(std::string_view text, std::string_view caption,
                         uint32_t buttons = runtime::ButtonOk,
                         uint32_t defaultButton = runtime::ButtonOk,
                         int32_t icon = runtime::IconExclamation);

// The same with both texts taken from the table by key.
uint32_t ShowDesignerMessage(std::string_view textKey, std::string_view captionKey,
                             uint32_t buttons = runtime::ButtonOk,
                             uint32_t defaultButton = runtime::ButtonOk,
                             int32_t icon = runtime::IconExclamation);

}  // namespace ledora::designer
