#include "runtime/qtwindow/qt_window_view.h"

#include <QAction>
#include <QApplication>
#include <QDialog>
#include <QLabel>
#include <QLineEdit>
#include <QMainWindow>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenu>
#include <QMenuBar>
#include <QMouseEvent>
#include <QPlainTextEdit>
#include <QScreen>
#include <QScrollArea>
#include <QStatusBar>
#include <QStyle>
#include <QTimer>
#include <QToolBar>
#include <QVBoxLayout>
#include <QWheelEvent>

#include "runtime/qtwindow/qt_conversions.h"
#include "runtime/qtwindow/qt_list_view.h"
#include "runtime/qtwindow/qt_page_widget.h"
#include "runtime/qtwindow/qt_presenter.h"
#include "runtime/qtwindow/qt_units.h"

namespace ledora::runtime {

namespace {

// A window's client area asks for the window's size, whatever its contents
// would like, so that the window around it opens at that size.
template <typename Base>
class SizedClient : public Base {
 public:
  QSize sizeHint() const override { return hint.isValid() ? hint : Base::sizeHint(); }
  QSize hint;
};
using WindowContent = SizedClient<QWidget>;
using WindowScrollArea = SizedClient<QScrollArea>;

// Escape in a dialog, or anything else that would reject it, is a close
// request of the model's window: Qt alone would only hide the dialog, and
// the procedure waiting in it would never hear that it had gone.
class ModelDialog : public QDialog {
 public:
  ModelDialog(Window& window, QWidget* parent) : QDialog(parent), window_(window) {}
  void reject() override { window_.UserKey(0, KeyEscape); }

 private:
  Window& window_;
};

Qt::CursorShape CursorOf(CursorShape cursor) {
  switch (cursor) {
    case CursorWait:
      return Qt::WaitCursor;
    case CursorCross:
      return Qt::CrossCursor;
    case CursorIBeam:
      return Qt::IBeamCursor;
    case CursorSizeAll:
      return Qt::SizeAllCursor;
    case CursorHand:
      return Qt::PointingHandCursor;
    default:
      return Qt::ArrowCursor;
  }
}

}  // namespace

QtWindowView::QtWindowView(Window& window, QtPresenter& presenter, QWidget* parent)
    : window_(window), presenter_(presenter) {
  BuildTop(parent);
  for (const auto& c : window_.controls()) CreateControl(c->number);
  timer_ = new QTimer(this);
  connect(timer_, &QTimer::timeout, this, [this] { window_.UserTimer(); });
  ShowWindow();
  ShowAllVisibility();
  if (auto* sub = qobject_cast<QMdiSubWindow*>(top_.data())) {
    Cascade(sub);
  } else if (main_ == nullptr && qobject_cast<QDialog*>(top_.data()) == nullptr &&
             window_.geometry().x == 0 && window_.geometry().y == 0) {
    CentreOverParent();
    // The window manager may place the parent only after this opened (the
    // splash over a new frame): it stays over the parent's middle.
    QWidget* parent = top_->parentWidget() != nullptr ? top_->parentWidget()->window() : nullptr;
    if (parent != nullptr) {
      centredOver_ = parent;
      parent->installEventFilter(this);
    }
  }
  FirstPlacement();
  shown_ = true;
  if (!window_.isVisible()) return;
  top_->show();
  if (auto* sub = qobject_cast<QMdiSubWindow*>(top_.data())) sub->setFocus();
  QueueKeepOnScreen();
}

QtWindowView::~QtWindowView() {
  if (!centredOver_.isNull()) centredOver_->removeEventFilter(this);
  if (top_.isNull()) return;
  top_->removeEventFilter(this);
  top_->setProperty(kWindowProperty, QVariant());
  top_->hide();
  // Windows of other procedures that sit on this one must outlive it.
  for (QObject* child : top_->children()) {
    auto* widget = qobject_cast<QWidget*>(child);
    if (widget == nullptr || !widget->isWindow() || !widget->property(kWindowProperty).isValid()) {
      continue;
    }
    bool shown = widget->isVisible();
    widget->setParent(nullptr, widget->windowFlags());
    if (shown) widget->show();
  }
  if (auto* sub = qobject_cast<QMdiSubWindow*>(top_.data())) {
    if (sub->mdiArea() != nullptr) sub->mdiArea()->removeSubWindow(sub);
  }
  top_->deleteLater();
}

void QtWindowView::BuildTop(QWidget* parent) {
  auto* container = new QWidget;
  auto* layout = new QVBoxLayout(container);
  layout->setContentsMargins(0, 0, 0, 0);
  layout->setSpacing(0);
  content_ = new WindowContent;
  content_->installEventFilter(this);
  bool hasMenu = std::any_of(window_.controls().begin(), window_.controls().end(),
                             [](const auto& c) { return c->IsMenu(); });
  if (window_.isFrame()) {
    main_ = new QMainWindow;
    mdiArea_ = new QMdiArea(main_);
    // Without scroll bars the area asks to be as big as its biggest child,
    // and the frame grows past the screen when the children are arranged.
    mdiArea_->setHorizontalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    mdiArea_->setVerticalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    main_->setCentralWidget(mdiArea_);
    menuBar_ = main_->menuBar();
    toolBar_ = main_->addToolBar(QStringLiteral("Toolbar"));
    main_->statusBar()->show();
    connect(mdiArea_, &QMdiArea::subWindowActivated, &presenter_,
            &QtPresenter::OnSubWindowActivated);
    delete container;
    container = nullptr;
    top_ = main_;
  } else {
    if (hasMenu) {
      menuBar_ = new QMenuBar(container);
      layout->addWidget(menuBar_);
    }
    QWidget* client = content_;
    if (window_.isScrollable()) {
      scroll_ = new WindowScrollArea;
      scroll_->setWidget(content_);
      scroll_->setWidgetResizable(false);
      scroll_->setFrameShape(QFrame::NoFrame);
      scroll_->installEventFilter(this);
      client = scroll_;
    }
    layout->addWidget(client, 1);
    // A child of the frame called from a modal form (a selection list) must
    // sit over that form: inside the frame the form would block it.
    bool overModal = qobject_cast<QDialog*>(parent) != nullptr;
    QMdiArea* area = window_.isMdiChild() && !overModal ? presenter_.FrameArea() : nullptr;
    if (area != nullptr && !window_.isModal()) {
      QMdiSubWindow* sub = area->addSubWindow(container);
      sub->setAttribute(Qt::WA_DeleteOnClose, false);
      top_ = sub;
    } else if (window_.isModal() || (window_.isMdiChild() && overModal)) {
      auto* dialog = new ModelDialog(window_, parent);
      auto* dialogLayout = new QVBoxLayout(dialog);
      dialogLayout->setContentsMargins(0, 0, 0, 0);
      dialogLayout->addWidget(container);
      dialog->setWindowModality(parent != nullptr ? Qt::WindowModal : Qt::ApplicationModal);
      top_ = dialog;
    } else {
      container->setParent(parent, parent != nullptr ? Qt::Tool : Qt::Window);
      top_ = container;
    }
  }
  if (!window_.hasCaption()) top_->setWindowFlag(Qt::FramelessWindowHint);
  top_->setProperty(kWindowProperty,
                    QVariant::fromValue<quintptr>(reinterpret_cast<quintptr>(&window_)));
  top_->installEventFilter(this);
  BuildMenus();
}

void QtWindowView::BuildMenus() {
  if (menuBar_ == nullptr) return;
  for (const auto& c : window_.controls()) {
    if (c->IsMenu()) BuildMenu(*c);
  }
}

void QtWindowView::BuildMenu(const Control& control) {
  if (actions_.count(control.number) != 0 || menuBar_ == nullptr) return;
  QWidget* owner = menuBar_;
  if (control.parent != 0) {
    auto parent = menus_.find(control.parent);
    if (parent == menus_.end() || parent->second.isNull()) return;
    owner = parent->second;
  }
  QAction* action = nullptr;
  if (control.type == ControlMenu) {
    auto* menu = new QMenu(ToQString(control.text), owner);
    menus_[control.number] = menu;
    action = menu->menuAction();
    int32_t number = control.number;
    connect(menu, &QMenu::aboutToShow, this, [this, menu, number] { ListChildren(menu, number); });
  } else if (control.separator) {
    action = new QAction(owner);
    action->setSeparator(true);
  } else {
    action = new QAction(ToQString(control.text), owner);
    int32_t number = control.number;
    connect(action, &QAction::triggered, this,
            [this, number] { presenter_.OnMenuChosen(window_, number); });
  }
  owner->addAction(action);
  actions_[control.number] = action;
  ShowAction(control, action);
}

void QtWindowView::ListChildren(QMenu* menu, int32_t number) {
  for (QAction* action : menu->actions()) {
    if (action->property(kChildListProperty).isValid()) delete action;
  }
  // The menu that arranges the children also lists them.
  bool arranges = std::any_of(window_.controls().begin(), window_.controls().end(), [&](auto& c) {
    return c->parent == number && (c->action == ActionTile || c->action == ActionCascade);
  });
  if (!arranges || mdiArea_ == nullptr) return;
  QMdiSubWindow* active = mdiArea_->activeSubWindow();
  int index = 0;
  for (QMdiSubWindow* sub : mdiArea_->subWindowList()) {
    if (sub->isHidden()) continue;
    if (index == 0) menu->addSeparator()->setProperty(kChildListProperty, true);
    QAction* action =
        menu->addAction(QStringLiteral("&%1 %2").arg(++index).arg(sub->windowTitle()));
    action->setProperty(kChildListProperty, true);
    action->setCheckable(true);
    action->setChecked(sub == active);
    QPointer<QMdiSubWindow> target(sub);
    connect(action, &QAction::triggered, this, [this, target] {
      if (target.isNull() || mdiArea_ == nullptr) return;
      if (target->isMinimized()) target->showNormal();
      mdiArea_->setActiveSubWindow(target);
    });
  }
}

void QtWindowView::BuildToolbarButton(const Control& control) {
  if (toolBar_ == nullptr || actions_.count(control.number) != 0) return;
  auto* action = new QAction(toolBar_);
  int32_t number = control.number;
  connect(action, &QAction::triggered, this, [this, number] { window_.UserPressed(number); });
  toolBar_->addAction(action);
  actions_[control.number] = action;
  ShowAction(control, action);
}

void QtWindowView::ShowAction(const Control& control, QAction* action) {
  if (!control.separator) {
    // A toolbar button without caption or icon shows its tip rather than nothing.
    bool bare = control.text.empty() && control.icon.empty() && control.onToolbar;
    action->setText(ToQString(bare ? control.tip : control.text));
    action->setStatusTip(ToQString(control.message));
    action->setToolTip(ToQString(control.tip.empty() ? control.text : control.tip));
    action->setIcon(ToQIcon(control.icon));
  }
  action->setSeparator(control.separator);
  if (control.checked) action->setCheckable(true);
  action->setChecked(control.checked);
  action->setEnabled(control.enabled);
  action->setVisible(!control.hidden);
}

QtUnits QtWindowView::Units() const {
  QScreen* screen = top_.isNull() ? nullptr : top_->screen();
  double dpi = screen != nullptr ? screen->logicalDotsPerInch() : 96.0;
  return QtUnits(window_.unit(), content_.isNull() ? QApplication::font() : content_->font(), dpi);
}

void QtWindowView::ShowWindow() {
  if (!Alive()) return;
  applying_ = true;
  QFont font = ToQFont(window_.font(), QApplication::font());
  content_->setFont(font);
  top_->setWindowTitle(ToQString(window_.title()));
  QIcon icon = ToQIcon(window_.icon());
  top_->setWindowIcon(icon.isNull() ? QApplication::windowIcon() : icon);
  content_->setCursor(CursorOf(window_.cursor()));
  content_->setMouseTracking(window_.tracksMouse());
  if (main_ != nullptr) main_->statusBar()->showMessage(ToQString(window_.statusText()));
  if (window_.timer() > 0) {
    timer_->start(window_.timer() * 10);
  } else {
    timer_->stop();
  }
  SizeToModel();
  // Until the constructor has placed the window, showing it is its business.
  if (shown_ && top_->isVisible() != window_.isVisible()) top_->setVisible(window_.isVisible());
  applying_ = false;
}

void QtWindowView::SizeToModel() {
  QtUnits units = Units();
  Rect g = window_.geometry();
  QSize target(units.ToX(g.width), units.ToY(g.height));
  Rect minimum = window_.minimumSize();
  QWidget* outer = main_ != nullptr ? static_cast<QWidget*>(main_) : Client();
  outer->setMinimumSize(units.ToX(minimum.width), units.ToY(minimum.height));
  // An unchanged size is left alone, so a title change never undoes a resize;
  // unchanged in window units, as a pixel lost in rounding is no change. A
  // maximised window's place and size are the screen's: applied, they would
  // become what the window comes back to when restored.
  bool sameSize =
      units.FromX(outer->width()) == g.width && units.FromY(outer->height()) == g.height;
  bool stateSized = top_->isMaximized() || top_->isMinimized();
  if (target.width() > 0 && target.height() > 0 && outer->size() != target && !sameSize &&
      !stateSized) {
    if (main_ != nullptr) {
      main_->resize(target);
    } else {
      if (!window_.IsResizable()) outer->setFixedSize(target);
      FitTopToClient(target);
    }
  }
  if ((g.x != 0 || g.y != 0) && !stateSized) {
    QPoint at(units.ToX(g.x), units.ToY(g.y));
    // A top-level window's place is that of its client area: where the
    // window manager puts the frame around it is not known before it shows,
    // and a frame position would move the window by its title bar each time.
    if (top_->isWindow()) {
      if (top_->geometry().topLeft() != at) top_->setGeometry(QRect(at, top_->size()));
    } else {
      top_->move(at);
    }
  }
  Qt::WindowStates state = top_->windowState();
  if (window_.IsMaximised()) {
    if (!(state & Qt::WindowMaximized)) top_->showMaximized();
  } else if (window_.IsMinimised()) {
    if (!(state & Qt::WindowMinimized)) top_->showMinimized();
  } else if (state & (Qt::WindowMaximized | Qt::WindowMinimized)) {
    top_->showNormal();
  }
}

bool QtWindowView::OnHiddenTab(const Control& control) const {
  int32_t parent = control.parent;
  for (int depth = 0; parent != 0 && depth < 16; ++depth) {
    const Control* p = window_.Find(parent);
    if (p == nullptr) return false;
    if (p->type == ControlTab) {
      const Control* sheet = window_.Find(p->parent);
      if (sheet == nullptr) return false;
      int32_t index = 0;
      for (const auto& c : window_.controls()) {
        if (c->type == ControlTab && c->parent == sheet->number) {
          ++index;
          if (c->number == p->number) break;
        }
      }
      if (index != std::max(1, sheet->selection)) return true;
    }
    parent = p->parent;
  }
  return false;
}

void QtWindowView::ShowAllVisibility() {
  for (const auto& c : window_.controls()) {
    QWidget* widget = WidgetOf(c->number);
    if (widget != nullptr && c->type != ControlTab) {
      widget->setVisible(!c->hidden && !OnHiddenTab(*c));
    }
  }
}

void QtWindowView::CreateControl(int32_t number) {
  if (!Alive()) return;
  const Control* control = window_.Find(number);
  if (control == nullptr) return;
  if (control->IsMenu()) {
    BuildMenu(*control);
    return;
  }
  if (control->onToolbar && window_.isFrame()) {
    BuildToolbarButton(*control);
    return;
  }
  if (widgets_.count(number) != 0 || main_ != nullptr) return;
  QWidget* widget = MakeWidget(*control);
  if (widget == nullptr) return;
  widget->setProperty(kControlProperty, number);
  widgets_[number] = widget;
  // A prompt's mnemonic moves the focus to the control after it.
  const auto& all = window_.controls();
  for (size_t i = 1; i < all.size(); ++i) {
    if (all[i]->number != number || all[i - 1]->type != ControlPrompt) continue;
    if (auto* prompt = qobject_cast<QLabel*>(WidgetOf(all[i - 1]->number)))
      prompt->setBuddy(widget);
  }
  ShowControl(number);
  widget->setVisible(!control->hidden && !OnHiddenTab(*control));
}

void QtWindowView::DestroyControl(int32_t number) {
  if (auto it = widgets_.find(number); it != widgets_.end()) {
    if (!it->second.isNull()) it->second->deleteLater();
    if (!it->second.isNull()) it->second->hide();
    widgets_.erase(it);
  }
  if (auto it = actions_.find(number); it != actions_.end()) {
    if (!it->second.isNull()) it->second->deleteLater();
    actions_.erase(it);
  }
  menus_.erase(number);
}

QWidget* QtWindowView::WidgetOf(int32_t number) const {
  auto it = widgets_.find(number);
  return it == widgets_.end() ? nullptr : it->second.data();
}

QAction* QtWindowView::ActionOf(int32_t number) const {
  auto it = actions_.find(number);
  return it == actions_.end() ? nullptr : it->second.data();
}

void QtWindowView::ShowControl(int32_t number) {
  if (!Alive()) return;
  const Control* control = window_.Find(number);
  if (control == nullptr) return;
  if (QAction* action = ActionOf(number)) {
    ShowAction(*control, action);
    return;
  }
  // A frame's button may be put on the toolbar after it was made.
  if (control->onToolbar && toolBar_ != nullptr) {
    BuildToolbarButton(*control);
    return;
  }
  QWidget* widget = WidgetOf(number);
  if (widget == nullptr) return;
  // An image control that now shows a report page needs a page widget.
  if (control->type == ControlImage && !control->pageFile.empty() &&
      dynamic_cast<QtPageWidget*>(widget) == nullptr) {
    DestroyControl(number);
    CreateControl(number);
    return;
  }
  applying_ = true;
  ShowWidget(*control, widget);
  applying_ = false;
  if (auto* list = qobject_cast<QtListView*>(widget)) {
    // The procedure asks for the row count right after moving the list.
    Control* mutableControl = window_.Find(number);
    mutableControl->visibleRows = list->RowsFor(widget->height());
  }
  if (control->type == ControlSheet) ShowAllVisibility();
  FitContent();
}

void QtWindowView::Focus(int32_t number) {
  if (!Alive()) return;
  if (QWidget* widget = WidgetOf(number)) {
    QWidget* target = widget->focusProxy() != nullptr ? widget->focusProxy() : widget;
    target->setFocus();
  }
}

int32_t QtWindowView::ControlAt(int32_t x, int32_t y, bool dropTargets) const {
  const auto& controls = window_.controls();
  for (auto it = controls.rbegin(); it != controls.rend(); ++it) {
    const Control& c = **it;
    if (c.hidden || c.IsMenu()) continue;
    bool wanted = dropTargets ? !c.dropId.empty() : c.type == ControlRegion;
    if (wanted && x >= c.x && y >= c.y && x <= c.x + c.width && y <= c.y + c.height) {
      return c.number;
    }
  }
  return 0;
}

bool QtWindowView::HandleMouse(QEvent* event) {
  auto* mouse = static_cast<QMouseEvent*>(event);
  QtUnits units = Units();
  QPoint at = mouse->position().toPoint();
  int32_t x = units.FromX(at.x());
  int32_t y = units.FromY(at.y());
  int32_t modifiers = 0;
  if (mouse->modifiers() & Qt::ControlModifier) modifiers |= KeyCtrl;
  if (mouse->modifiers() & Qt::ShiftModifier) modifiers |= KeyShift;
  bool right = mouse->button() == Qt::RightButton;
  int32_t kind = EventNone;
  int32_t key = 0;
  switch (event->type()) {
    case QEvent::MouseButtonPress:
      kind = EventMouseDown;
      key = right ? KeyMouseRight : KeyMouseLeft;
      break;
    case QEvent::MouseButtonDblClick:
      kind = EventMouseDown;
      key = right ? KeyMouseRightDouble : KeyMouseLeftDouble;
      break;
    case QEvent::MouseButtonRelease:
      kind = EventMouseUp;
      key = right ? KeyMouseRightUp : KeyMouseLeftUp;
      break;
    case QEvent::MouseMove:
      kind = EventMouseMove;
      break;
    default:
      return false;
  }
  window_.UserMouse(kind, ControlAt(x, y, false), x, y, key | modifiers);
  return true;
}

// Ctrl with the wheel zooms (the window decides how); the wheel alone
// scrolls as usual.
bool QtWindowView::HandleWheel(QWheelEvent* wheel) {
  if (!(wheel->modifiers() & Qt::ControlModifier) || !window_.tracksMouse()) return false;
  int delta = wheel->angleDelta().y();
  if (delta == 0) return true;
  QtUnits units = Units();
  QPoint at = wheel->position().toPoint();
  window_.UserMouse(EventMouseWheel, 0, units.FromX(at.x()), units.FromY(at.y()),
                    KeyCtrl + (delta > 0 ? KeyUp : KeyDown));
  return true;
}

bool QtWindowView::eventFilter(QObject* watched, QEvent* event) {
  if (auto* text = qobject_cast<QPlainTextEdit*>(watched)) {
    if (event->type() == QEvent::FocusOut && text->document()->isModified()) {
      text->document()->setModified(false);
      std::string typed;
      if (FromQString(text->toPlainText(), &typed)) {
        window_.UserTyped(text->property(kControlProperty).toInt(), typed);
      }
    }
    return false;
  }
  if (watched == centredOver_.data()) {
    if (event->type() == QEvent::Move || event->type() == QEvent::Resize) CentreOverParent();
    return false;
  }
  if (watched == content_) {
    switch (event->type()) {
      case QEvent::Wheel:
        return HandleWheel(static_cast<QWheelEvent*>(event));
      case QEvent::MouseButtonPress:
      case QEvent::MouseButtonDblClick:
      case QEvent::MouseButtonRelease:
      case QEvent::MouseMove:
        return HandleMouse(event);
      case QEvent::Resize:
        if (scroll_ == nullptr) ClientResized();
        return false;
      default:
        return false;
    }
  }
  if (scroll_ != nullptr && watched == scroll_ && event->type() == QEvent::Resize) {
    ClientResized();
    FitContent();
    return false;
  }
  if (watched != top_.data()) return false;
  switch (event->type()) {
    case QEvent::Close:
      // The procedure decides whether its window closes.
      event->ignore();
      window_.UserCloseBox();
      return true;
    case QEvent::WindowActivate:
      presenter_.SyncActiveWindow();
      return false;
    case QEvent::Resize:
      if (main_ != nullptr && !applying_) {
        QtUnits units = Units();
        window_.UserResized(units.FromX(main_->width()), units.FromY(main_->height()));
      }
      return false;
    case QEvent::WindowStateChange:
      window_.UserStateChanged(top_->isMaximized(), top_->isMinimized());
      return false;
    case QEvent::Move:
      if (!applying_) {
        QtUnits units = Units();
        QPoint at = top_->isWindow() ? top_->geometry().topLeft() : top_->pos();
        window_.UserMoved(units.FromX(at.x()), units.FromY(at.y()));
      }
      return false;
    default:
      return false;
  }
}

void QtWindowView::FitTopToClient(QSize client) {
  if (auto* sized = dynamic_cast<WindowContent*>(Client())) sized->hint = client;
  if (auto* sized = dynamic_cast<WindowScrollArea*>(Client())) sized->hint = client;
  // The window's size follows from its client's through the layouts around
  // it (menu bar, dialog, sub-window frame); their cached sizes are stale.
  for (QWidget* w = Client(); w != nullptr; w = w->parentWidget()) {
    w->updateGeometry();
    if (w->layout() != nullptr) w->layout()->invalidate();
    if (w == top_) break;
  }
  top_->resize(top_->sizeHint().expandedTo(top_->minimumSizeHint()));
}

void QtWindowView::Cascade(QMdiSubWindow* sub) {
  Rect g = window_.geometry();
  if (g.x != 0 || g.y != 0 || sub->mdiArea() == nullptr) return;
  // Each new child steps down by a title bar from the last, as long as it
  // fits; Qt's own placement puts it anywhere, half out of sight.
  QMdiArea* area = sub->mdiArea();
  int step = sub->style()->pixelMetric(QStyle::PM_TitleBarHeight, nullptr, sub);
  int others = 0;
  for (QMdiSubWindow* other : area->subWindowList()) others += other != sub && other->isVisible();
  QPoint at(others * step, others * step);
  QSize room = area->viewport()->size();
  if (at.x() + sub->width() > room.width() || at.y() + sub->height() > room.height()) at = {0, 0};
  sub->move(at);
}

void QtWindowView::CentreOverParent() {
  // Dialogs centre themselves; a tool window such as the splash would
  // otherwise sit in the corner of the screen.
  QWidget* parent = top_->parentWidget() != nullptr ? top_->parentWidget()->window() : nullptr;
  QScreen* screen = parent != nullptr ? parent->screen() : top_->screen();
  QRect over = parent != nullptr ? parent->frameGeometry()
                                 : (screen != nullptr ? screen->availableGeometry() : QRect());
  if (!over.isValid()) return;
  QPoint at = over.center() - QPoint(top_->width() / 2, top_->height() / 2);
  if (screen != nullptr) {
    QRect room = screen->availableGeometry();
    at.setX(std::max(room.left(), std::min(at.x(), room.right() - top_->width())));
    at.setY(std::max(room.top(), std::min(at.y(), room.bottom() - top_->height())));
  }
  top_->move(at);
}

QWidget* QtWindowView::Client() const {
  return scroll_ != nullptr ? static_cast<QWidget*>(scroll_) : content_.data();
}

void QtWindowView::ClientResized() {
  if (applying_ || main_ != nullptr || !Alive()) return;
  QtUnits units = Units();
  QSize size = Client()->size();
  Rect g = window_.geometry();
  if (g.width == 0 && g.height == 0) {
    // A window designed without a size takes the one it was given.
    window_.SetSize(units.FromX(size.width()), units.FromY(size.height()));
    return;
  }
  if (size.width() != units.ToX(g.width) || size.height() != units.ToY(g.height)) {
    window_.UserResized(units.FromX(size.width()), units.FromY(size.height()));
  }
}

void QtWindowView::FitContent() {
  if (scroll_ == nullptr || !Alive()) return;
  QRect extent;
  for (const auto& [number, widget] : widgets_) {
    if (!widget.isNull() && widget->isVisibleTo(content_)) extent |= widget->geometry();
  }
  QSize viewport = scroll_->viewport()->size();
  content_->resize(std::max(extent.right() + 1, viewport.width()),
                   std::max(extent.bottom() + 1, viewport.height()));
}

void QtWindowView::CommitEntry(int32_t number, QWidget* widget) {
  auto* edit = qobject_cast<QLineEdit*>(widget);
  if (edit == nullptr || !edit->isModified()) return;
  edit->setModified(false);
  std::string text;
  if (!FromQString(edit->text(), &text)) return;
  window_.UserTyped(number, text);
}

void QtWindowView::DropFromList(int32_t number, QPoint global) {
  presenter_.DropAt(window_, number, global);
}

}  // namespace ledora::runtime
