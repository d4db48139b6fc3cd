// Writes report pages into a PDF file with real, searchable text and the
// fonts embedded. Report procedures and the headless print command flush
// reports through it. The file is written through OutputFile: it appears
// under its name only when EndDocument has found every byte written; an
// output that fails or is destroyed before that leaves the target as it was.
// An output made to CommitLater keeps the finished file under its temporary
// name until Commit (a job that writes several files moves them all or
// none).
#pragma once

#include <memory>
#include <string>

#include "runtime/report/page_output.h"
#include "runtime/system/output_file.h"

namespace ledora::runtime {

class PdfOutput : public PageOutput {
 public:
  enum CommitWhen { CommitAtEnd, CommitLater };

  explicit PdfOutput(std::string fileName, CommitWhen when = CommitAtEnd);
  ~PdfOutput() override;

  // BeginDocument refuses a target OutputFile refuses, with its reason as
  // the runtime error's detail.
  bool BeginDocument(const std::string& title) override;
  bool WritePage(const PageImage& page) override;
  bool EndDocument() override;
  // For CommitLater, after EndDocument succeeded: moves the PDF into place.
  // False with the runtime error set otherwise.
  bool Commit();

 private:
  struct Device;
  bool Failed();

  std::string fileName_;
  OutputFile file_;
  std::unique_ptr<Device> device_;
  CommitWhen when_;
  bool ended_ = false;
};

}  // namespace ledora::runtime
