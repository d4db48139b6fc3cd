#include "runtime/qtreport/page_painter.h"

#include <algorithm>

#include "runtime/qtreport/qt_report_types.h"
#include "runtime/report/page_count.h"
#include "runtime/report/page_image_reader.h"
#include "runtime/system/file_names.h"

namespace ledora::runtime {

namespace {

constexpr qreal kPenWidth = 10;  // thousandths of an inch: a fine printed line

QPen Pen(int32_t color) {
  if (color == kNoColour) return Qt::NoPen;
  QPen pen(ToQColor(color));
  pen.setWidthF(kPenWidth);
  return pen;
}

QRectF Rect(const PageItem& item) { return QRectF(item.x, item.y, item.width, item.height); }

// Where an item may have left paint: its rectangle, widened by the pen.
struct Reach {
  explicit Reach(const PageItem& item)
      : left(std::min(item.x, item.x + item.width) - kPen),
        top(std::min(item.y, item.y + item.height) - kPen),
        right(std::max(item.x, item.x + item.width) + kPen),
        bottom(std::max(item.y, item.y + item.height) + kPen) {}
  bool Meets(const Reach& other) const {
    return left < other.right && other.left < right && top < other.bottom && other.top < bottom;
  }
  static constexpr int64_t kPen = static_cast<int64_t>(kPenWidth);
  int64_t left, top, right, bottom;
};

// Whether an item drawn before page.items[index] may show under it.
bool AnythingBeneath(const PageImage& page, size_t index) {
  Reach area(page.items[index]);
  for (size_t i = 0; i < index; ++i) {
    if (Reach(page.items[i]).Meets(area)) return true;
  }
  return false;
}

constexpr int32_t kWhite = 0xFFFFFF;

int AlignFlags(uint8_t align) {
  switch (align) {
    case AlignCentre:
      return Qt::AlignHCenter;
    case AlignRight:
      return Qt::AlignRight;
    default:
      return Qt::AlignLeft;
  }
}

}  // namespace

void PagePainter::Paint(const PageImage& page, QPainter& painter, const QRectF& target,
                        TextLayouts* layouts) {
  if (page.width <= 0 || page.height <= 0) return;  // nothing to scale from
  painter.save();
  painter.setRenderHint(QPainter::Antialiasing);
  painter.setRenderHint(QPainter::TextAntialiasing);
  painter.translate(target.topLeft());
  painter.scale(target.width() / page.width, target.height() / page.height);
  for (size_t i = 0; i < page.items.size(); ++i) DrawItem(page, i, painter, layouts);
  painter.restore();
}

void PagePainter::DrawItem(const PageImage& page, size_t index, QPainter& painter,
                           TextLayouts* layouts) {
  const PageItem& item = page.items[index];
  switch (item.kind) {
    case ItemText:
      DrawText(page, index, painter, layouts);
      break;
    case ItemBox:
      DrawBox(item, painter);
      break;
    case ItemLine:
      painter.setPen(Pen(item.color));
      painter.drawLine(QPointF(item.x, item.y), QPointF(item.x + item.width, item.y + item.height));
      break;
    case ItemImage:
      DrawImage(item, painter);
      break;
    case ItemCheck:
      DrawCheck(item, painter);
      break;
  }
}

void PagePainter::DrawText(const PageImage& page, size_t index, QPainter& painter,
                           TextLayouts* layouts) {
  const PageItem& item = page.items[index];
  bool unseen = layouts && item.fill == kWhite && !AnythingBeneath(page, index);
  if (item.fill != kNoColour && !unseen) painter.fillRect(Rect(item), ToQColor(item.fill));
  if (item.font >= page.fonts.size()) return;
  const ReportFont& font = page.fonts[item.font];
  painter.setPen(ToQColor(font.color));
  // Underlines are drawn by drawText alone: they are rare, and its way of
  // placing them is its own.
  if (layouts && !font.underline()) {
    layouts->Draw(painter, font, ShownText(page, item), Rect(item), AlignFlags(item.align));
    return;
  }
  painter.setFont(ToQFont(font));
  painter.drawText(Rect(item), AlignFlags(item.align) | Qt::AlignTop | Qt::TextSingleLine,
                   ToQString(ShownText(page, item)));
}

void PagePainter::DrawBox(const PageItem& item, QPainter& painter) {
  painter.setPen(Pen(item.color));
  painter.setBrush(item.fill == kNoColour ? QBrush(Qt::NoBrush) : QBrush(ToQColor(item.fill)));
  if (item.flags & FlagRounded) {
    qreal radius = std::min(item.width, item.height) / 8.0;
    painter.drawRoundedRect(Rect(item), radius, radius);
  } else {
    painter.drawRect(Rect(item));
  }
  painter.setBrush(Qt::NoBrush);
}

void PagePainter::DrawCheck(const PageItem& item, QPainter& painter) {
  painter.setPen(Pen(item.color));
  painter.setBrush(Qt::NoBrush);
  QRectF box = Rect(item);
  painter.drawRect(box);
  if (!(item.flags & FlagChecked)) return;
  QRectF mark =
      box.adjusted(box.width() / 5, box.height() / 5, -box.width() / 5, -box.height() / 5);
  painter.drawLine(mark.topLeft(), mark.bottomRight());
  painter.drawLine(mark.bottomLeft(), mark.topRight());
}

void PagePainter::DrawImage(const PageItem& item, QPainter& painter) {
  // A missing or unreadable picture leaves its place empty rather than
  // failing the page: the rest of the report is still worth printing.
  QImage image(QString::fromStdString(ResolveFileName(item.text)));
  if (!image.isNull()) painter.drawImage(Rect(item), image);
}

QImage PagePainter::Render(const PageImage& page, int pixelWidth) {
  int width = std::max(pixelWidth, 1);
  int64_t scaled = page.width > 0 ? int64_t{width} * page.height / page.width : 1;
  int height = static_cast<int>(std::clamp<int64_t>(scaled, 1, 100000));
  QImage image(width, height, QImage::Format_RGB32);
  image.fill(Qt::white);
  QPainter painter(&image);
  Paint(page, painter, QRectF(0, 0, width, height));
  return image;
}

bool PagePainter::RenderFile(const std::string& fileName, int pixelWidth, QImage* image,
                             std::string* error) {
  PageImage page;
  if (!PageImageReader::ReadFile(fileName, &page, error)) return false;
  *image = Render(page, pixelWidth);
  return true;
}

}  // namespace ledora::runtime
