// An exclusive lock on the folder of a file, held while a station makes
// files that belong there (start-up's shipped design files), so that two
// stations starting at once never make the same files together: the second
// waits, then finds them made. Other processes see it; it goes with the
// object.
#pragma once

#include <string>

namespace ledora::runtime {

class FolderLock {
 public:
  // Waits for the lock on the folder that holds filePath. A folder that
  // cannot be locked (missing, or its file system has no locks) gives an
  // object that holds nothing.
  explicit FolderLock(const std::string& filePath);
  ~FolderLock();
  FolderLock(const FolderLock&) = delete;
  FolderLock& operator=(const FolderLock&) = delete;

  bool locked() const { return locked_; }

 private:
  int fd_ = -1;
  bool locked_ = false;
};

}  // namespace ledora::runtime
