// The help window of the Qt presenter, beside the program's windows: never
// modal, so it serves a modal dialog it was asked from too.
#include <QGuiApplication>
#include <QPointer>
#include <QScreen>

#include "runtime/qtwindow/qt_help_window.h"
#include "runtime/qtwindow/qt_presenter.h"

namespace ledora::runtime {

void QtPresenter::ShowHelp(const std::string& file, const std::string& topic, HelpView view) {
  auto* help = qobject_cast<QtHelpWindow*>(help_.data());
  if (help == nullptr) {
    help = new QtHelpWindow;
    help_ = help;
    // Wholly on the screen, where the window manager alone might cut it off.
    if (QScreen* screen = QGuiApplication::primaryScreen()) {
      QRect room = screen->availableGeometry();
      QSize size = help->size().boundedTo(room.size() * 9 / 10);
      help->setGeometry(QRect(room.center() - QPoint(size.width() / 2, size.height() / 2), size));
    }
  }
  if (help->Open(file)) {
    if (view == HelpShowSearch) {
      help->ShowSearch();
    } else {
      help->ShowTopic(topic);
    }
  }
  help->show();
  help->raise();
  help->activateWindow();
}

}  // namespace ledora::runtime
