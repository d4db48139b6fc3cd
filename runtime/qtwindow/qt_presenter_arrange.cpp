// Tile and Cascade of the frame's children. Qt's own arrangements keep a
// child's size when it cannot shrink, and so put close boxes and buttons
// past the edge of the frame; these keep every child's frame inside the
// area the user sees, overlapping its neighbours when they do not fit.
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QStyle>
#include <algorithm>
#include <cmath>

#include "runtime/qtwindow/qt_presenter.h"

namespace ledora::runtime {

namespace {

// A child of at most `size` (as far as its minimum allows) with its whole
// frame inside the room, as near to `at` as that allows.
void PlaceInside(QMdiSubWindow* sub, QPoint at, QSize size, const QRect& room) {
  sub->resize(size.expandedTo(sub->minimumSizeHint()));
  QSize real = sub->size();
  at.setX(std::max(room.left(), std::min(at.x(), room.left() + room.width() - real.width())));
  at.setY(std::max(room.top(), std::min(at.y(), room.top() + room.height() - real.height())));
  sub->move(at);
}

}  // namespace

void QtPresenter::ArrangeChildren(QMdiArea& area, bool tile) {
  QList<QMdiSubWindow*> subs;
  for (QMdiSubWindow* sub : area.subWindowList(QMdiArea::StackingOrder)) {
    // A maximised child would come back maximised over the arranged ones.
    if (sub->isMaximized()) sub->showNormal();
    if (sub->isVisible() && !sub->isMinimized()) subs << sub;
  }
  if (subs.isEmpty()) return;
  QRect room = area.viewport()->rect();
  if (tile) {
    int columns = static_cast<int>(std::ceil(std::sqrt(static_cast<double>(subs.size()))));
    int rows = (static_cast<int>(subs.size()) + columns - 1) / columns;
    QSize cell(room.width() / columns, room.height() / rows);
    for (int i = 0; i < subs.size(); ++i) {
      QPoint at(room.left() + (i % columns) * cell.width(),
                room.top() + (i / columns) * cell.height());
      PlaceInside(subs[i], at, cell, room);
    }
  } else {
    // Back to front, each a title bar further down, the front one on top.
    int step = area.style()->pixelMetric(QStyle::PM_TitleBarHeight, nullptr, subs.front());
    int n = static_cast<int>(subs.size());
    QSize size(room.width() - (n - 1) * step, room.height() - (n - 1) * step);
    size = size.expandedTo(QSize(room.width() * 2 / 3, room.height() * 2 / 3));
    for (int i = 0; i < n; ++i) {
      PlaceInside(subs[i], room.topLeft() + QPoint(i * step, i * step), size, room);
      subs[i]->raise();
    }
    area.setActiveSubWindow(subs.back());
  }
}

}  // namespace ledora::runtime
