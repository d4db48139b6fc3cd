#include "runtime/window/popup_menu_text.h"

namespace ledora::runtime {

namespace {

// "[31848(~name.ico)]" before the text; "[]" means no icon.
std::string_view TakeIcon(std::string_view item, std::string* icon) {
  if (item.empty() || item.front() != '[') return item;
  size_t close = item.find(']');
  if (close == std::string_view::npos) return item;
  std::string_view inside = item.substr(1, close - 1);
  size_t open = inside.find("(~");
  if (open != std::string_view::npos) {
    size_t end = inside.find(')', open);
    icon->assign(inside.substr(open + 2, end == std::string_view::npos ? end : end - open - 2));
  }
  return item.substr(close + 1);
}

PopupEntry ReadEntry(std::string_view item, int32_t depth) {
  PopupEntry entry;
  entry.depth = depth;
  if (item == "-") {
    entry.separator = true;
    return entry;
  }
  for (;;) {
    if (item.size() > 1 && item.front() == '~') {
      entry.disabled = true;
    } else if (item.size() > 1 && (item.front() == '+' || item.front() == '-')) {
      entry.checkable = true;
      entry.checked = item.front() == '+';
    } else {
      break;
    }
    item.remove_prefix(1);
  }
  item = TakeIcon(item, &entry.icon);
  entry.text.assign(item);
  return entry;
}

}  // namespace

std::vector<PopupEntry> ParsePopupMenu(std::string_view menu) {
  std::vector<PopupEntry> entries;
  int32_t depth = 1;
  size_t start = 0;
  auto flush = [&](size_t end) {
    if (end > start) entries.push_back(ReadEntry(menu.substr(start, end - start), depth));
  };
  for (size_t i = 0; i < menu.size(); ++i) {
    char c = menu[i];
    if (c != '|' && c != '{' && c != '}') continue;
    flush(i);
    start = i + 1;
    if (c == '{') {
      if (!entries.empty() && entries.back().depth == depth) entries.back().submenu = true;
      ++depth;
    } else if (c == '}' && depth > 1) {
      --depth;
    }
  }
  flush(menu.size());
  int32_t number = 0;
  for (PopupEntry& entry : entries) {
    if (!entry.separator && !entry.submenu) entry.number = ++number;
  }
  return entries;
}

}  // namespace ledora::runtime
