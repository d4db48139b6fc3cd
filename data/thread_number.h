// The number of the procedure thread the data layer is working for. File
// managers key their per-thread state on it. The data layer does not link the
// fiber scheduler; the program hands it the scheduler's accessor at start-up.
#pragma once

#include <cstdint>

namespace ledora::data {

using ThreadNumberSource = int32_t (*)();

// nullptr restores the default, which answers 1 (the main thread).
void SetThreadNumberSource(ThreadNumberSource source);
int32_t CurrentThreadNumber();

}  // namespace ledora::data
