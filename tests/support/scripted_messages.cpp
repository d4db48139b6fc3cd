#include "tests/support/scripted_messages.h"

#include <gtest/gtest.h>

namespace ledora::testing {

ScriptedMessages::ScriptedMessages() : previous_(&runtime::Messages()) {
  runtime::SetMessageService(&service_);
}

ScriptedMessages::~ScriptedMessages() {
  if (!verified_) Verify();
  runtime::SetMessageService(previous_);
}

void ScriptedMessages::Expect(const std::string& caption, const std::string& textFragment,
                              uint32_t button) {
  service_.Expect(caption, textFragment, button);
}

void ScriptedMessages::ExpectAny(uint32_t button) { service_.ExpectAny(button); }

bool ScriptedMessages::Verify() {
  verified_ = true;
  std::string problems = service_.Problems();
  if (problems.empty()) return true;
  ADD_FAILURE() << "message boxes did not go as scripted:\n" << problems;
  return false;
}

const runtime::ShownMessage& ScriptedMessages::last() const {
  static const runtime::ShownMessage kNone;
  if (service_.shown().empty()) {
    ADD_FAILURE() << "no message box was shown";
    return kNone;
  }
  return service_.shown().back();
}

}  // namespace ledora::testing
