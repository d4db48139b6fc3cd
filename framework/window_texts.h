// A window's title, captions and tooltips as a translator sees them, so the
// procedure frame can hand its window to a Translator when it opens.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "framework/translator.h"
#include "runtime/window/window.h"

namespace ledora::framework {

class WindowTexts : public TranslatableTexts {
 public:
  explicit WindowTexts(runtime::Window& window);

  size_t TextCount() const override { return texts_.size(); }
  std::string Text(size_t index) const override;
  void SetText(size_t index, std::string_view text) override;

 private:
  enum Kind { Title, Caption, Tip };
  struct Entry {
    Kind kind;
    int32_t control;
  };

  runtime::Window& window_;
  std::vector<Entry> texts_;
};

}  // namespace ledora::framework
