#include "runtime/qtreport/pdf_output.h"

#include <QFile>
#include <QPdfWriter>

#include "runtime/qtreport/paged_device_writer.h"
#include "runtime/qtreport/pdf_subset_names.h"
#include "runtime/qtreport/qt_report_types.h"
#include "runtime/report/report_error.h"

namespace ledora::runtime {

struct PdfOutput::Device {
  explicit Device(const QString& path) : writer(path), pages(&writer) {}
  QPdfWriter writer;
  PagedDeviceWriter pages;
};

PdfOutput::PdfOutput(std::string fileName) : fileName_(std::move(fileName)) {}

PdfOutput::~PdfOutput() = default;

bool PdfOutput::BeginDocument(const std::string& title) {
  QString path = QString::fromStdString(fileName_);
  // The writer opens its file only at the first page; find out now instead.
  QFile probe(path);
  if (!probe.open(QIODevice::WriteOnly)) {
    SetReportError(ErrorPrintFailed, "cannot write " + fileName_);
    return false;
  }
  probe.close();
  device_ = std::make_unique<Device>(path);
  device_->writer.setTitle(ToQString(title));
  device_->writer.setCreator(QStringLiteral("Ledora"));
  return true;
}

bool PdfOutput::WritePage(const PageImage& page) {
  if (!device_) {
    SetReportError(ErrorPrintFailed, "no document begun");
    return false;
  }
  return device_->pages.Write(page);
}

bool PdfOutput::EndDocument() {
  if (!device_) return true;
  bool ok = device_->pages.Finish();
  device_.reset();  // the writer completes the file as it goes
  std::string error;
  if (ok && !NameFontSubsets(fileName_, &error)) {
    SetReportError(ErrorPrintFailed, error);
    return false;
  }
  return ok;
}

}  // namespace ledora::runtime
