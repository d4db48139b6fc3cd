#include "runtime/qtreport/page_queue_print.h"

#include <QPrinterInfo>

#include "runtime/qtreport/pdf_output.h"
#include "runtime/qtreport/printer_output.h"
#include "runtime/report/page_queue_output.h"
#include "runtime/system/runtime_error.h"

namespace ledora::runtime {

namespace {

bool Write(const PreviewQueue& pages, PageOutput& output, const std::string& title,
           std::string* error) {
  ClearError();
  if (WritePageQueue(pages, output, title)) return true;
  if (error != nullptr) {
    const ErrorState& state = CurrentError();
    *error = state.fileErrorText.empty() ? state.text : state.fileErrorText;
  }
  return false;
}

}  // namespace

bool PrintPageQueue(const PreviewQueue& pages, const std::string& printer, const std::string& title,
                    std::string* error) {
  PrinterOutput output(printer);
  return Write(pages, output, title, error);
}

bool SavePageQueueAsPdf(const PreviewQueue& pages, const std::string& fileName,
                        const std::string& title, std::string* error) {
  PdfOutput output(fileName);
  return Write(pages, output, title, error);
}

std::string DefaultPrinterName() {
  return QPrinterInfo::defaultPrinter().printerName().toStdString();
}

}  // namespace ledora::runtime
