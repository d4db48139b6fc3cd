#include "runtime/storage/folder_lock.h"

#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

#include <cerrno>
#include <filesystem>

namespace ledora::runtime {

FolderLock::FolderLock(const std::string& filePath) {
  std::filesystem::path folder = std::filesystem::path(filePath).parent_path();
  if (folder.empty()) folder = ".";
  fd_ = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (fd_ < 0) return;
  int rc;
  do {
    rc = ::flock(fd_, LOCK_EX);
  } while (rc != 0 && errno == EINTR);
  locked_ = rc == 0;
}

// Closing the folder's descriptor lets the lock go; it touches no lock on
// the files inside.
FolderLock::~FolderLock() {
  if (fd_ >= 0) ::close(fd_);
}

}  // namespace ledora::runtime
