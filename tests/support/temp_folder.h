// A fresh folder for one test, removed with everything in it afterwards.
#pragma once

#include <string>

namespace ledora::testing {

class TempFolder {
 public:
  // In parent, or else in the system's temporary folder.
  explicit TempFolder(const std::string& parent = "");
  ~TempFolder();
  TempFolder(const TempFolder&) = delete;
  TempFolder& operator=(const TempFolder&) = delete;

  const std::string& path() const { return path_; }
  std::string File(const std::string& name) const { return path_ + "/" + name; }

 private:
  std::string path_;
};

}  // namespace ledora::testing
