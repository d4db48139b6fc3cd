// Paints page images one after another onto a paged device (QPdfWriter or
// QPrinter), giving each page its own paper size and orientation. The PDF
// and printer outputs both write through it.
#pragma once

#include <QPagedPaintDevice>
#include <QPainter>

#include "runtime/report/page_image.h"

namespace ledora::runtime {

class PagedDeviceWriter {
 public:
  explicit PagedDeviceWriter(QPagedPaintDevice* device) : device_(device) {}

  // False with the runtime error set when the device refuses.
  bool Write(const PageImage& page);
  bool Finish();

 private:
  QPagedPaintDevice* device_;
  QPainter painter_;
  bool started_ = false;
};

}  // namespace ledora::runtime
