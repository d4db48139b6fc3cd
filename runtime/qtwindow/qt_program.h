// Runs a program's main procedure with real windows: makes the Qt
// application, the scheduler and the Qt presenter, runs main as the first
// procedure thread and returns when it has ended. The ledora program's
// main() uses it, so no Qt type reaches the application's code.
#pragma once

#include <cstddef>

#include "runtime/window/scheduler.h"

namespace ledora::runtime {

// argc and argv as main() got them; Qt takes its own options out of them.
int RunWithQt(int& argc, char** argv, Procedure main, size_t stackSize = 0);

}  // namespace ledora::runtime
