#include "framework/type_ahead_locator.h"

#include <chrono>

#include "data/message_numbers.h"
#include "data/message_table.h"
#include "runtime/window/event.h"
#include "runtime/window/window.h"
#include "runtime/window/window_registry.h"

namespace ledora::framework {

namespace {

constexpr int64_t kPauseMilliseconds = 1000;

}  // namespace

TypeAheadLocator::TypeAheadLocator(std::function<int64_t()> clock) : clock_(std::move(clock)) {}

int64_t TypeAheadLocator::SteadyMilliseconds() {
  using namespace std::chrono;
  return duration_cast<milliseconds>(steady_clock::now().time_since_epoch()).count();
}

void TypeAheadLocator::ClearSearch() {
  if (!search_.empty()) Show("");
  search_.clear();
}

uint8_t TypeAheadLocator::OnKeyPressed(int32_t keyCode, LocatorList& list) {
  if (FREEELEMENT.address == nullptr) return 0;
  int64_t now = clock_();
  bool paused = now - lastKey_ > kPauseMilliseconds;
  if (keyCode == runtime::KeyBackspace) {
    if (search_.empty() || paused) return 0;
    search_.pop_back();
  } else {
    char typed = CharacterOf(keyCode);
    if (typed == 0 || (typed == ' ' && (search_.empty() || paused))) return 0;
    if (paused) search_.clear();
    search_ += typed;
  }
  lastKey_ = now;
  // The browse places the list at the first record not below the text.
  runtime::SetText(FREEELEMENT, search_);
  Show(data::AddedMessageText(data::MsgTypeAheadSearch, "", search_));
  return 1;
}

// In the frame's status line, where the user looks for what the list heard.
void TypeAheadLocator::Show(const std::string& text) {
  runtime::Window* frame = runtime::WindowRegistry::Instance().Frame();
  if (frame == nullptr) frame = statusWindow_;
  if (frame != nullptr) frame->SetStatusText(text);
}

}  // namespace ledora::framework
