#include "runtime/system/halt.h"

#include <cstdlib>
#include <string>
#include <utility>

#include "runtime/system/message_service.h"

namespace ledora::runtime {

namespace {

HaltHandler& Handler() {
  static HaltHandler handler;
  return handler;
}

}  // namespace

void Halt(int exitCode, std::string_view text) {
  if (Handler()) {
    // A copy, so that a handler that replaces itself does not destroy the
    // function that is running.
    HaltHandler handler = Handler();
    handler(exitCode, text);
    return;
  }
  if (!text.empty()) {
    MessageRequest request;
    request.text = std::string(text);
    request.caption = "Halt";
    request.icon = IconHand;
    Messages().Show(request);
  }
  std::exit(exitCode);
}

HaltHandler SetHaltHandler(HaltHandler handler) {
  return std::exchange(Handler(), std::move(handler));
}

}  // namespace ledora::runtime
