// The process-wide registry that pairs each data file with its one file
// manager. Managers register at initialisation and leave at shut-down; the
// view manager finds the managers of a view's files here, and the program
// tells them when a procedure thread ends.
#pragma once

#include <cstdint>
#include <vector>

#include "runtime/storage/data_file.h"

namespace ledora::data {

class FileManager;

class FileRegistry {
 public:
  struct Entry {
    const runtime::DataFile* FILELABEL;
    FileManager* FILEMANAGER;
  };

  void Add(const runtime::DataFile* file, FileManager* manager);
  void Remove(const FileManager* manager);
  FileManager* Find(const runtime::DataFile* file) const;  // nullptr when none is registered
  const std::vector<Entry>& entries() const { return entries_; }

  // Frees what the ended thread left in every manager.
  void ThreadEnded(int32_t thread);

 private:
  std::vector<Entry> entries_;
};

FileRegistry& FileManagers();

}  // namespace ledora::data
