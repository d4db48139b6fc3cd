// An exclusive lock, seen by other processes, on a lock file beside an INI
// file: held by ini_file.cpp while it reads, changes and replaces the file, so
// that two stations changing settings at once both keep their change. The
// lock file goes with the lock; one left by a killed process blocks nobody.
#pragma once

#include <string>

namespace ledora::runtime {

class IniFileLock {
 public:
  // Waits for the lock of the INI file at path, at most `patience` seconds:
  // a settings write takes milliseconds and a killed holder's lock goes with
  // it, so a longer wait means a holder that hangs, or a second lock of the
  // same file in this process, which would otherwise wait forever. A folder
  // where no lock file can be made (missing, read-only, or without locks),
  // or a wait that ran out, gives an object that holds nothing; a write then
  // goes ahead unlocked rather than freeze the program.
  explicit IniFileLock(const std::string& path, double patience = 10);
  ~IniFileLock();
  IniFileLock(const IniFileLock&) = delete;
  IniFileLock& operator=(const IniFileLock&) = delete;

  bool locked() const { return locked_; }
  const std::string& lockPath() const { return lockPath_; }

  // The lock file's path for an INI file: letter case folded, so every name
  // by which the program reaches one file takes the same lock.
  static std::string LockPathFor(const std::string& path);

 private:
  bool Acquire(double patience);

  std::string lockPath_;
  int fd_ = -1;
  bool locked_ = false;
};

}  // namespace ledora::runtime
