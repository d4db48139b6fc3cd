// Sends report pages to a printer of the system: the default one, or a
// queue named by the caller. The report runner flushes a report through it
// when the user prints from the preview, and `ledora print --printer` too.
#pragma once

#include <memory>
#include <string>

#include "runtime/report/page_output.h"

namespace ledora::runtime {

class PrinterOutput : public PageOutput {
 public:
  PrinterOutput();
  // A named print queue; blank: the default printer.
  explicit PrinterOutput(std::string queue);
  ~PrinterOutput() override;

  static bool HasDefaultPrinter();
  // Fails with "Printer not available" when there is no such printer.
  bool BeginDocument(const std::string& title) override;
  bool WritePage(const PageImage& page) override;
  bool EndDocument() override;

 private:
  struct Device;
  std::string queue_;
  std::unique_ptr<Device> device_;
};

}  // namespace ledora::runtime
