// Message boxes on screen. A procedure thread that asks waits for the answer
// while the Qt event loop goes on (no nested loop); the presenter installs
// it as the process's message service.
#pragma once

#include "runtime/system/message_service.h"

class QWidget;

namespace ledora::runtime {

class QtMessageService : public MessageService {
 public:
  uint32_t Show(const MessageRequest& request) override;
};

}  // namespace ledora::runtime
