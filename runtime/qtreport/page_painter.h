// Draws a page image with a QPainter: the one renderer behind the print
// preview, the printer and PDF, so all three show the same page.
#pragma once

#include <QImage>
#include <QPainter>
#include <QRectF>
#include <string>

#include "runtime/report/page_image.h"

namespace ledora::runtime {

class PagePainter {
 public:
  // Scales the whole page into target (device coordinates of painter).
  static void Paint(const PageImage& page, QPainter& painter, const QRectF& target);
  // The page on white, pixelWidth wide, for the preview's page controls.
  static QImage Render(const PageImage& page, int pixelWidth);
  // Reads a page image file and renders it; false with error on a bad file.
  static bool RenderFile(const std::string& fileName, int pixelWidth, QImage* image,
                         std::string* error = nullptr);

 private:
  static void DrawItem(const PageImage& page, const PageItem& item, QPainter& painter);
  static void DrawText(const PageImage& page, const PageItem& item, QPainter& painter);
  static void DrawBox(const PageItem& item, QPainter& painter);
  static void DrawCheck(const PageItem& item, QPainter& painter);
  static void DrawImage(const PageItem& item, QPainter& painter);
};

}  // namespace ledora::runtime
