// The guarded open of the designer's tables: a locked file is retried once
// after a lock-recovery wait, a damaged key file is rebuilt on request, a
// missing file is created when allowed, and whatever still fails becomes a
// standard warning and a halt. The design database opens every table for
// its first user through it.
#pragma once

#include <cstdint>

#include "runtime/storage/data_file.h"

namespace ledora::designer {

// The seconds of lock recovery granted to the one retry.
inline constexpr int kGuardedOpenRecoverSeconds = 10;

// Opens file in mode; true when it is open (also when it already was).
// Every false has shown its warning and asked the program to halt (which
// a test's halt handler may intercept).
bool GuardedOpen(runtime::DataFile& file, uint8_t mode = runtime::OpenReadWriteShared,
                 bool create = false);

}  // namespace ledora::designer
