// Draws a page image with a QPainter: the one renderer behind the print
// preview, the printer and PDF, so all three show the same page.
#pragma once

#include <QImage>
#include <QPainter>
#include <QRectF>
#include <string>

#include "runtime/qtreport/text_layouts.h"
#include "runtime/report/page_image.h"

namespace ledora::runtime {

class PagePainter {
 public:
  // Scales the whole page into target (device coordinates of painter).
  // With layouts, texts are drawn from their shared layouts and a white
  // background with nothing beneath it is left out (it looks the same on
  // white paper); without, every item is drawn on its own, as the
  // reference the faster way must match.
  static void Paint(const PageImage& page, QPainter& painter, const QRectF& target,
                    TextLayouts* layouts = nullptr);
  // The page on white, pixelWidth wide, for the preview's page controls.
  static QImage Render(const PageImage& page, int pixelWidth);
  // Reads a page image file and renders it; false with error on a bad file.
  static bool RenderFile(const std::string& fileName, int pixelWidth, QImage* image,
                         std::string* error = nullptr);

 private:
  static void DrawItem(const PageImage& page, size_t index, QPainter& painter,
                       TextLayouts* layouts);
  static void DrawText(const PageImage& page, size_t index, QPainter& painter,
                       TextLayouts* layouts);
  static void DrawBox(const PageItem& item, QPainter& painter);
  static void DrawCheck(const PageItem& item, QPainter& painter);
  static void DrawImage(const PageItem& item, QPainter& painter);
};

}  // namespace ledora::runtime
