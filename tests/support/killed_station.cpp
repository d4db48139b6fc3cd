#include "tests/support/killed_station.h"

#include <gtest/gtest.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>

namespace ledora::testing {

std::string StationProgram(const std::string& name) {
  return (std::filesystem::read_symlink("/proc/self/exe").parent_path() / name).string();
}

int RunStationKilledAtSync(const std::string& station, const std::string& folder,
                           const std::string& temp, int sync) {
  std::string inject = "inject=fdatasync:signal=SIGKILL:when=" + std::to_string(sync);
  pid_t child = fork();
  if (child == 0) {
    if (chdir(folder.c_str()) != 0) _exit(126);
    setenv("TMPDIR", temp.c_str(), 1);
    // LeakSanitizer cannot work under ptrace and would fail the station's end.
    const char* asan = getenv("ASAN_OPTIONS");
    std::string options = std::string(asan != nullptr ? asan : "") + ":detect_leaks=0";
    setenv("ASAN_OPTIONS", options.c_str(), 1);
    if (sync > 0) {
      execlp("strace", "strace", "-f", "-qq", "-o", "/dev/null", "-e", "trace=fdatasync", "-e",
             inject.c_str(), station.c_str(), static_cast<char*>(nullptr));
    } else {
      execl(station.c_str(), station.c_str(), static_cast<char*>(nullptr));
    }
    _exit(127);
  }
  int status = -1;
  waitpid(child, &status, 0);
  return status;
}

int KillAtEachSync(const std::function<int(int sync)>& run, const std::function<void()>& afterKill,
                   int mostSyncs) {
  for (int sync = 1; sync <= mostSyncs; ++sync) {
    int status = run(sync);
    if (WIFEXITED(status) && WEXITSTATUS(status) == 0) return sync - 1;  // no syncth sync
    SCOPED_TRACE("killed at fdatasync " + std::to_string(sync));
    if (!WIFSIGNALED(status) || WTERMSIG(status) != SIGKILL) {
      ADD_FAILURE() << "the station ended with status " << status;
      return -1;
    }
    afterKill();
    if (::testing::Test::HasFatalFailure()) return -1;
  }
  ADD_FAILURE() << "the station never ended";
  return -1;
}

}  // namespace ledora::testing
