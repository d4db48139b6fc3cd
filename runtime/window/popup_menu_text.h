// Reads the popup-menu syntax that procedures build ("Insert|~Delete|-|Zoom{
// 50%|+100%}|[31848(~zoom.ico)]Fit") into entries, numbering the selectable
// ones as the choice that comes back. Both presenters show popups from it.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace ledora::runtime {

struct PopupEntry {
  int32_t depth = 1;  // 1 = top level
  std::string text;
  std::string icon;
  bool separator = false;
  bool submenu = false;  // entries of depth + 1 follow
  bool disabled = false;
  bool checked = false;
  bool checkable = false;  // '+' or '-'
  int32_t number = 0;      // the choice returned; 0 for separators and submenus
};

std::vector<PopupEntry> ParsePopupMenu(std::string_view menu);

}  // namespace ledora::runtime
