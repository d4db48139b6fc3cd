#include "runtime/qtreport/pdf_output.h"

#include <QFile>
#include <QPdfWriter>
#include <cerrno>
#include <cstdlib>
#include <string_view>

#include "runtime/qtreport/paged_device_writer.h"
#include "runtime/qtreport/pdf_subset_names.h"
#include "runtime/qtreport/qt_report_types.h"
#include "runtime/report/report_error.h"

namespace ledora::runtime {

namespace {

// LEDORA_PLAIN_TEXT=1 draws every text on its own: the reference that the
// tests compare the pages of shared layouts with, pixel for pixel.
PagedDeviceWriter::TextDrawing ChosenTextDrawing() {
  const char* plain = std::getenv("LEDORA_PLAIN_TEXT");
  bool chosen = plain && *plain && std::string_view(plain) != "0";
  return chosen ? PagedDeviceWriter::TextPlain : PagedDeviceWriter::TextShared;
}

}  // namespace

// The writer writes into a QFile on the guard's descriptor, whose error
// state catches every failed write (a full disk) that the writer ignores.
struct PdfOutput::Device {
  explicit Device(int fd) : writer(&file), pages(&writer, ChosenTextDrawing()) {
    file.open(fd, QIODevice::WriteOnly, QFileDevice::DontCloseHandle);
  }
  QFile file;
  QPdfWriter writer;
  PagedDeviceWriter pages;
};

PdfOutput::PdfOutput(std::string fileName, CommitWhen when)
    : fileName_(std::move(fileName)), when_(when) {}

PdfOutput::~PdfOutput() = default;

bool PdfOutput::Failed() {
  SetReportError(ErrorPrintFailed, file_.error());
  device_.reset();
  return false;
}

bool PdfOutput::BeginDocument(const std::string& title) {
  if (!file_.Open(fileName_)) return Failed();
  device_ = std::make_unique<Device>(file_.fd());
  if (!device_->file.isOpen()) {
    file_.NoteFailure(EBADF);
    return Failed();
  }
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
  // The trailer is written as the painter ends; the file's error state then
  // holds any write that failed on the way.
  errno = 0;
  bool flushed = device_->file.flush() && device_->file.error() == QFileDevice::NoError;
  if (!flushed) file_.NoteFailure(errno != 0 ? errno : EIO);
  device_.reset();
  if (!ok) return false;
  if (!flushed) return Failed();
  std::string error;
  if (!NameFontSubsets(file_.temporary(), &error)) {
    file_.NoteFailure(EIO);
    SetReportError(ErrorPrintFailed, error);
    return false;
  }
  // A file left for a later commit holds no descriptor meanwhile: a split
  // may write many.
  if (!file_.Park()) return Failed();
  ended_ = true;
  return when_ == CommitLater || Commit();
}

bool PdfOutput::Commit() {
  if (!ended_) {
    SetReportError(ErrorPrintFailed, "the document of " + fileName_ + " was not finished");
    return false;
  }
  return file_.Commit() || Failed();
}

}  // namespace ledora::runtime
