// Building blocks of the designer's property dialogs: prompts, number
// entries, checks and two-way choices bound to variables of the dialog, so
// that Display shows them and Update reads them back; and the loop every
// such dialog runs until OK or Cancel.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <string_view>

#include "runtime/window/window.h"

namespace ledora::designer {

class PropertyForm {
 public:
  explicit PropertyForm(runtime::Window& window) : window_(window) {}

  // Controls are made inside parent (a tab or 0 for the window).
  void SetParent(int32_t parent) { parent_ = parent; }
  void Prompt(int32_t number, std::string_view text, const runtime::Rect& rect);
  // A signed whole number of up to digits digits, between low and high.
  void Number(int32_t number, int32_t* value, int digits, const runtime::Rect& rect,
              int32_t low = -999999, int32_t high = 999999);
  void Check(int32_t number, std::string_view text, uint8_t* value, const runtime::Rect& rect);
  // An option of two radios (numbers number + 1 and + 2) storing first or
  // second into *value.
  void Choice(int32_t number, std::string* value, std::string_view firstText,
              std::string_view secondText, const runtime::Rect& rect);
  void Button(int32_t number, std::string_view text, const runtime::Rect& rect,
              std::string_view tip = {});
  // OK, Cancel and Help (numbers ok, ok + 1, ok + 2) in a row ending at
  // right; OK is the default button.
  void OkCancelHelp(int32_t ok, int32_t right, int32_t y);
  void Group(int32_t number, std::string_view text, const runtime::Rect& rect);
  void Hide(int32_t first, int32_t last, bool hidden);

  // Runs the dialog: onEvent sees every event but OK and Cancel; OK reads
  // every control back and answers true when accept (if given) agrees.
  bool Run(int32_t ok, int32_t cancel, const std::function<void(const runtime::Event&)>& onEvent,
           const std::function<bool()>& accept = {});

  // The values choices store.
  static constexpr char kFirst[] = "1";
  static constexpr char kSecond[] = "2";

 private:
  runtime::Window& window_;
  int32_t parent_ = 0;
};

}  // namespace ledora::designer
