// The program's help: a user guide whose first page the program names at
// start-up, shown by the presenter on the topic of the window it was asked
// from (its Help button, F1, the toolbar's Help), or on the guide's
// contents, its search or its own use (the frame's Help menu).
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace ledora::runtime {

class Window;

enum HelpView {
  HelpShowTopic = 0,  // the topic named (empty: the guide's first page) with the contents
  HelpShowSearch,     // the search, ready for the words to look for
};

// The topic of the guide on using the help window itself.
inline constexpr char kHelpOnHelpTopic[] = "help";

void SetHelpFile(std::string_view file);
const std::string& HelpFile();

// The window's topic; asked from the frame, that of its active child.
std::string HelpTopicFor(const Window& askedFrom);
void ShowHelp(const Window& askedFrom);
// What a help entry of a menu or a button does (Contents, Search for Help
// On..., How to Use Help); a Contents button of a window shows its topic.
void ShowHelpFor(const Window& askedFrom, int32_t action);

}  // namespace ledora::runtime
