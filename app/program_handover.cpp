#include "app/program_handover.h"

#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <filesystem>

#include "app/job.h"
#include "app/program_place.h"

namespace ledora::app {

std::string FindCompanion(const char* name) {
  return FindFromProgram({name, std::filesystem::path(LEDORA_INSTALLED_COMPANIONS) / name});
}

int HandOver(const char* name, char** argv) {
  std::string program = FindCompanion(name);
  if (program.empty()) {
    std::fprintf(stderr, "ledora: this command needs %s, which is not installed beside ledora\n",
                 name);
    return JobFailed;
  }
  std::fflush(nullptr);
  ::execv(program.c_str(), argv);
  std::fprintf(stderr, "ledora: cannot start %s: %s\n", program.c_str(), std::strerror(errno));
  return JobFailed;
}

}  // namespace ledora::app
