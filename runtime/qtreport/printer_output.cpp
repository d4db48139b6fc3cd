#include "runtime/qtreport/printer_output.h"

#include <QPrinter>
#include <QPrinterInfo>

#include "runtime/qtreport/paged_device_writer.h"
#include "runtime/qtreport/qt_report_types.h"
#include "runtime/report/report_error.h"

namespace ledora::runtime {

struct PrinterOutput::Device {
  explicit Device(const QPrinterInfo& info)
      : printer(info, QPrinter::HighResolution), pages(&printer) {}
  QPrinter printer;
  PagedDeviceWriter pages;
};

PrinterOutput::PrinterOutput(std::string printer) : printer_(std::move(printer)) {}

PrinterOutput::~PrinterOutput() = default;

bool PrinterOutput::HasDefaultPrinter() { return !QPrinterInfo::defaultPrinter().isNull(); }

bool PrinterOutput::BeginDocument(const std::string& title) {
  QPrinterInfo info = printer_.empty() ? QPrinterInfo::defaultPrinter()
                                       : QPrinterInfo::printerInfo(ToQString(printer_));
  if (info.isNull()) {
    SetReportError(ErrorPrinterNotAvailable,
                   printer_.empty() ? "no printer is installed" : "no printer named " + printer_);
    return false;
  }
  device_ = std::make_unique<Device>(info);
  device_->printer.setFullPage(true);
  device_->printer.setDocName(ToQString(title));
  return true;
}

bool PrinterOutput::WritePage(const PageImage& page) {
  if (!device_) {
    SetReportError(ErrorPrintFailed, "no document begun");
    return false;
  }
  return device_->pages.Write(page);
}

bool PrinterOutput::EndDocument() {
  if (!device_) return true;
  bool ok = device_->pages.Finish();
  device_.reset();
  return ok;
}

}  // namespace ledora::runtime
