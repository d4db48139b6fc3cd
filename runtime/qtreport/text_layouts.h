// The laid-out lines of a document's texts, each distinct text in each font
// shaped once and drawn again wherever it recurs. A long report repeats its
// labels, dates and amounts on page after page, and shaping each anew cost
// more than drawing it. The lines are placed exactly as QPainter::drawText
// places a single top-aligned line in a rectangle, so pages look the same
// either way. The PDF and printer outputs keep one per document; it holds
// only the paint device's fonts, so it must not outlive the painter's device.
#pragma once

#include <QPainter>
#include <QRectF>
#include <QTextLayout>
#include <memory>
#include <string>
#include <unordered_map>
#include <utility>
#include <vector>

#include "runtime/report/report_types.h"

namespace ledora::runtime {

class TextLayouts {
 public:
  // Draws text (Windows-1252) in font at the top of rect, aligned by
  // horizontal (Qt::AlignLeft, AlignHCenter or AlignRight), in the
  // painter's pen.
  void Draw(QPainter& painter, const ReportFont& font, const std::string& text, const QRectF& rect,
            int horizontal);

 private:
  struct Line {
    std::unique_ptr<QTextLayout> layout;
    qreal naturalWidth = 0;  // what drawText measures for clipping
    qreal advance = 0;       // what it aligns by
    qreal height = 0;
  };
  using Lines = std::unordered_map<std::string, Line>;  // by text
  const Line& Lay(QPainter& painter, const ReportFont& font, const std::string& text);
  Lines& LinesOf(const ReportFont& font);

  // By font; a report uses a handful.
  std::vector<std::pair<ReportFont, Lines>> fonts_;
  size_t count_ = 0;
};

}  // namespace ledora::runtime
