// Message boxes as a service of the runtime. The error reporter, the
// framework and the designer ask through this interface; the Qt presenter
// shows real boxes, tests script the answers with ScriptedMessageService.
#pragma once

#include <cstdint>
#include <string>

namespace ledora::runtime {

// Button bits; Show returns the one pressed.
enum MessageButton : uint32_t {
  ButtonOk = 1,
  ButtonYes = 2,
  ButtonNo = 4,
  ButtonAbort = 8,
  ButtonRetry = 16,
  ButtonIgnore = 32,
  ButtonCancel = 64,
  ButtonHelp = 128,
};

// The icons of a message box, by their Windows numbers.
enum MessageIcon : int32_t {
  IconNone = 0,
  IconHand = 32513,
  IconQuestion = 32514,
  IconExclamation = 32515,  // warning
  IconAsterisk = 32516,     // information
};

struct MessageRequest {
  std::string text;     // Windows-1252; "|" is not special here
  std::string caption;  // the box's title
  int32_t icon = IconNone;
  uint32_t buttons = ButtonOk;
  uint32_t defaultButton = ButtonOk;
};

class MessageService {
 public:
  virtual ~MessageService() = default;
  virtual uint32_t Show(const MessageRequest& request) = 0;
};

// The answer when nobody is there to give one (a headless job): a question
// takes its failure path (Cancel, else No), since its Yes would only ask the
// same question again, for ever.
uint32_t UnattendedAnswer(const MessageRequest& request);

// The service every message goes through. Until a presenter installs one,
// messages go to a service that prints to stderr and answers the default.
MessageService& Messages();
void SetMessageService(MessageService* service);  // nullptr restores the fallback

}  // namespace ledora::runtime
