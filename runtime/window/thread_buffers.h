// Record buffers declared per thread: each procedure thread sees its own copy
// at the one fixed address. The scheduler swaps the copies when it switches
// threads; the data layer registers the buffers of its per-thread files.
#pragma once

#include <cstddef>
#include <cstdint>
#include <map>
#include <vector>

namespace ledora::runtime {

class ThreadBuffers {
 public:
  // The buffer's bytes now are what every new thread starts with.
  void Register(void* address, size_t size);
  void Unregister(void* address);
  // Puts thread's copies into the buffers, keeping the resident thread's.
  void SwitchTo(int32_t thread);
  // Forgets an ended thread's copies, so a thread reusing its number starts fresh.
  void Release(int32_t thread);
  int32_t resident() const { return resident_; }

 private:
  struct Buffer {
    void* address;
    size_t size;
    std::vector<unsigned char> initial;
    std::map<int32_t, std::vector<unsigned char>> copies;
  };
  std::vector<Buffer> buffers_;
  int32_t resident_ = 1;
};

}  // namespace ledora::runtime
