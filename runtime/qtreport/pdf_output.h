// Writes report pages into a PDF file with real, searchable text and the
// fonts embedded. Report procedures and the headless print command flush
// reports through it. The file is written through OutputFile: it appears
// under its name only when EndDocument has found every byte written; an
// output that fails or is destroyed before that leaves the target as it was.
#pragma once

#include <memory>
#include <string>

#include "runtime/report/page_output.h"
#include "runtime/system/output_file.h"

namespace ledora::runtime {

class PdfOutput : public PageOutput {
 public:
  explicit PdfOutput(std::string fileName);
  ~PdfOutput() override;

  // BeginDocument refuses a target OutputFile refuses, with its reason as
  // the runtime error's detail.
  bool BeginDocument(const std::string& title) override;
  bool WritePage(const PageImage& page) override;
  bool EndDocument() override;

 private:
  struct Device;
  bool Failed();

  std::string fileName_;
  OutputFile file_;
  std::unique_ptr<Device> device_;
};

}  // namespace ledora::runtime
