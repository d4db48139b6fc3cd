// The folder of one report run's page image files: hands out file names and
// removes the files and the folder again. Report uses one per run. The
// folder is a temporary (runtime/system/temporaries.h): a run ended by a
// signal removes it, and a killed one leaves it to the next start's sweep.
#pragma once

#include <cstdint>
#include <memory>
#include <string>

namespace ledora::runtime {

class PageFiles {
 public:
  // A fresh folder inside parent (the temporary folder when blank);
  // null with the runtime error set when it cannot be made.
  static std::unique_ptr<PageFiles> Create(const std::string& parent);
  ~PageFiles();  // removes the folder when nothing else is left in it

  const std::string& folder() const { return folder_; }
  std::string NextName();
  static void Remove(const std::string& fileName);

 private:
  PageFiles(std::string folder, int lock);

  std::string folder_;
  int lock_;  // held open, so that sweeps know the folder is alive
  int slot_;
  int32_t next_ = 1;
};

}  // namespace ledora::runtime
