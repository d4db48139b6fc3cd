#include "runtime/ini/ini_file_lock.h"

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <filesystem>
#include <thread>

#include "runtime/system/ascii_case.h"

namespace ledora::runtime {

std::string IniFileLock::LockPathFor(const std::string& path) {
  std::filesystem::path file(path);
  std::string name = AsciiLower(file.filename().string());
  return (file.parent_path() / ("." + name + ".lock")).string();
}

namespace {

// Polls rather than blocks, so that the wait can end.
bool WaitForLock(int fd, double patience) {
  auto until = std::chrono::steady_clock::now() + std::chrono::duration<double>(patience);
  for (;;) {
    if (::flock(fd, LOCK_EX | LOCK_NB) == 0) return true;
    if (errno != EWOULDBLOCK && errno != EINTR) return false;
    if (std::chrono::steady_clock::now() >= until) return false;
    std::this_thread::sleep_for(std::chrono::milliseconds(5));
  }
}

}  // namespace

IniFileLock::IniFileLock(const std::string& path, double patience) : lockPath_(LockPathFor(path)) {
  // A bounded number of tries: each retry means another station finished
  // with the lock in between, so running out only drops the lock.
  for (int attempt = 0; attempt < 100 && !locked_; ++attempt) {
    if (!Acquire(patience)) return;
  }
}

// The lock file is removed before it is let go: a station that was waiting
// on it then finds it no longer in the folder and takes the next one.
IniFileLock::~IniFileLock() {
  if (fd_ < 0) return;
  if (locked_) ::unlink(lockPath_.c_str());
  ::close(fd_);
}

// False when no lock can be had at all; true with locked_ unset when the
// lock file was removed by its previous holder while this one waited.
bool IniFileLock::Acquire(double patience) {
  fd_ = ::open(lockPath_.c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0644);
  if (fd_ < 0) return false;
  if (!WaitForLock(fd_, patience)) {
    ::close(fd_);
    fd_ = -1;
    return false;
  }
  struct stat held, named;
  if (::fstat(fd_, &held) == 0 && ::stat(lockPath_.c_str(), &named) == 0 &&
      held.st_dev == named.st_dev && held.st_ino == named.st_ino) {
    locked_ = true;
    return true;
  }
  ::close(fd_);
  fd_ = -1;
  return true;
}

}  // namespace ledora::runtime
