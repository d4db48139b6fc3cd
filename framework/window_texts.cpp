#include "framework/window_texts.h"

namespace ledora::framework {

WindowTexts::WindowTexts(runtime::Window& window) : window_(window) {
  texts_.push_back({Title, 0});
  for (const auto& c : window.controls()) {
    if (c->separator) continue;
    if (!c->text.empty()) texts_.push_back({Caption, c->number});
    if (!c->tip.empty()) texts_.push_back({Tip, c->number});
  }
}

std::string WindowTexts::Text(size_t index) const {
  if (index >= texts_.size()) return {};
  const Entry& entry = texts_[index];
  if (entry.kind == Title) return window_.title();
  const runtime::Control* c = window_.Find(entry.control);
  if (c == nullptr) return {};
  return entry.kind == Caption ? c->text : c->tip;
}

void WindowTexts::SetText(size_t index, std::string_view text) {
  if (index >= texts_.size()) return;
  const Entry& entry = texts_[index];
  if (entry.kind == Title) {
    window_.SetTitle(text);
  } else if (entry.kind == Caption) {
    window_.SetText(entry.control, text);
  } else {
    window_.SetTip(entry.control, text);
  }
}

}  // namespace ledora::framework
