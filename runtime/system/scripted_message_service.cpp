#include "runtime/system/scripted_message_service.h"

#include <utility>

namespace ledora::runtime {

namespace {

bool Matches(const ScriptedAnswer& answer, const MessageRequest& request) {
  if (!answer.caption.empty() && answer.caption != request.caption) return false;
  return request.text.find(answer.textFragment) != std::string::npos;
}

std::string Describe(const ScriptedAnswer& answer) {
  return "answer " + std::to_string(answer.button) + " for caption \"" + answer.caption +
         "\" text \"" + answer.textFragment + "\"";
}

}  // namespace

std::string DescribeMessage(const MessageRequest& request) {
  return "box \"" + request.caption + "\": \"" + request.text + "\" (icon " +
         std::to_string(request.icon) + ", buttons " + std::to_string(request.buttons) +
         ", default " + std::to_string(request.defaultButton) + ")";
}

void ScriptedMessageService::Expect(std::string caption, std::string textFragment,
                                    uint32_t button) {
  script_.push_back({std::move(caption), std::move(textFragment), button});
}

void ScriptedMessageService::ExpectAny(uint32_t button) { Expect("", "", button); }

uint32_t ScriptedMessageService::Show(const MessageRequest& request) {
  ShownMessage shown{request, request.defaultButton, {}};
  if (script_.empty()) {
    shown.problem = "no answer was scripted";
  } else if (!Matches(script_.front(), request)) {
    shown.problem = "the next scripted " + Describe(script_.front()) + " does not match";
  } else if ((script_.front().button & request.buttons) == 0) {
    // Answering with a button the box does not offer would hand the caller
    // a reply it cannot expect; treat the script as wrong instead.
    shown.problem = "scripted " + Describe(script_.front()) + " names a button not offered";
    script_.pop_front();
  } else {
    shown.answer = script_.front().button;
    script_.pop_front();
  }
  shown_.push_back(shown);
  return shown.answer;
}

std::vector<ShownMessage> ScriptedMessageService::Unexpected() const {
  std::vector<ShownMessage> result;
  for (const ShownMessage& shown : shown_) {
    if (!shown.expected()) result.push_back(shown);
  }
  return result;
}

std::string ScriptedMessageService::Problems() const {
  std::string report;
  for (const ShownMessage& shown : shown_) {
    if (!shown.expected())
      report += "unexpected " + DescribeMessage(shown.request) + ": " + shown.problem + "\n";
  }
  for (const ScriptedAnswer& answer : script_) {
    report += "unused " + Describe(answer) + "\n";
  }
  return report;
}

void ScriptedMessageService::Clear() {
  script_.clear();
  shown_.clear();
}

}  // namespace ledora::runtime
