#include "data/file_registry.h"

#include <algorithm>

#include "data/file_manager.h"

namespace ledora::data {

void FileRegistry::Add(const runtime::DataFile* file, FileManager* manager) {
  Remove(manager);
  entries_.push_back({file, manager});
}

void FileRegistry::Remove(const FileManager* manager) {
  std::erase_if(entries_, [&](const Entry& e) { return e.FILEMANAGER == manager; });
}

FileManager* FileRegistry::Find(const runtime::DataFile* file) const {
  for (const Entry& e : entries_) {
    if (e.FILELABEL == file) return e.FILEMANAGER;
  }
  // A view on a later thread names that thread's own copy of the file.
  for (const Entry& e : entries_) {
    if (e.FILEMANAGER->UsesFile(file)) return e.FILEMANAGER;
  }
  return nullptr;
}

void FileRegistry::ThreadEnded(int32_t thread) {
  for (const Entry& e : entries_) e.FILEMANAGER->ThreadEnded(thread);
}

FileRegistry& FileManagers() {
  static FileRegistry registry;
  return registry;
}

}  // namespace ledora::data
