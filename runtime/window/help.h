// The program's help: a user guide whose file the program names at
// start-up, shown by the presenter on the topic of the window it was asked
// from (its Help button, F1, the toolbar's Help, the frame's Help menu).
#pragma once

#include <string>
#include <string_view>

namespace ledora::runtime {

class Window;

void SetHelpFile(std::string_view file);
const std::string& HelpFile();

// The window's topic; asked from the frame, that of its active child.
std::string HelpTopicFor(const Window& askedFrom);
void ShowHelp(const Window& askedFrom);

}  // namespace ledora::runtime
