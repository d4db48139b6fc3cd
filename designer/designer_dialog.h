// Small pieces shared by the designer's own dialogs: a modal window with
// the designer's font, labelled buttons, prompts and one-column lists.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "runtime/window/window.h"

namespace ledora::designer {

// The user guide's chapter on the designer and its dialogs.
inline constexpr char kDesignerHelpTopic[] = "designer";

// The controls of PickFromList's window.
enum PickControls : int32_t { PickPrompt = 1, PickList = 2, PickOk = 3, PickCancel = 4 };

void PrepareDialog(runtime::Window& window, std::string_view title, int32_t width, int32_t height);
void AddButton(runtime::Window& window, int32_t number, std::string_view text,
               const runtime::Rect& rect, std::string_view tip = {});
void AddPrompt(runtime::Window& window, int32_t number, std::string_view text,
               const runtime::Rect& rect);
// A list of one text column width characters wide, headed by heading.
void AddList(runtime::Window& window, int32_t number, std::string_view heading, int width,
             const runtime::Rect& rect);
void AddEntry(runtime::Window& window, int32_t number, int width, const runtime::Rect& rect);
// One row per text.
void ShowRows(runtime::Window& window, int32_t list, const std::vector<std::string>& texts);

// A modal list of "|"-separated names under caption with OK and Cancel;
// the chosen name, or an empty text when cancelled.
std::string PickFromList(std::string_view caption, std::string_view names,
                         std::string_view prompt = {});

}  // namespace ledora::designer
