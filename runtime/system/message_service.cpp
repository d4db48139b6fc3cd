#include "runtime/system/message_service.h"

#include <cstdio>

namespace ledora::runtime {

namespace {

// Before a presenter is up (or in a headless job) there is nobody to ask, so
// the message goes to stderr.
class FallbackMessageService : public MessageService {
 public:
  uint32_t Show(const MessageRequest& request) override {
    std::fprintf(stderr, "[%s] %s\n", request.caption.c_str(), request.text.c_str());
    return UnattendedAnswer(request);
  }
};

FallbackMessageService& Fallback() {
  static FallbackMessageService fallback;
  return fallback;
}

MessageService*& Installed() {
  static MessageService* installed = nullptr;
  return installed;
}

}  // namespace

uint32_t UnattendedAnswer(const MessageRequest& request) {
  if (request.buttons & ButtonCancel) return ButtonCancel;
  if (request.buttons & ButtonNo) return ButtonNo;
  return request.defaultButton;
}

MessageService& Messages() {
  MessageService* installed = Installed();
  return installed != nullptr ? *installed : Fallback();
}

void SetMessageService(MessageService* service) { Installed() = service; }

}  // namespace ledora::runtime
