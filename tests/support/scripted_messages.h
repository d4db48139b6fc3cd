// Scripted message boxes for one test: installs a ScriptedMessageService for
// its lifetime and fails the test when a box came that nobody scripted or a
// scripted answer was never used.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "runtime/system/scripted_message_service.h"

namespace ledora::testing {

class ScriptedMessages {
 public:
  ScriptedMessages();
  ~ScriptedMessages();  // verifies, unless Verify already ran
  ScriptedMessages(const ScriptedMessages&) = delete;
  ScriptedMessages& operator=(const ScriptedMessages&) = delete;

  // Answers the next box, which must have this caption (empty: any) and
  // contain textFragment.
  void Expect(const std::string& caption, const std::string& textFragment, uint32_t button);
  void ExpectAny(uint32_t button);

  // Adds a test failure for each unexpected box and unused answer; true when
  // there were none.
  bool Verify();

  const std::vector<runtime::ShownMessage>& shown() const { return service_.shown(); }
  const runtime::ShownMessage& last() const;  // fails the test when none was shown
  runtime::ScriptedMessageService& service() { return service_; }

 private:
  runtime::ScriptedMessageService service_;
  runtime::MessageService* previous_;
  bool verified_ = false;
};

}  // namespace ledora::testing
