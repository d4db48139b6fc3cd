// Where an export writes its CSV when given a file: never over a file the
// program keeps, and never a partial file in place of a whole one.
#pragma once

#include <cstdio>
#include <string>
#include <string_view>

namespace ledora::app {

// True when path is, or would become, a data or settings file of the data
// folder (the current folder): its .KDS and .KDB files with their journals
// and its two INI files, whatever the spelling, letter case or links that
// lead there.
bool IsDataFolderFile(const std::string& path);

// Writes under a temporary name beside the target and renames it into place
// only on Commit; destroyed uncommitted, it leaves the target as it was. A
// target that is not a regular file (a device, a pipe) is written in place.
class ExportTarget {
 public:
  ExportTarget() = default;
  ~ExportTarget();
  ExportTarget(const ExportTarget&) = delete;
  ExportTarget& operator=(const ExportTarget&) = delete;

  // Each false once anything failed; error() then says what.
  bool Open(const std::string& path);
  bool Write(std::string_view bytes);  // after a failure, writes are dropped
  bool Commit();
  std::string error() const;

 private:
  bool Fail(int code);

  std::string path_;
  std::string temporary_;  // empty when written in place
  std::FILE* file_ = nullptr;
  int errno_ = 0;
};

}  // namespace ledora::app
