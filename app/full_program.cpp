#include "app/full_program.h"

#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstring>

#include "app/job.h"
#include "app/program_place.h"

namespace ledora::app {

std::string FindFullProgram() {
  return FindFromProgram({kFullProgramName, LEDORA_INSTALLED_FULL_PROGRAM});
}

int RunFullProgram(char** argv) {
  std::string program = FindFullProgram();
  if (program.empty()) {
    std::fprintf(stderr,
                 "ledora: the windows, printing and PostgreSQL need %s, which is not installed "
                 "beside this program\n",
                 kFullProgramName);
    return JobFailed;
  }
  std::fflush(nullptr);
  ::execv(program.c_str(), argv);
  std::fprintf(stderr, "ledora: cannot start %s: %s\n", program.c_str(), std::strerror(errno));
  return JobFailed;
}

}  // namespace ledora::app
