// Reads page image files back for the preview, the printer and PDF. Every
// length, count and index is checked against the bytes present, so a damaged
// or truncated file is refused with a clear error, never read out of bounds.
#pragma once

#include <cstdint>
#include <cstdio>
#include <memory>
#include <string>
#include <string_view>

#include "runtime/report/page_image.h"
#include "runtime/report/preview_queue.h"

namespace ledora::runtime {

class PageImageReader {
 public:
  // False with error saying what is wrong; page is then unspecified.
  static bool Decode(std::string_view bytes, PageImage* page, std::string* error);
  // As Decode, and also sets the runtime error (527 or file not found).
  static bool ReadFile(const std::string& fileName, PageImage* page, std::string* error = nullptr);
  // As ReadFile, for the page image starting at offset in a file of several
  // (a report's spool); the bytes after the page are the next pages.
  static bool ReadAt(const std::string& fileName, int64_t offset, PageImage* page,
                     std::string* error = nullptr);
  // The same on a file already open, for reading many pages of one spool.
  static bool ReadAt(FILE* file, const std::string& fileName, int64_t offset, PageImage* page,
                     std::string* error = nullptr);
};

// Reads queued pages in turn, keeping open the spool they share rather than
// opening it again for every page.
class PageQueueReader {
 public:
  bool Read(const PreviewQueueEntry& entry, PageImage* page, std::string* error = nullptr);

 private:
  std::string fileName_;
  std::unique_ptr<FILE, int (*)(FILE*)> file_{nullptr, &std::fclose};
};

}  // namespace ledora::runtime
