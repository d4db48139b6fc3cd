// The real-window test fixture: one QApplication for the binary (offscreen
// unless a display is given), a scheduler with the Qt presenter, and pumping
// that keeps the test in control instead of a nested event loop.
#pragma once

#include <gtest/gtest.h>

#include <QApplication>
#include <QDeadlineTimer>
#include <QKeyEvent>
#include <QPointer>
#include <QSize>
#include <QThread>
#include <QWidget>
#include <functional>
#include <ostream>

#include "runtime/qtwindow/qt_presenter.h"
#include "runtime/qtwindow/qt_window_view.h"
#include "runtime/window/scheduler.h"

// Sizes in failure messages as "320x180".
inline void PrintTo(const QSize& size, std::ostream* out) {
  *out << size.width() << "x" << size.height();
}

namespace ledora::runtime {

class QtWindowFixture : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    if (QApplication::instance() != nullptr) return;
    if (qEnvironmentVariableIsEmpty("DISPLAY") && qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) {
      qputenv("QT_QPA_PLATFORM", "offscreen");
    }
    static int argc = 1;
    static char name[] = "runtime_qtwindow_tests";
    static char* argv[] = {name, nullptr};
    new QApplication(argc, argv);
  }

  // Lets Qt and the threads run until the condition holds. The X server
  // answers focus and activation late on a busy machine, so it waits for
  // them a while instead of counting turns.
  bool Pump(const std::function<bool()>& done) {
    QDeadlineTimer deadline(5000);
    for (int turn = 0; turn < 200 || !deadline.hasExpired(); ++turn) {
      QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
      presenter.Drain();
      if (done()) return true;
      if (turn >= 200) QThread::msleep(2);
    }
    return false;
  }

  // Lets what is queued now run its course.
  void Settle() {
    for (int turn = 0; turn < 200; ++turn) {
      QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
      presenter.Drain();
    }
  }

  QtWindowView* View(Window& window) { return presenter.ViewOf(window); }

  // Opens a window on a thread of its own that takes its events until it
  // closes; true once it is on screen.
  bool OpenOnThread(Window& window) {
    scheduler.Start(
        [&window] {
          window.Open();
          Event e;
          while (window.Accept(&e)) {
          }
        },
        0);
    return Pump([&] { return View(window) != nullptr; });
  }

  template <typename T>
  T* VisibleTopLevel() {
    for (QWidget* w : QApplication::topLevelWidgets()) {
      if (auto* found = qobject_cast<T*>(w); found != nullptr && found->isVisible()) return found;
    }
    return nullptr;
  }

  // Gives a widget the keyboard focus as the user would: its window active.
  bool FocusOn(QWidget* widget) {
    widget->window()->activateWindow();
    widget->setFocus(Qt::OtherFocusReason);
    return Pump([&] { return QApplication::focusWidget() == widget; });
  }

  // A key press and release delivered where Qt delivers one from the
  // keyboard: the open popup, else the widget with the focus.
  void PressKey(int key, Qt::KeyboardModifiers modifiers = Qt::NoModifier) {
    QWidget* target = QApplication::activePopupWidget();
    if (target != nullptr && target->focusWidget() != nullptr) target = target->focusWidget();
    if (target == nullptr) target = QApplication::focusWidget();
    ASSERT_NE(target, nullptr) << "no widget takes the key";
    QPointer<QWidget> guard(target);
    QKeyEvent press(QEvent::KeyPress, key, modifiers);
    QCoreApplication::sendEvent(target, &press);
    QKeyEvent release(QEvent::KeyRelease, key, modifiers);
    if (!guard.isNull()) QCoreApplication::sendEvent(guard.data(), &release);
  }

  Scheduler scheduler;
  QtPresenter presenter{scheduler};
};

}  // namespace ledora::runtime
