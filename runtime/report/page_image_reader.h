// Reads page image files back for the preview, the printer and PDF. Every
// length, count and index is checked against the bytes present, so a damaged
// or truncated file is refused with a clear error, never read out of bounds.
#pragma once

#include <string>
#include <string_view>

#include "runtime/report/page_image.h"

namespace ledora::runtime {

class PageImageReader {
 public:
  // False with error saying what is wrong; page is then unspecified.
  static bool Decode(std::string_view bytes, PageImage* page, std::string* error);
  // As Decode, and also sets the runtime error (527 or file not found).
  static bool ReadFile(const std::string& fileName, PageImage* page, std::string* error = nullptr);
};

}  // namespace ledora::runtime
