#include "runtime/system/process_start.h"

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <csignal>
#include <cstdlib>
#include <cstring>
#include <string>

#include "runtime/system/temporaries.h"

namespace ledora::runtime {

void PrepareProcess() {
  for (int fd = 0; fd <= 2; ++fd) {
    if (::fcntl(fd, F_GETFD) != -1 || errno != EBADF) continue;
    int opened = ::open("/dev/null", O_RDONLY);
    // open takes the lowest free number, which is fd itself.
    if (opened >= 0 && opened != fd) {
      ::dup2(opened, fd);
      ::close(opened);
    }
  }
  std::signal(SIGPIPE, SIG_IGN);
  std::signal(SIGXFSZ, SIG_IGN);
  RemoveTemporariesOnSignals();
  const char* named = std::getenv("TMPDIR");
  std::string usable = TemporaryFolder();
  if (named != nullptr && usable != named) ::setenv("TMPDIR", usable.c_str(), 1);
}

void SweepLeftovers() {
  SweepTemporaries(".");
  SweepTemporaries(TemporaryFolder());
}

}  // namespace ledora::runtime
