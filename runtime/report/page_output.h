// Where printed pages go: a printer, a PDF file, a text dump. Report::Flush
// sends its queued pages through one; the Qt renderers and TextDump
// implement it.
#pragma once

#include <string>

#include "runtime/report/page_image.h"

namespace ledora::runtime {

class PageOutput {
 public:
  virtual ~PageOutput() = default;
  // Each returns false on failure, with the runtime error set.
  virtual bool BeginDocument(const std::string& title) = 0;
  virtual bool WritePage(const PageImage& page) = 0;
  virtual bool EndDocument() = 0;
};

}  // namespace ledora::runtime
