// The hook through which window and menu texts could be translated at run
// time. The procedure frame, the popup menu and the print preview call it
// when one is attached; the application attaches none, so every text shows
// as designed.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace ledora::framework {

// A window's texts as a translator sees them (captions, prompts, menu texts,
// tooltips), each replaceable in place; the frame adapts its window to it.
class TranslatableTexts {
 public:
  virtual ~TranslatableTexts() = default;
  virtual size_t TextCount() const = 0;
  virtual std::string Text(size_t index) const = 0;
  virtual void SetText(size_t index, std::string_view text) = 0;
};

class Translator {
 public:
  virtual ~Translator() = default;
  virtual void TranslateWindow(TranslatableTexts& window) = 0;
  virtual std::string TranslateText(std::string_view text) = 0;
};

// The text as the translator gives it, or as designed when none is attached.
inline std::string TranslateText(Translator* translator, std::string_view text) {
  return translator ? translator->TranslateText(text) : std::string(text);
}

}  // namespace ledora::framework
