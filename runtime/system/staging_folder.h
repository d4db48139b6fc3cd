// New files that must arrive together (the data files copy-data makes): they
// are made in a hidden folder beside their place and moved into it by
// Publish. Before Publish none of them is there; once Publish has begun, all
// of them will be, even if the process dies on the way, because the next
// start's sweep finishes what a marked folder began. An unpublished folder
// goes with the object, with its maker's signal handlers, or at the next
// sweep (runtime/system/temporaries.h).
#pragma once

#include <string>

namespace ledora::runtime {

class StagingFolder {
 public:
  StagingFolder() = default;
  ~StagingFolder();  // unpublished: removed with everything in it
  StagingFolder(const StagingFolder&) = delete;
  StagingFolder& operator=(const StagingFolder&) = delete;

  // A fresh folder inside parent; false with errno's text in error().
  bool Create(const std::string& parent);
  const std::string& path() const { return path_; }
  // Moves every file of the folder into the parent, over files of the same
  // names, except hidden ones (a storage connection's own files may live
  // there and go with the folder). The files must be closed and complete.
  bool Publish();
  std::string error() const { return error_; }

 private:
  std::string path_;
  int lock_ = -1;
  int slot_ = -1;
  std::string error_;
};

// Whether folder is a staging folder whose publishing began.
bool PublishingBegun(const std::string& folder);
// Moves the files of a staging folder whose publishing began into its
// parent and removes it. Publish and the sweep share it.
bool FinishPublishing(const std::string& folder);

}  // namespace ledora::runtime
