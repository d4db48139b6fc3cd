#include "runtime/qtreport/text_layouts.h"

#include <QTextLine>

#include "runtime/qtreport/qt_report_types.h"

namespace ledora::runtime {

namespace {

// Enough for every label and most values of a long report; a report of
// ever new texts starts over rather than growing without bound.
constexpr size_t kMostLines = 4096;

// As drawText lays out a single line: no wrapping, line breaks and
// carriage returns shown as spaces, tabs not expanded.
QString SingleLine(const std::string& text) {
  QString line = ToQString(text);
  for (QChar& c : line) {
    if (c == u'\r' || c == u'\n' || c == u'\t') c = u' ';
  }
  return line;
}

// The layouts depend on the font's face and size, not its colour.
bool SameFace(const ReportFont& a, const ReportFont& b) {
  return a.size == b.size && a.style == b.style && a.name == b.name;
}

}  // namespace

TextLayouts::Lines& TextLayouts::LinesOf(const ReportFont& font) {
  for (auto& [face, lines] : fonts_) {
    if (SameFace(face, font)) return lines;
  }
  return fonts_.emplace_back(font, Lines()).second;
}

const TextLayouts::Line& TextLayouts::Lay(QPainter& painter, const ReportFont& font,
                                          const std::string& text) {
  Lines* lines = &LinesOf(font);
  auto found = lines->find(text);
  if (found != lines->end()) return found->second;
  if (count_ >= kMostLines) {
    fonts_.clear();
    count_ = 0;
    lines = &LinesOf(font);
  }
  Line line;
  line.layout = std::make_unique<QTextLayout>(SingleLine(text), ToQFont(font), painter.device());
  line.layout->setCacheEnabled(true);
  QTextOption option;
  option.setTextDirection(painter.layoutDirection());
  option.setAlignment(Qt::AlignLeft);  // aligned when drawn, as drawText does
  line.layout->setTextOption(option);
  line.layout->beginLayout();
  QTextLine laid = line.layout->createLine();
  if (laid.isValid()) {
    laid.setLineWidth(0x01000000);
    laid.setPosition(QPointF(0, 0));
    line.naturalWidth = laid.naturalTextWidth();
    line.advance = laid.horizontalAdvance();
    line.height = laid.height();
  }
  line.layout->endLayout();
  ++count_;
  return lines->emplace(text, std::move(line)).first->second;
}

void TextLayouts::Draw(QPainter& painter, const ReportFont& font, const std::string& text,
                       const QRectF& rect, int horizontal) {
  const Line& line = Lay(painter, font, text);
  if (line.layout->lineCount() == 0) return;
  qreal boundsOffset = 0;
  qreal offset = 0;
  if (horizontal & Qt::AlignRight) {
    boundsOffset = rect.width() - line.naturalWidth;
    offset = rect.width() - line.advance;
  } else if (horizontal & Qt::AlignHCenter) {
    boundsOffset = (rect.width() - line.naturalWidth) / 2;
    offset = (rect.width() - line.advance) / 2;
  }
  // A text larger than its rectangle is cut at its edges, as drawText cuts it.
  QRectF bounds(rect.x() + boundsOffset, rect.y(), line.naturalWidth, line.height);
  bool clip = !rect.contains(bounds);
  if (clip) {
    painter.save();
    painter.setClipRect(rect, Qt::IntersectClip);
  }
  line.layout->lineAt(0).draw(&painter, QPointF(rect.x() + offset, rect.y()));
  if (clip) painter.restore();
}

}  // namespace ledora::runtime
