// The folder of one report run's page image files: hands out file names and
// removes the files and the folder again. Report uses one per run.
#pragma once

#include <cstdint>
#include <memory>
#include <string>

namespace ledora::runtime {

class PageFiles {
 public:
  // A fresh folder inside parent (the system's temp folder when blank);
  // null with the runtime error set when it cannot be made.
  static std::unique_ptr<PageFiles> Create(const std::string& parent);
  ~PageFiles();  // removes the folder when nothing else is left in it

  const std::string& folder() const { return folder_; }
  std::string NextName();
  static void Remove(const std::string& fileName);

 private:
  explicit PageFiles(std::string folder) : folder_(std::move(folder)) {}

  std::string folder_;
  int32_t next_ = 1;
};

}  // namespace ledora::runtime
