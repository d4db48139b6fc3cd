#include "framework/locator.h"

#include <string>

#include "runtime/system/ascii_case.h"
#include "runtime/window/event.h"
#include "runtime/window/window.h"

namespace ledora::framework {

void Locator::Initialize(data::ViewManager* browse, int32_t control,
                         const runtime::FieldRef& freeElement, bool noCase) {
  VIEWMANAGER = browse;
  CONTROL = control;
  FREEELEMENT = freeElement;
  NOCASE = noCase ? 1 : 0;
}

char Locator::CharacterOf(int32_t keyCode) {
  if (keyCode & (runtime::KeyCtrl | runtime::KeyAlt)) return 0;
  bool shift = (keyCode & runtime::KeyShift) != 0;
  int key = keyCode & 0xFF;
  if (keyCode & ~(0xFF | runtime::KeyShift)) return 0;
  if (key >= 'A' && key <= 'Z') return static_cast<char>(shift ? key : key - 'A' + 'a');
  if (key >= '0' && key <= '9' && !shift) return static_cast<char>(key);
  if (key == ' ') return ' ';
  return 0;
}

uint8_t Locator::OnKeyPressed(int32_t keyCode, LocatorList& list) {
  char typed = CharacterOf(keyCode);
  if (typed == 0 || FREEELEMENT.address == nullptr) return 0;
  uint8_t answer = 0;
  if (list.HasRows()) {
    list.StepDown();
    answer = 1;
  }
  std::string current = runtime::GetText(FREEELEMENT);
  char first = current.empty() ? ' ' : current.front();
  auto fold = [this](char c) { return NOCASE ? runtime::AsciiUpper(c) : c; };
  if (fold(first) != fold(typed)) {
    runtime::SetText(FREEELEMENT, std::string(1, typed));
    answer = 1;
  }
  return answer;
}

void Locator::EnableControl(runtime::Window& window, bool hasRows) {
  if (CONTROL != 0) window.SetEnabled(CONTROL, hasRows);
}

}  // namespace ledora::framework
