// Paints page images one after another onto a paged device (QPdfWriter or
// QPrinter), giving each page its own paper size and orientation. The PDF
// and printer outputs both write through it.
#pragma once

#include <QPagedPaintDevice>
#include <QPainter>
#include <memory>

#include "runtime/qtreport/text_layouts.h"
#include "runtime/report/page_image.h"

namespace ledora::runtime {

class PagedDeviceWriter {
 public:
  // TextPlain draws each text on its own, as the reference that tests
  // compare the shared layouts' pages with.
  enum TextDrawing { TextShared, TextPlain };

  explicit PagedDeviceWriter(QPagedPaintDevice* device, TextDrawing text = TextShared)
      : device_(device), text_(text) {}

  // False with the runtime error set when the device refuses.
  bool Write(const PageImage& page);
  bool Finish();

 private:
  QPagedPaintDevice* device_;
  TextDrawing text_;
  QPainter painter_;
  std::unique_ptr<TextLayouts> layouts_;  // of the document begun; its fonts are the device's
  bool started_ = false;
};

}  // namespace ledora::runtime
