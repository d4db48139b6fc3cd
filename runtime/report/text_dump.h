// Renders pages as plain text: one block per page, text lines in reading
// order (top to bottom, left to right on a line), check boxes as "[x]" or
// "[ ]" and images as "[image NAME]". Tests read reports through it.
#pragma once

#include <string>

#include "runtime/report/page_output.h"

namespace ledora::runtime {

class TextDump : public PageOutput {
 public:
  // The text of one page, without the page separator line.
  static std::string PageText(const PageImage& page);

  bool BeginDocument(const std::string& title) override;
  bool WritePage(const PageImage& page) override;  // "--- page N ---" then the text
  bool EndDocument() override { return true; }

  const std::string& text() const { return text_; }
  int pages() const { return pages_; }

 private:
  std::string text_;
  int pages_ = 0;
};

}  // namespace ledora::runtime
