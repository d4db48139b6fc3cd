// Sends report pages to a printer queue, or to the system's default printer.
// The report runner flushes a report through it when the user prints from
// the preview.
#pragma once

#include <memory>
#include <string>

#include "runtime/report/page_output.h"

namespace ledora::runtime {

class PrinterOutput : public PageOutput {
 public:
  // printer: a queue name; blank = the system's default printer.
  explicit PrinterOutput(std::string printer = {});
  ~PrinterOutput() override;

  static bool HasDefaultPrinter();
  // Fails with "Printer not available" when there is no such printer.
  bool BeginDocument(const std::string& title) override;
  bool WritePage(const PageImage& page) override;
  bool EndDocument() override;

 private:
  struct Device;
  std::string printer_;
  std::unique_ptr<Device> device_;
};

}  // namespace ledora::runtime
