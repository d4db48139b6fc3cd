// One window of the model on screen: the frame as a main window with an MDI
// area, menu bar, toolbar and status line; a child as an MDI sub-window; a
// modal window as a window-modal dialog; and a widget per control. It shows
// every change of the model and reports the user's actions back to it.
#pragma once

#include <QObject>
#include <QPointer>
#include <QRect>
#include <map>

#include "runtime/window/window.h"

class QAction;
class QMainWindow;
class QMdiArea;
class QMdiSubWindow;
class QMenu;
class QMenuBar;
class QScrollArea;
class QTimer;
class QToolBar;
class QWheelEvent;
class QWidget;

namespace ledora::runtime {

class QtPresenter;
class QtUnits;

class QtWindowView : public QObject, public Window::PresenterData {
  Q_OBJECT

 public:
  // The property that marks a widget with its control number.
  static constexpr const char* kControlProperty = "ledoraControl";
  // The property that marks a window's outermost widget with its Window.
  static constexpr const char* kWindowProperty = "ledoraWindow";
  // The property that marks the entries of the frame's list of children.
  static constexpr const char* kChildListProperty = "ledoraChildList";

  QtWindowView(Window& window, QtPresenter& presenter, QWidget* parent);
  ~QtWindowView() override;

  void ShowWindow();
  void ShowControl(int32_t number);
  void CreateControl(int32_t number);
  void DestroyControl(int32_t number);
  void Focus(int32_t number);

  Window& window() { return window_; }
  QWidget* top() const { return top_; }
  QWidget* content() const { return content_.data(); }
  QMdiArea* mdiArea() const { return mdiArea_; }
  QWidget* WidgetOf(int32_t number) const;
  QAction* ActionOf(int32_t number) const;
  // The control at a point of the content (window units), regions and drop
  // targets only; 0 when none.
  int32_t ControlAt(int32_t x, int32_t y, bool dropTargets) const;
  QtUnits Units() const;

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  void BuildTop(QWidget* parent);
  void BuildMenus();
  void BuildMenu(const Control& control);
  void BuildToolbarButton(const Control& control);
  // The frame's Window menu lists the open children, the active one checked.
  void ListChildren(QMenu* menu, int32_t number);
  QWidget* MakeWidget(const Control& control);
  void ShowWidget(const Control& control, QWidget* widget);
  void ShowText(const Control& control, QWidget* widget);
  void ShowAction(const Control& control, QAction* action);
  bool OnHiddenTab(const Control& control) const;
  void ShowAllVisibility();
  bool HandleMouse(QEvent* event);
  bool HandleWheel(QWheelEvent* wheel);
  void CommitEntry(int32_t number, QWidget* widget);
  void DropFromList(int32_t number, QPoint global);
  void SizeToModel();
  void FitTopToClient(QSize client);
  void Cascade(QMdiSubWindow* sub);
  // qt_window_view_place.cpp
  void FirstPlacement();
  void KeepOnScreen();
  void QueueKeepOnScreen();
  void Place(const QRect& client);
  void CentreOverParent();
  QWidget* Client() const;  // the widget as big as the window's client area
  void ClientResized();
  void FitContent();

  Window& window_;
  QtPresenter& presenter_;
  QPointer<QWidget> top_;
  // The screen side may go first (a frame takes its MDI children along);
  // the view then shows nothing more.
  bool Alive() const { return !top_.isNull() && !content_.isNull(); }

  QPointer<QWidget> content_;
  QMainWindow* main_ = nullptr;
  QMdiArea* mdiArea_ = nullptr;
  QScrollArea* scroll_ = nullptr;  // a scrolling window's client area
  QMenuBar* menuBar_ = nullptr;
  QToolBar* toolBar_ = nullptr;
  QTimer* timer_ = nullptr;
  std::map<int32_t, QPointer<QWidget>> widgets_;
  std::map<int32_t, QPointer<QAction>> actions_;
  std::map<int32_t, QPointer<QMenu>> menus_;
  bool applying_ = false;
  bool shown_ = false;             // the constructor has placed the window
  QPointer<QWidget> centredOver_;  // the parent a placeless window stays centred on
};

}  // namespace ledora::runtime
