// A message service without a screen: answers come from a script written in
// advance and every box asked for is recorded. Tests and headless jobs install
// it so that a procedure's questions get known answers and can be checked.
#pragma once

#include <cstddef>
#include <cstdint>
#include <deque>
#include <string>
#include <vector>

#include "runtime/system/message_service.h"

namespace ledora::runtime {

// One scripted answer. An empty caption or text fragment matches any box.
struct ScriptedAnswer {
  std::string caption;       // the whole caption, compared exactly
  std::string textFragment;  // must occur somewhere in the text
  uint32_t button = ButtonOk;
};

// A box that was shown, with the answer given.
struct ShownMessage {
  MessageRequest request;
  uint32_t answer = 0;
  // Empty when a scripted answer matched; otherwise why the box was not
  // expected (it was then answered with its default button).
  std::string problem;

  bool expected() const { return problem.empty(); }
};

class ScriptedMessageService : public MessageService {
 public:
  // Answers are used in the order they were scripted; a box that does not
  // match the next answer leaves it waiting for a later box.
  void Expect(std::string caption, std::string textFragment, uint32_t button);
  void ExpectAny(uint32_t button);  // the next box, whatever it says

  uint32_t Show(const MessageRequest& request) override;

  const std::vector<ShownMessage>& shown() const { return shown_; }
  std::vector<ShownMessage> Unexpected() const;
  const std::deque<ScriptedAnswer>& unused() const { return script_; }
  // Empty when every box was expected and every answer used; else a report
  // naming each problem, one per line.
  std::string Problems() const;
  void Clear();

 private:
  std::deque<ScriptedAnswer> script_;
  std::vector<ShownMessage> shown_;
};

// One line naming caption, text, icon, buttons and default, for test reports.
std::string DescribeMessage(const MessageRequest& request);

}  // namespace ledora::runtime
