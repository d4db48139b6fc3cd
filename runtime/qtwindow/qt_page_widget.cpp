#include "runtime/qtwindow/qt_page_widget.h"

#include <QMouseEvent>
#include <QPainter>
#include <QScrollBar>
#include <QTimer>

#include "runtime/qtreport/page_painter.h"
#include "runtime/report/page_image_reader.h"

namespace ledora::runtime {

const QtPageCache::Page* QtPageCache::Get(const std::string& file, int64_t offset, int pixelWidth) {
  for (auto it = pages_.begin(); it != pages_.end(); ++it) {
    if (it->file == file && it->offset == offset && it->pixelWidth == pixelWidth) {
      pages_.splice(pages_.begin(), pages_, it);
      return &pages_.front();
    }
  }
  PageImage page;
  if (!PageImageReader::ReadAt(file, offset, &page) || page.width <= 0) return nullptr;
  ++renders_;
  Page rendered{file, offset, pixelWidth, PagePainter::Render(page, pixelWidth),
                static_cast<double>(pixelWidth) / page.width};
  pages_.push_front(std::move(rendered));
  if (pages_.size() > kCapacity) pages_.pop_back();
  return &pages_.front();
}

QtPageWidget::QtPageWidget(QWidget* parent, QtPageCache& cache, Clicked clicked)
    : QScrollArea(parent), cache_(cache), clicked_(std::move(clicked)), label_(new QLabel) {
  setFrameShape(QFrame::NoFrame);
  setAlignment(Qt::AlignCenter);
  setBackgroundRole(QPalette::Dark);
  label_->setBackgroundRole(QPalette::Base);
  label_->installEventFilter(this);
  label_->setCursor(Qt::PointingHandCursor);
  setWidget(label_);
}

void QtPageWidget::ShowPage(const std::string& file, int64_t offset, int pixelWidth, int centreX,
                            int centreY, std::vector<Mark> marks) {
  if (pixelWidth <= 0) pixelWidth = std::max(1, width());
  bool same = file == file_ && offset == offset_ && pixelWidth == pixelWidth_ &&
              centreX == centreX_ && centreY == centreY_ && marks.size() == marks_.size() &&
              std::equal(marks.begin(), marks.end(), marks_.begin(), [](auto& a, auto& b) {
                return a.rect == b.rect && a.current == b.current;
              });
  if (same) return;
  file_ = file;
  offset_ = offset;
  pixelWidth_ = pixelWidth;
  centreX_ = centreX;
  centreY_ = centreY;
  marks_ = std::move(marks);
  const QtPageCache::Page* page = cache_.Get(file, offset, pixelWidth);
  QPixmap pixmap;
  if (page != nullptr) {
    pixmap = QPixmap::fromImage(page->image);
    if (!marks_.empty()) {
      QPainter painter(&pixmap);
      for (const Mark& mark : marks_) {
        QRectF r(mark.rect.x() * page->pixelsPerMil, mark.rect.y() * page->pixelsPerMil,
                 mark.rect.width() * page->pixelsPerMil, mark.rect.height() * page->pixelsPerMil);
        painter.fillRect(r, mark.current ? QColor(255, 140, 0, 110) : QColor(255, 230, 0, 90));
        if (mark.current) painter.setPen(QPen(QColor(220, 90, 0), 2));
        if (mark.current) painter.drawRect(r);
      }
    }
  }
  label_->setPixmap(pixmap);
  label_->resize(pixmap.size());
  bool fits = pixmap.width() <= width() + 2 && pixmap.height() <= height() + 2;
  setHorizontalScrollBarPolicy(fits ? Qt::ScrollBarAlwaysOff : Qt::ScrollBarAsNeeded);
  setVerticalScrollBarPolicy(fits ? Qt::ScrollBarAlwaysOff : Qt::ScrollBarAsNeeded);
  // The scroll bars learn their ranges when the area lays itself out.
  QTimer::singleShot(0, this, [this] { Centre(); });
}

void QtPageWidget::Centre() {
  QSize page = label_->size();
  horizontalScrollBar()->setValue(page.width() * centreX_ / 100 - viewport()->width() / 2);
  verticalScrollBar()->setValue(page.height() * centreY_ / 100 - viewport()->height() / 2);
}

bool QtPageWidget::eventFilter(QObject* watched, QEvent* event) {
  if (watched != label_) return false;
  // The second press of a double click would undo the first one's zoom.
  if (event->type() == QEvent::MouseButtonDblClick) return true;
  if (event->type() != QEvent::MouseButtonPress) return false;
  auto* mouse = static_cast<QMouseEvent*>(event);
  if (clicked_) clicked_(mouse->position().toPoint(), mouse->button());
  return true;
}

}  // namespace ledora::runtime
