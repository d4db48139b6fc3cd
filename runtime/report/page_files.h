// The spool of one report run: a private folder holding one file to which
// the finished pages' images are appended, each found again by its offset.
// One file per run, not one per page, because creating a file costs far more
// than appending to one. Everything it makes it removes again. The folder
// is a temporary (runtime/system/temporaries.h): a run ended by a signal
// removes it, and a killed one leaves it to the next start's sweep.
#pragma once

#include <cstdint>
#include <cstdio>
#include <memory>
#include <string>

#include "runtime/report/page_image.h"

namespace ledora::runtime {

class PageFiles {
 public:
  // A fresh folder inside parent (the temporary folder when blank);
  // null with the runtime error set when it cannot be made.
  static std::unique_ptr<PageFiles> Create(const std::string& parent);
  ~PageFiles();  // removes the spool, and the folder when nothing else is left in it
  PageFiles(const PageFiles&) = delete;
  PageFiles& operator=(const PageFiles&) = delete;

  const std::string& folder() const { return folder_; }
  const std::string& spoolName() const { return spool_; }

  // Appends page to the spool (made at the first page) and gives its offset.
  // False with the runtime error set when it cannot be written.
  bool Append(const PageImage& page, int64_t* offset);
  // Sets the length of the document of the page at offset, in place.
  // False with the runtime error set when it cannot be written.
  bool SetDocumentPages(int64_t offset, int32_t pages);
  // Drops every page appended so far; the next Append starts a new spool.
  void Clear();

 private:
  PageFiles(std::string folder, int lock);

  std::string folder_;
  int lock_;  // held open, so that sweeps know the folder is alive
  int slot_;
  std::string spool_;
  std::FILE* file_ = nullptr;
  int64_t size_ = 0;
  bool damaged_ = false;  // a failed page could not be cut off again
};

}  // namespace ledora::runtime
