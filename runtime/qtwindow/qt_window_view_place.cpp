// Where a window first shows: a frame without a stored place takes a fair
// share of its screen, and no window starts with any part off the screen
// (a place stored on a bigger screen, a size the window's contents ask for).
#include <QGuiApplication>
#include <QMainWindow>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QScreen>
#include <QStyle>
#include <QTimer>
#include <algorithm>

#include "runtime/qtwindow/qt_presenter.h"
#include "runtime/qtwindow/qt_window_view.h"

namespace ledora::runtime {

namespace {

constexpr int kFrameSharePercent = 80;
// A frame edge this far past the screen still leaves its title bar to grab:
// a place the user gave is kept.
constexpr int kSlack = 8;

// The room a window's frame has, and the extra its window manager's frame
// takes around it (a guess until the window manager has framed it).
QRect RoomFor(QWidget* top) {
  if (auto* sub = qobject_cast<QMdiSubWindow*>(top)) {
    return sub->mdiArea() != nullptr ? sub->mdiArea()->viewport()->rect() : QRect();
  }
  QScreen* screen = top->screen() != nullptr ? top->screen() : QGuiApplication::primaryScreen();
  return screen != nullptr ? screen->availableGeometry() : QRect();
}

QMargins FrameMargins(QWidget* top) {
  if (!top->isWindow()) return {};
  QRect frame = top->frameGeometry();
  QRect inner = top->geometry();
  if (frame != inner) {
    return {inner.left() - frame.left(), inner.top() - frame.top(), frame.right() - inner.right(),
            frame.bottom() - inner.bottom()};
  }
  int title = top->style()->pixelMetric(QStyle::PM_TitleBarHeight);
  return {4, title + 4, 4, 4};
}

}  // namespace

ScreenArea QtPresenter::ScreenSize() {
  QScreen* screen = QGuiApplication::primaryScreen();
  if (screen == nullptr) return {};
  return {screen->size().width(), screen->size().height()};
}

void QtWindowView::FirstPlacement() {
  if (main_ == nullptr || window_.geometry().x != 0 || window_.geometry().y != 0 ||
      window_.IsMaximised()) {
    return;
  }
  QRect room = RoomFor(top_);
  if (!room.isValid()) return;
  QMargins margins = FrameMargins(top_);
  QSize size(room.width() * kFrameSharePercent / 100 - margins.left() - margins.right(),
             room.height() * kFrameSharePercent / 100 - margins.top() - margins.bottom());
  size = size.expandedTo(top_->minimumSizeHint());
  QPoint at = room.center() - QPoint(size.width() / 2, size.height() / 2);
  Place(QRect(at, size));
}

// As everywhere else, a top-level window's place is that of its client
// area; moving its frame instead would change how the window manager reads
// every later place asked for.
void QtWindowView::Place(const QRect& client) {
  if (top_->isWindow()) {
    top_->setGeometry(client);
  } else {
    top_->resize(client.size());
    top_->move(client.topLeft());
  }
}

void QtWindowView::KeepOnScreen() {
  if (!Alive() || !top_->isVisible() || top_->isMaximized() || top_->isMinimized()) return;
  QRect room = RoomFor(top_);
  if (!room.isValid()) return;
  QMargins margins = FrameMargins(top_);
  // The window itself, its frame taken off the room; above it only the
  // client area counts, so a window the user put at the very top (its title
  // bar just past the edge) stays there.
  margins.setTop(0);
  QRect inside = room.marginsRemoved(margins).marginsAdded(QMargins(kSlack, 0, kSlack, kSlack));
  QRect now = top_->geometry();
  QSize size = now.size();
  if (window_.IsResizable() || main_ != nullptr) {
    size = size.boundedTo(inside.size()).expandedTo(top_->minimumSizeHint());
  }
  QPoint at = now.topLeft();
  at.setX(std::max(inside.left(), std::min(at.x(), inside.left() + inside.width() - size.width())));
  at.setY(std::max(inside.top(), std::min(at.y(), inside.top() + inside.height() - size.height())));
  if (size != now.size() || at != now.topLeft()) Place(QRect(at, size));
}

void QtWindowView::QueueKeepOnScreen() {
  // Once the window manager has framed the window its frame is known.
  QTimer::singleShot(0, this, [this] { KeepOnScreen(); });
  QTimer::singleShot(300, this, [this] { KeepOnScreen(); });
}

}  // namespace ledora::runtime
