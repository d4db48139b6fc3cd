#include "runtime/qtwindow/qt_presenter.h"

#include <QAbstractSpinBox>
#include <QApplication>
#include <QComboBox>
#include <QEventLoop>
#include <QKeyEvent>
#include <QLineEdit>
#include <QMainWindow>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QPrinter>

#include "runtime/qtwindow/qt_conversions.h"
#include "runtime/qtwindow/qt_icons.h"
#include "runtime/qtwindow/qt_units.h"
#include "runtime/qtwindow/qt_window_view.h"
#include "runtime/window/window_registry.h"

namespace ledora::runtime {

QtPresenter::QtPresenter(Scheduler& scheduler) : scheduler_(scheduler) {
  SetPresenter(this);
  SetMessageService(&messages_);
  scheduler_.SetWakeHandler([this] {
    if (drainQueued_) return;
    drainQueued_ = true;
    QMetaObject::invokeMethod(this, &QtPresenter::Drain, Qt::QueuedConnection);
  });
  qApp->installEventFilter(this);
  UseProgramIcons();
  // The program lives as long as its main procedure, not its last window.
  QApplication::setQuitOnLastWindowClosed(false);
}

QtPresenter::~QtPresenter() {
  delete help_.data();
  qApp->removeEventFilter(this);
  scheduler_.SetWakeHandler(nullptr);
  if (&CurrentPresenter() == this) SetPresenter(nullptr);
  if (&Messages() == &messages_) SetMessageService(nullptr);
}

void QtPresenter::Drain() {
  drainQueued_ = false;
  scheduler_.RunReady();
}

void QtPresenter::Run(Procedure main, size_t stackSize) {
  QEventLoop loop;
  mainThread_ = scheduler_.Start(std::move(main), stackSize);
  if (mainThread_ == 0) return;
  int32_t listener = scheduler_.AddEndListener([&](int32_t thread) {
    if (thread == mainThread_) loop.quit();
  });
  if (scheduler_.IsAlive(mainThread_)) loop.exec();
  scheduler_.RemoveEndListener(listener);
  // The program ends with its frame: every other window is told to close.
  for (int round = 0; round < 20 && scheduler_.HasThreads(); ++round) {
    for (Window* window : std::vector<Window*>(WindowRegistry::Instance().windows())) {
      window->Post(EventCloseDown);
    }
    QCoreApplication::processEvents();
    Drain();
  }
}

QtWindowView* QtPresenter::ViewOf(const Window& window) const {
  return dynamic_cast<QtWindowView*>(window.presenterData());
}

Window* QtPresenter::WindowOfWidget(QWidget* widget) const {
  for (QWidget* w = widget; w != nullptr; w = w->parentWidget()) {
    QVariant mark = w->property(QtWindowView::kWindowProperty);
    if (!mark.isValid()) {
      // A popup menu or message box is parented to a window but is not part
      // of it: its keys and focus are its own.
      if (w->isWindow()) return nullptr;
      continue;
    }
    auto* window = reinterpret_cast<Window*>(mark.value<quintptr>());
    // The mark may outlive its window by a moment; trust only open ones.
    return WindowRegistry::Instance().IsOpen(window) ? window : nullptr;
  }
  return nullptr;
}

QMdiArea* QtPresenter::FrameArea() const {
  Window* frame = WindowRegistry::Instance().Frame();
  QtWindowView* view = frame != nullptr ? ViewOf(*frame) : nullptr;
  return view != nullptr ? view->mdiArea() : nullptr;
}

QWidget* QtPresenter::ParentFor(const Window& window) const {
  // A window's dialogs sit over the window its thread opened before it.
  const auto& windows = WindowRegistry::Instance().windows();
  for (auto it = windows.rbegin(); it != windows.rend(); ++it) {
    if (*it == &window || (*it)->thread() != window.thread()) continue;
    if (QtWindowView* view = ViewOf(**it)) return view->top()->window();
  }
  Window* frame = WindowRegistry::Instance().Frame();
  QtWindowView* view = frame != nullptr && frame != &window ? ViewOf(*frame) : nullptr;
  return view != nullptr ? view->top() : nullptr;
}

QPrinter& QtPresenter::printer() {
  if (!printer_) printer_ = std::make_unique<QPrinter>();
  return *printer_;
}

void QtPresenter::WindowOpened(Window& window) {
  auto view = std::make_unique<QtWindowView>(window, *this, ParentFor(window));
  window.SetPresenterData(std::move(view));
  QueueTakeFocus(window);
}

void QtPresenter::WindowClosed(Window& window) {
  QtWindowView* view = ViewOf(window);
  bool hadFocus = view != nullptr && view->top() != nullptr && !view->top()->isHidden() &&
                  QApplication::activeWindow() == view->top()->window();
  window.SetPresenterData(nullptr);
  if (!hadFocus) return;
  // The window the model gives the focus to next (the one this came from)
  // gets it on screen too, on its focused control.
  if (Window* next = WindowRegistry::Instance().Active()) QueueTakeFocus(*next);
}

void QtPresenter::WindowChanged(Window& window) {
  if (QtWindowView* view = ViewOf(window)) view->ShowWindow();
}

void QtPresenter::ControlCreated(Window& window, int32_t control) {
  if (QtWindowView* view = ViewOf(window)) view->CreateControl(control);
}

void QtPresenter::ControlDestroyed(Window& window, int32_t control) {
  if (QtWindowView* view = ViewOf(window)) view->DestroyControl(control);
}

void QtPresenter::ControlChanged(Window& window, int32_t control) {
  if (QtWindowView* view = ViewOf(window)) view->ShowControl(control);
}

void QtPresenter::FocusChanged(Window& window, int32_t control) {
  if (QtWindowView* view = ViewOf(window)) view->Focus(control);
}

void QtPresenter::RaiseWindow(Window& window) {
  QtWindowView* view = ViewOf(window);
  if (view == nullptr || view->top() == nullptr) return;
  if (auto* sub = qobject_cast<QMdiSubWindow*>(view->top()); sub != nullptr && sub->mdiArea()) {
    sub->mdiArea()->setActiveSubWindow(sub);
  }
  view->top()->raise();
  view->top()->activateWindow();
}

void QtPresenter::OnMenuChosen(Window& window, int32_t control) {
  const Control* c = window.Find(control);
  if (c == nullptr) return;
  QMdiArea* area = FrameArea();
  QWidget* focus = QApplication::focusWidget();
  switch (c->action) {
    case ActionPrintSetup:
      // A runtime action of its own: nobody waits for its answer.
      QMetaObject::invokeMethod(
          this, [this] { AskPrinterSetup(); }, Qt::QueuedConnection);
      return;
    case ActionCut:
    case ActionCopy:
    case ActionPaste:
      if (auto* edit = qobject_cast<QLineEdit*>(focus)) {
        if (c->action == ActionCut) edit->cut();
        if (c->action == ActionCopy) edit->copy();
        if (c->action == ActionPaste) edit->paste();
      }
      return;
    case ActionTile:
    case ActionCascade:
    case ActionArrangeIcons:
      if (area != nullptr) ArrangeChildren(*area, c->action == ActionTile);
      return;
    default:
      window.UserPressed(control);
      return;
  }
}

void QtPresenter::OnSubWindowActivated(QMdiSubWindow* sub) {
  if (sub != nullptr) SyncActiveWindow();
}

void QtPresenter::SyncActiveWindow() {
  if (syncQueued_) return;
  syncQueued_ = true;
  QMetaObject::invokeMethod(
      this,
      [this] {
        syncQueued_ = false;
        QWidget* active = QApplication::activeWindow();
        if (active == nullptr) return;
        Window* window = WindowOfWidget(active);
        // The frame coming to the front brings its active child with it.
        auto* main = qobject_cast<QMainWindow*>(active);
        QMdiArea* area = main != nullptr ? qobject_cast<QMdiArea*>(main->centralWidget()) : nullptr;
        if (area != nullptr && area->activeSubWindow() != nullptr) {
          if (Window* child = WindowOfWidget(area->activeSubWindow())) window = child;
        }
        if (window != nullptr) window->UserActivated(true);
      },
      Qt::QueuedConnection);
}

void QtPresenter::DropAt(Window& source, int32_t sourceControl, QPoint global) {
  QWidget* under = QApplication::widgetAt(global);
  Window* target = WindowOfWidget(under);
  QtWindowView* view = target != nullptr ? ViewOf(*target) : nullptr;
  if (view == nullptr) return;
  QPoint local = view->content()->mapFromGlobal(global);
  QtUnits units = view->Units();
  int32_t x = units.FromX(local.x());
  int32_t y = units.FromY(local.y());
  int32_t control = 0;
  for (QWidget* w = under; w != nullptr && control == 0; w = w->parentWidget()) {
    QVariant mark = w->property(QtWindowView::kControlProperty);
    if (mark.isValid()) control = mark.toInt();
  }
  const Control* c = control != 0 ? target->Find(control) : nullptr;
  if (c == nullptr || c->dropId.empty()) control = view->ControlAt(x, y, true);
  if (control != 0) target->UserDrop(control, source, sourceControl, x, y);
}

bool QtPresenter::OnKey(QWidget* widget, QKeyEvent* key) {
  Window* window = WindowOfWidget(widget);
  if (window == nullptr) return false;
  int32_t code = KeyCodeOf(*key);
  if (code == 0) return false;
  int32_t control = 0;
  for (QWidget* w = widget; w != nullptr && control == 0; w = w->parentWidget()) {
    QVariant mark = w->property(QtWindowView::kControlProperty);
    if (mark.isValid()) control = mark.toInt();
  }
  if (window->IsAlert(control, code)) {
    if (auto* edit = qobject_cast<QLineEdit*>(widget)) emit edit->editingFinished();
    window->UserKey(control, code);
    return true;
  }
  if (code == KeyF1) {
    window->UserKey(control, code);
    return true;
  }
  if (code == KeyEnter || code == KeyEscape) {
    const Control* c = window->Find(control);
    if (c != nullptr && (c->type == ControlText || c->type == ControlList)) return false;
    if (auto* edit = qobject_cast<QLineEdit*>(widget)) emit edit->editingFinished();
    // Spin boxes and editable combos hear of Enter only through their own
    // key handling, which this takes; what was typed counts first.
    for (QWidget* w = widget; w != nullptr && w != widget->window(); w = w->parentWidget()) {
      if (auto* spin = qobject_cast<QAbstractSpinBox*>(w)) {
        emit spin->editingFinished();
        break;
      }
      auto* combo = qobject_cast<QComboBox*>(w);
      if (combo != nullptr && combo->lineEdit() != nullptr) {
        emit combo->lineEdit()->editingFinished();
        break;
      }
    }
    // A button with the focus stands in for the default one, so that Enter
    // on Cancel cancels.
    if (code == KeyEnter && c != nullptr && c->type == ControlButton) {
      window->UserPressed(control);
    } else {
      window->UserKey(control, code);
    }
    return true;
  }
  return false;
}

bool QtPresenter::eventFilter(QObject* watched, QEvent* event) {
  switch (event->type()) {
    case QEvent::KeyPress:
      if (auto* widget = qobject_cast<QWidget*>(watched); widget != nullptr && widget->hasFocus()) {
        return OnKey(widget, static_cast<QKeyEvent*>(event));
      }
      return false;
    case QEvent::FocusIn: {
      auto* widget = qobject_cast<QWidget*>(watched);
      Window* window = widget != nullptr ? WindowOfWidget(widget) : nullptr;
      QVariant mark =
          widget != nullptr ? widget->property(QtWindowView::kControlProperty) : QVariant();
      if (window == nullptr) return false;
      if (!mark.isValid() && widget->parentWidget() != nullptr) {
        mark = widget->parentWidget()->property(QtWindowView::kControlProperty);
      }
      if (mark.isValid()) window->UserFocus(mark.toInt());
      return false;
    }
    default:
      return false;
  }
}

}  // namespace ledora::runtime
