// Where the keyboard goes: a window that opens takes the focus on its first
// control, and a window that closes hands it back to the window it was
// opened from, on the control that had it. The window manager alone would
// leave the keys with whichever window it last activated.
#include <QApplication>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QWidget>

#include "runtime/qtwindow/qt_presenter.h"
#include "runtime/qtwindow/qt_window_view.h"
#include "runtime/window/window_registry.h"

namespace ledora::runtime {

namespace {

bool TakesKeys(QWidget* widget) {
  if (widget == nullptr || !widget->isEnabled() || !widget->isVisibleTo(widget->window())) {
    return false;
  }
  QWidget* target = widget->focusProxy() != nullptr ? widget->focusProxy() : widget;
  return (target->focusPolicy() & Qt::TabFocus) != 0;
}

}  // namespace

void QtPresenter::QueueTakeFocus(Window& window) {
  // After the procedure has finished opening: it may still choose the
  // control that starts with the focus, or hand the focus on to another
  // window (the properties box back to the designer), which then keeps it.
  QMetaObject::invokeMethod(
      this,
      [this, target = &window] {
        WindowRegistry& registry = WindowRegistry::Instance();
        if (registry.IsOpen(target) && registry.Active() == target) TakeFocus(*target);
      },
      Qt::QueuedConnection);
}

void QtPresenter::TakeFocus(Window& window) {
  QtWindowView* view = ViewOf(window);
  if (view == nullptr || view->top() == nullptr || !window.isVisible()) return;
  RaiseWindow(window);
  int32_t control = window.FocusedControl();
  if (control == 0 || !TakesKeys(view->WidgetOf(control))) control = 0;
  // A canvas takes its keys through the window itself, before any field;
  // a button only when nothing else does, so that Enter never presses
  // Print just because the window opened.
  for (bool buttons : {false, true}) {
    for (const auto& c : window.controls()) {
      if (control != 0 || window.tracksMouse()) break;
      if (c->IsMenu() || (c->type == ControlButton) != buttons) continue;
      if (TakesKeys(view->WidgetOf(c->number))) control = c->number;
    }
  }
  if (control != 0) {
    view->Focus(control);
  } else if (view->content() != nullptr) {
    view->content()->setFocus(Qt::OtherFocusReason);
  }
}

}  // namespace ledora::runtime
