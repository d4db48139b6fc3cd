#include "runtime/report/text_dump.h"

#include <algorithm>
#include <vector>

#include "runtime/report/page_count.h"

namespace ledora::runtime {

namespace {

std::string Token(const PageImage& page, const PageItem& item) {
  switch (item.kind) {
    case ItemText: {
      std::string text = ShownText(page, item);
      size_t end = text.find_last_not_of(' ');
      return end == std::string::npos ? std::string() : text.substr(0, end + 1);
    }
    case ItemCheck:
      return (item.flags & FlagChecked) ? "[x]" : "[ ]";
    case ItemImage:
      return "[image " + item.text + "]";
    default:
      return {};
  }
}

}  // namespace

std::string TextDump::PageText(const PageImage& page) {
  std::vector<const PageItem*> shown;
  for (const PageItem& item : page.items) {
    if (!Token(page, item).empty()) shown.push_back(&item);
  }
  std::stable_sort(shown.begin(), shown.end(), [](const PageItem* a, const PageItem* b) {
    return a->y != b->y ? a->y < b->y : a->x < b->x;
  });
  std::string text;
  for (size_t i = 0; i < shown.size(); ++i) {
    bool sameLine = i > 0 && shown[i - 1]->y == shown[i]->y;
    if (sameLine) text += ' ';
    text += Token(page, *shown[i]);
    if (i + 1 == shown.size() || shown[i + 1]->y != shown[i]->y) text += '\n';
  }
  return text;
}

bool TextDump::BeginDocument(const std::string& title) {
  text_.clear();
  pages_ = 0;
  return true;
}

bool TextDump::WritePage(const PageImage& page) {
  ++pages_;
  text_ += "--- page " + std::to_string(page.number) + " ---\n";
  text_ += PageText(page);
  return true;
}

}  // namespace ledora::runtime
