#include "data/thread_number.h"

namespace ledora::data {

namespace {

int32_t MainThread() { return 1; }

ThreadNumberSource source_ = MainThread;

}  // namespace

void SetThreadNumberSource(ThreadNumberSource source) {
  source_ = source != nullptr ? source : MainThread;
}

int32_t CurrentThreadNumber() { return source_(); }

}  // namespace ledora::data
