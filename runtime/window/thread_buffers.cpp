#include "runtime/window/thread_buffers.h"

#include <algorithm>
#include <cstring>

namespace ledora::runtime {

void ThreadBuffers::Register(void* address, size_t size) {
  Unregister(address);
  Buffer buffer{address, size, {}, {}};
  auto* bytes = static_cast<unsigned char*>(address);
  buffer.initial.assign(bytes, bytes + size);
  buffers_.push_back(std::move(buffer));
}

void ThreadBuffers::Unregister(void* address) {
  std::erase_if(buffers_, [address](const Buffer& b) { return b.address == address; });
}

void ThreadBuffers::SwitchTo(int32_t thread) {
  if (thread == resident_) return;
  for (Buffer& buffer : buffers_) {
    auto* bytes = static_cast<unsigned char*>(buffer.address);
    // An ended thread (resident 0) leaves nothing worth keeping.
    if (resident_ != 0) buffer.copies[resident_].assign(bytes, bytes + buffer.size);
    auto it = buffer.copies.find(thread);
    const std::vector<unsigned char>& source =
        it != buffer.copies.end() ? it->second : buffer.initial;
    std::memcpy(bytes, source.data(), buffer.size);
  }
  resident_ = thread;
}

void ThreadBuffers::Release(int32_t thread) {
  for (Buffer& buffer : buffers_) buffer.copies.erase(thread);
  if (resident_ == thread) resident_ = 0;
}

}  // namespace ledora::runtime
