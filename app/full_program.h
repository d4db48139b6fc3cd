// `ledora`, the command users type, is the jobs program: it links neither
// Qt nor libpq, so a job on the data folder's files starts as fast as the
// sqlite3 shell. The windows, printing and work on a PostgreSQL database
// belong to the full program, ledora-full, which takes the jobs program's
// place (same process, same arguments) when one of them is asked for. It
// lies beside `ledora` in the build, and in the installed libexec folder.
#pragma once

#include <string>

namespace ledora::app {

inline constexpr char kFullProgramName[] = "ledora-full";

// The full program's path; empty when it is in neither place.
std::string FindFullProgram();

// Replaces this process by the full program with argv as it is. Returns
// only when that fails, with JobFailed after a message that names it.
int RunFullProgram(char** argv);

}  // namespace ledora::app
