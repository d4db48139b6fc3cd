// Writes report pages into a PDF file with real, searchable text and the
// fonts embedded. Report procedures and the headless print command flush
// reports through it.
#pragma once

#include <memory>
#include <string>

#include "runtime/report/page_output.h"

namespace ledora::runtime {

class PdfOutput : public PageOutput {
 public:
  explicit PdfOutput(std::string fileName);
  ~PdfOutput() override;

  bool BeginDocument(const std::string& title) override;
  bool WritePage(const PageImage& page) override;
  bool EndDocument() override;

 private:
  struct Device;
  std::string fileName_;
  std::unique_ptr<Device> device_;
};

}  // namespace ledora::runtime
