// `ledora`, the command users type, is the jobs program: it links neither
// Qt nor libpq, so a job on the data folder's files starts as fast as the
// sqlite3 shell. What needs more goes to a companion program, which takes
// its place (same process, same arguments): the windows and printing to
// ledora-full, jobs on a PostgreSQL database to ledora-server-jobs (libpq
// without Qt). They lie beside `ledora` in the build, and in the installed
// libexec folder.
#pragma once

#include <string>

namespace ledora::app {

inline constexpr char kFullProgram[] = "ledora-full";
inline constexpr char kServerJobsProgram[] = "ledora-server-jobs";

// The companion's path; empty when it is in neither place.
std::string FindCompanion(const char* name);

// Replaces this process by the named companion with argv as it is. Returns
// only when that fails, with JobFailed after a message that names it.
int HandOver(const char* name, char** argv);

}  // namespace ledora::app
