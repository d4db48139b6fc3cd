#include "runtime/qtreport/paged_device_writer.h"

#include <malloc.h>

#include <QPageLayout>
#include <QPageSize>

#include "runtime/qtreport/page_painter.h"
#include "runtime/report/report_error.h"

namespace ledora::runtime {

namespace {

QPageLayout LayoutFor(const PageImage& page) {
  bool landscape = page.width > page.height;
  QSizeF portrait(std::min(page.width, page.height) / 1000.0,
                  std::max(page.width, page.height) / 1000.0);
  return QPageLayout(QPageSize(portrait, QPageSize::Inch),
                     landscape ? QPageLayout::Landscape : QPageLayout::Portrait,
                     QMarginsF(0, 0, 0, 0));
}

// Qt's PDF engine (behind QPrinter too) compresses every page through two
// fresh 16 MB buffers and a deflate stream of some 256 KB, and frees them
// again. By default the allocator maps the buffers anew for each page and
// hands the freed heap back to the kernel, to fault it all in again on the
// next page. Kept, they cost a fixed 15 MB or so and save most of the
// run's system time.
void KeepFreedHeap() {
  mallopt(M_MMAP_THRESHOLD, 32 << 20);  // glibc's highest
  mallopt(M_TRIM_THRESHOLD, 64 << 20);
}

}  // namespace

bool PagedDeviceWriter::Write(const PageImage& page) {
  if (page.width <= 0 || page.height <= 0) {
    SetReportError(ErrorInvalidReportSetting, "a page without a paper size");
    return false;
  }
  device_->setPageLayout(LayoutFor(page));
  if (!started_) {
    KeepFreedHeap();
    if (!painter_.begin(device_)) {
      SetReportError(ErrorPrintFailed, "the output device could not be opened");
      return false;
    }
    started_ = true;
    if (text_ == TextShared) layouts_ = std::make_unique<TextLayouts>();
  } else if (!device_->newPage()) {
    SetReportError(ErrorPrintFailed, "the output device refused a new page");
    return false;
  }
  PagePainter::Paint(page, painter_, QRectF(0, 0, device_->width(), device_->height()),
                     layouts_.get());
  return true;
}

bool PagedDeviceWriter::Finish() {
  if (!started_) return true;
  started_ = false;
  layouts_.reset();
  if (painter_.end()) return true;
  SetReportError(ErrorPrintFailed, "the output could not be completed");
  return false;
}

}  // namespace ledora::runtime
