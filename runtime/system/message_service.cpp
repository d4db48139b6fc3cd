#include "runtime/system/message_service.h"

#include <cstdio>

namespace ledora::runtime {

namespace {

// Before a presenter is up (or in a headless job) there is nobody to ask, so
// the message goes to stderr and the caller gets the answer it proposed.
class FallbackMessageService : public MessageService {
 public:
  uint32_t Show(const MessageRequest& request) override {
    std::fprintf(stderr, "[%s] %s\n", request.caption.c_str(), request.text.c_str());
    return request.defaultButton;
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

MessageService& Messages() {
  MessageService* installed = Installed();
  return installed != nullptr ? *installed : Fallback();
}

void SetMessageService(MessageService* service) { Installed() = service; }

}  // namespace ledora::runtime
