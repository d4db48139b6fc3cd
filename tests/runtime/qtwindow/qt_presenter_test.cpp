#include "runtime/qtwindow/qt_presenter.h"

#include <gtest/gtest.h>

#include <QAction>
#include <QApplication>
#include <QColorDialog>
#include <QDialog>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLineEdit>
#include <QMainWindow>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenu>
#include <QMenuBar>
#include <QMessageBox>
#include <QPushButton>
#include <QScrollArea>
#include <QScrollBar>
#include <QTableWidget>
#include <QWheelEvent>
#include <algorithm>
#include <functional>

#include "runtime/qtwindow/qt_list_view.h"
#include "runtime/qtwindow/qt_window_view.h"
#include "runtime/window/common_dialogs.h"
#include "runtime/window/window_registry.h"
#include "tests/runtime/qtwindow/qt_window_fixture.h"

namespace ledora::runtime {
namespace {

class QtPresenterTest : public QtWindowFixture {
 protected:
  Window frame;
  Window child;
  Window dialog;
  std::vector<Event> childEvents;
  std::string typed;
  uint32_t answer = 0;
  bool childEnded = false;

  void RunFrame() {
    frame.SetFrame(true);
    frame.SetTitle("Quorval Report Designer - Vennic demo program");
    frame.AddMenu(-1, 0, "&File");
    frame.AddMenuItem(-2, -1, "E&xit", "Exit this application", ActionClose);
    frame.AddMenu(-3, 0, "&Browse");
    frame.AddMenuItem(-4, -3, "Browse Customers", "Browse Customers");
    frame.AddMenuSeparator(-3);
    frame.CreateControl(2000, ControlButton);
    frame.SetOnToolbar(2000, true);
    frame.SetTip(2000, "Insert a new Record");
    frame.Open();
    Event e;
    while (frame.Accept(&e)) {
      if (e.number == EventAccepted && e.control == -4) Start([this] { RunChild(); }, 50000);
    }
  }

  void RunChild() {
    char name[20] = "                   ";
    child.SetMdiChild(true);
    child.SetTitle("Browse the Customers File");
    child.SetSize(200, 120);
    child.CreateControl(1, ControlList);
    child.SetRect(1, {4, 4, 150, 80});
    child.SetListFormat(1, "45R(2)|M~Customer ID~C(0)@n-13@80L(2)|M~Name~@s35@");
    child.SetRows(1, {{"1", "Ann"}, {"2", "Bob"}});
    child.SetSelection(1, 1);
    child.SetImmediate(1, true);
    child.SetVScroll(1, true);
    child.CreateControl(2, ControlButton);
    child.SetRect(2, {160, 4, 36, 14});
    child.SetText(2, "&Change");
    child.Open();
    Event e;
    while (child.Accept(&e)) {
      childEvents.push_back(e);
      if (e.number == EventAccepted && e.control == 2) RunDialog(name);
    }
    childEnded = true;
  }

  void RunDialog(char (&name)[20]) {
    dialog.SetModal(true);
    dialog.SetTitle("Update the Customers File");
    dialog.CreateControl(1, ControlEntry);
    dialog.SetRect(1, {4, 4, 100, 12});
    dialog.SetUse(1, FieldRef::Of(name));
    dialog.CreateControl(2, ControlButton);
    dialog.SetRect(2, {4, 20, 40, 14});
    dialog.SetText(2, "OK");
    dialog.Open();
    Event e;
    while (dialog.Accept(&e)) {
      if (e.number != EventAccepted || e.control != 2) continue;
      answer = Messages().Show(MessageRequest{"Do you want to save the changes to this record?",
                                              "Save Record", IconQuestion,
                                              ButtonYes | ButtonNo | ButtonCancel, ButtonCancel});
      typed = std::string(name, sizeof name);
      dialog.Post(EventCloseWindow);
    }
  }

  int ChildCount(int32_t number, int32_t control) {
    int n = 0;
    for (const Event& e : childEvents) n += e.number == number && e.control == control;
    return n;
  }
};

TEST_F(QtPresenterTest, FrameChildModalDialogAndMessageBoxWithoutNestedLoop) {
  scheduler.Start([this] { RunFrame(); }, 0);
  ASSERT_TRUE(Pump([&] { return View(frame) != nullptr; }));
  auto* main = qobject_cast<QMainWindow*>(View(frame)->top());
  ASSERT_NE(main, nullptr);
  EXPECT_EQ(main->windowTitle(), "Quorval Report Designer - Vennic demo program");
  ASSERT_NE(View(frame)->mdiArea(), nullptr);
  QStringList menus;
  for (QAction* a : main->menuBar()->actions()) menus << a->text();
  EXPECT_EQ(menus, (QStringList{"&File", "&Browse"}));
  ASSERT_NE(View(frame)->ActionOf(-4), nullptr);
  EXPECT_EQ(View(frame)->ActionOf(-4)->statusTip(), "Browse Customers");
  ASSERT_NE(View(frame)->ActionOf(2000), nullptr);
  EXPECT_EQ(View(frame)->ActionOf(2000)->toolTip(), "Insert a new Record");

  // The menu starts the browse on a thread of its own, as an MDI child.
  View(frame)->ActionOf(-4)->trigger();
  ASSERT_TRUE(Pump([&] { return View(child) != nullptr; }));
  EXPECT_EQ(child.thread(), 2);
  ASSERT_NE(qobject_cast<QMdiSubWindow*>(View(child)->top()), nullptr);
  EXPECT_EQ(View(frame)->mdiArea()->subWindowList().size(), 1);

  // A toolbar press reaches the child that owns the toolbar.
  View(frame)->ActionOf(2000)->trigger();
  ASSERT_TRUE(Pump([&] { return ChildCount(EventAccepted, 2000) == 1; }));

  // Change opens a window-modal dialog on the child's thread.
  qobject_cast<QPushButton*>(View(child)->WidgetOf(2))->click();
  ASSERT_TRUE(Pump([&] { return View(dialog) != nullptr; }));
  auto* box = qobject_cast<QDialog*>(View(dialog)->top());
  ASSERT_NE(box, nullptr);
  EXPECT_EQ(box->windowModality(), Qt::WindowModal);
  auto* edit = qobject_cast<QLineEdit*>(View(dialog)->WidgetOf(1));
  ASSERT_NE(edit, nullptr);
  edit->setText(QString::fromUtf8("Zoë"));
  edit->setModified(true);
  emit edit->editingFinished();
  qobject_cast<QPushButton*>(View(dialog)->WidgetOf(2))->click();

  // The question waits on its thread while this loop keeps running.
  QMessageBox* question = nullptr;
  ASSERT_TRUE(Pump([&] { return (question = VisibleTopLevel<QMessageBox>()) != nullptr; }));
  EXPECT_EQ(question->text(), "Do you want to save the changes to this record?");
  EXPECT_EQ(question->defaultButton(), question->button(QMessageBox::Cancel));
  EXPECT_EQ(answer, 0u);
  question->button(QMessageBox::No)->click();
  ASSERT_TRUE(Pump([&] { return !dialog.IsOpen(); }));
  EXPECT_EQ(answer, static_cast<uint32_t>(ButtonNo));
  EXPECT_EQ(typed.substr(0, 3), "Zo\xEB") << "typed text is stored as Windows-1252";

  // Exit is the runtime's own action: the frame closes, its thread ends.
  View(frame)->ActionOf(-2)->trigger();
  ASSERT_TRUE(Pump([&] { return !scheduler.IsAlive(1); }));
  child.Post(EventCloseWindow);
  ASSERT_TRUE(Pump([&] { return childEnded; }));
}

TEST_F(QtPresenterTest, PagedListTurnsScrollBarKeysAndClicksIntoEvents) {
  frame.SetFrame(true);
  scheduler.Start([this] { RunFrame(); }, 0);
  ASSERT_TRUE(Pump([&] { return View(frame) != nullptr; }));
  View(frame)->ActionOf(-4)->trigger();
  ASSERT_TRUE(Pump([&] { return View(child) != nullptr; }));
  auto* list = qobject_cast<QtListView*>(View(child)->WidgetOf(1));
  ASSERT_NE(list, nullptr);
  EXPECT_EQ(list->table()->columnCount(), 2);
  EXPECT_EQ(list->table()->horizontalHeaderItem(0)->text(), "Customer ID");
  EXPECT_EQ(list->table()->item(1, 1)->text(), "Bob");
  ASSERT_TRUE(Pump([&] { return child.Find(1)->visibleRows > 0; }))
      << "the list reports how many rows fit";

  auto* bar = list->findChild<QScrollBar*>(QString(), Qt::FindDirectChildrenOnly);
  ASSERT_NE(bar, nullptr);
  bar->triggerAction(QAbstractSlider::SliderPageStepAdd);
  ASSERT_TRUE(Pump([&] { return ChildCount(EventPageDown, 1) == 1; }));

  child.SetSelection(1, 2);
  QKeyEvent down(QEvent::KeyPress, Qt::Key_Down, Qt::NoModifier);
  QCoreApplication::sendEvent(list->table(), &down);
  ASSERT_TRUE(Pump([&] { return ChildCount(EventScrollDown, 1) == 1; }))
      << "down from the last row of a page asks for the next record";

  QRect row = list->table()->visualRect(list->table()->model()->index(0, 0));
  QMouseEvent press(QEvent::MouseButtonPress, row.center(),
                    list->table()->viewport()->mapToGlobal(row.center()), Qt::LeftButton,
                    Qt::LeftButton, Qt::NoModifier);
  QCoreApplication::sendEvent(list->table()->viewport(), &press);
  ASSERT_TRUE(Pump([&] { return ChildCount(EventNewSelection, 1) >= 1; }));
  EXPECT_EQ(child.GetSelection(1), 1);

  // A notch of the wheel towards the user moves down three rows, reading
  // past the page as the arrow keys do.
  int32_t scrolled = ChildCount(EventScrollDown, 1);
  QPoint at = row.center();
  QWheelEvent wheel(at, list->table()->viewport()->mapToGlobal(at), QPoint(), QPoint(0, -120),
                    Qt::NoButton, Qt::NoModifier, Qt::NoScrollPhase, false);
  QCoreApplication::sendEvent(list->table()->viewport(), &wheel);
  ASSERT_TRUE(Pump([&] { return child.GetSelection(1) > 1; })) << "the wheel did nothing";
  EXPECT_GT(ChildCount(EventScrollDown, 1), scrolled);

  // The sort marker moving to another header keeps the widths the user set.
  list->table()->horizontalHeader()->resizeSection(0, 150);
  child.SetListFormat(1, "45R(2)|M~Customer ID~C(0)@n-13@80L(2)|M~Name \xBB~@s35@");
  ASSERT_EQ(list->table()->horizontalHeaderItem(1)->text(), QString::fromUtf8("Name »"));
  EXPECT_EQ(list->table()->columnWidth(0), 150);

  child.Post(EventCloseWindow);
  frame.Post(EventCloseWindow);
  ASSERT_TRUE(Pump([&] { return !scheduler.HasThreads(); }));
}

TEST_F(QtPresenterTest, ColourDialogAnswersTheWaitingThread) {
  int32_t colour = 0;
  bool chosen = false;
  scheduler.Start([&] { chosen = AskColour(&colour); }, 0);
  QColorDialog* picker = nullptr;
  ASSERT_TRUE(Pump([&] { return (picker = VisibleTopLevel<QColorDialog>()) != nullptr; }));
  picker->setCurrentColor(QColor(0, 0, 255));
  picker->accept();
  ASSERT_TRUE(Pump([&] { return !scheduler.HasThreads(); }));
  EXPECT_TRUE(chosen);
  EXPECT_EQ(colour, 0xFF0000) << "blue keeps its byte order of the designs";
}

TEST_F(QtPresenterTest, RunEndsWithTheMainThreadAndClosesTheOthers) {
  bool otherEnded = false;
  Window other;
  presenter.Run([&] {
    Start(
        [&] {
          other.SetTitle("left open");
          other.Open();
          Event e;
          while (other.Accept(&e)) {
          }
          otherEnded = true;
        },
        0);
    Window main;
    main.SetTimer(1);
    main.Open();
    Event e;
    while (main.Accept(&e)) {
      if (e.number == EventTimer) main.Post(EventCloseWindow);
    }
  });
  EXPECT_TRUE(otherEnded);
  EXPECT_FALSE(scheduler.HasThreads());
}

TEST_F(QtPresenterTest, CanvasControlsMadeAtRunTimeAndMouseAndDropsInWindowUnits) {
  std::vector<Event> canvasEvents;
  Window& canvas = child;
  Window& box = dialog;
  bool stop = false;
  auto loop = [&](Window& w, std::vector<Event>* events) {
    w.Open();
    Event e;
    while (w.Accept(&e)) {
      if (events != nullptr) events->push_back(e);
      if (stop) w.Post(EventCloseWindow);
    }
  };
  canvas.SetTitle("canvas");
  canvas.SetUnit(UnitPixels);
  canvas.SetPosition(10, 10);
  canvas.SetSize(400, 300);
  canvas.CreateControl(1, ControlRegion);
  canvas.SetRect(1, {0, 0, 400, 300});
  canvas.SetTrackMouse(1, true);
  canvas.SetDropId(1, "Field");
  box.SetTitle("Controls and fields");
  box.SetPosition(600, 10);
  box.SetSize(200, 200);
  box.CreateControl(1, ControlList);
  box.SetRect(1, {0, 0, 150, 150});
  box.SetRows(1, {{"CUS:NAME"}, {"CUS:CUSTOMERID"}});
  box.SetSelection(1, 1);
  box.SetDragId(1, "Field");
  scheduler.Start([&] { loop(canvas, &canvasEvents); }, 0);
  scheduler.Start([&] { loop(box, nullptr); }, 0);
  ASSERT_TRUE(Pump([&] { return View(canvas) != nullptr && View(box) != nullptr; }));

  int32_t made = 0;
  Start(
      [&] {
        made = canvas.CreateControl(0, ControlBox);
        canvas.SetRect(made, {20, 30, 100, 50});
        canvas.SetFillColour(made, 0xFF0000);
      },
      0);
  ASSERT_TRUE(Pump([&] { return made != 0 && View(canvas)->WidgetOf(made) != nullptr; }));
  QWidget* shape = View(canvas)->WidgetOf(made);
  EXPECT_EQ(shape->geometry(), QRect(20, 30, 100, 50));
  EXPECT_TRUE(shape->testAttribute(Qt::WA_TransparentForMouseEvents));

  QPoint at(50, 40);
  QMouseEvent press(QEvent::MouseButtonPress, at, View(canvas)->content()->mapToGlobal(at),
                    Qt::LeftButton, Qt::LeftButton, Qt::ControlModifier);
  QCoreApplication::sendEvent(View(canvas)->content(), &press);
  ASSERT_TRUE(Pump([&] {
    return std::any_of(canvasEvents.begin(), canvasEvents.end(),
                       [](const Event& e) { return e.number == EventMouseDown; });
  }));
  const Event& down = *std::find_if(canvasEvents.begin(), canvasEvents.end(),
                                    [](const Event& e) { return e.number == EventMouseDown; });
  EXPECT_EQ(down.control, 1);
  EXPECT_EQ(down.x, 50);
  EXPECT_EQ(down.y, 40);
  EXPECT_EQ(down.keyCode, KeyMouseLeft | KeyCtrl);

  canvas.DestroyControl(made);
  EXPECT_EQ(View(canvas)->WidgetOf(made), nullptr);

  // A window manager places the windows a moment after they open.
  QWidget* region = View(canvas)->WidgetOf(1);
  ASSERT_TRUE(Pump([&] {
    return presenter.WindowOfWidget(QApplication::widgetAt(region->mapToGlobal(QPoint(70, 80)))) ==
           &canvas;
  }));
  presenter.DropAt(box, 1, region->mapToGlobal(QPoint(70, 80)));
  ASSERT_TRUE(Pump([&] {
    return std::any_of(canvasEvents.begin(), canvasEvents.end(),
                       [](const Event& e) { return e.number == EventDrop; });
  }));
  const Event& drop = *std::find_if(canvasEvents.begin(), canvasEvents.end(),
                                    [](const Event& e) { return e.number == EventDrop; });
  EXPECT_EQ(drop.text, "CUS:NAME");
  EXPECT_EQ(drop.x, 70);
  EXPECT_EQ(drop.y, 80);

  stop = true;
  canvas.Post(EventCloseWindow);
  box.Post(EventCloseWindow);
  ASSERT_TRUE(Pump([&] { return !scheduler.HasThreads(); }));
}

TEST_F(QtPresenterTest, SplashOverTheFrameKeepsTheFocusUntilClicked) {
  std::vector<Event> splashEvents;
  scheduler.Start(
      [&] {
        frame.SetFrame(true);
        frame.Open();
        Window& about = dialog;
        about.SetCaption(false);
        about.SetSize(120, 60);
        about.AddAlert(KeyMouseLeft);
        about.AddAlert(KeyMouseRight);
        about.AddAlert(KeyMouseLeftDouble);
        about.Open();
        about.Activate();
        Event e;
        while (about.Accept(&e)) {
          splashEvents.push_back(e);
          if (e.number == EventAlertKey || (e.number == EventLoseFocus && e.value != 0)) {
            about.Post(EventCloseWindow);
          }
        }
        while (frame.Accept(&e)) {
        }
      },
      0);
  ASSERT_TRUE(Pump([&] { return View(dialog) != nullptr; }));
  Settle();
  EXPECT_TRUE(Pump([&] { return dialog.HadFocus(); })) << "the splash never got the focus";
  Settle();
  for (const Event& e : splashEvents) {
    EXPECT_FALSE(e.number == EventLoseFocus && e.value != 0) << "closed at once";
  }
  ASSERT_TRUE(dialog.IsOpen());
  EXPECT_TRUE(View(dialog)->top()->windowFlags() & Qt::FramelessWindowHint);

  QPoint at(5, 5);
  QMouseEvent click(QEvent::MouseButtonPress, at, View(dialog)->content()->mapToGlobal(at),
                    Qt::RightButton, Qt::RightButton, Qt::NoModifier);
  QCoreApplication::sendEvent(View(dialog)->content(), &click);
  ASSERT_TRUE(Pump([&] { return !dialog.IsOpen(); }));
  frame.Post(EventCloseWindow);
  ASSERT_TRUE(Pump([&] { return !scheduler.HasThreads(); }));
}

TEST_F(QtPresenterTest, ScrollingWindowGrowsWithItsControlsAndListsKnowTheirRowsAtOnce) {
  int32_t rowsBefore = 0;
  int32_t rowsAfter = 0;
  bool moved = false;
  Window& w = child;
  w.SetScrollable(true);
  w.SetResizable(true);
  w.SetUnit(UnitPixels);
  w.SetSize(300, 200);
  w.CreateControl(1, ControlList);
  w.SetRect(1, {0, 0, 200, 100});
  w.SetListFormat(1, "100L~Name~@s20@");
  w.CreateControl(2, ControlBox);
  w.SetRect(2, {900, 1200, 50, 50});
  scheduler.Start(
      [&] {
        w.Open();
        Event e;
        while (w.Accept(&e)) {
          if (e.number == EventAccepted && !moved) {
            rowsBefore = w.VisibleRows(1);
            w.SetRect(1, {0, 0, 200, 400});
            rowsAfter = w.VisibleRows(1);
            moved = true;
          }
        }
      },
      0);
  ASSERT_TRUE(Pump([&] { return View(w) != nullptr; }));
  Settle();
  QWidget* content = View(w)->content();
  EXPECT_GE(content->width(), 950) << "the box beyond the window can be scrolled to";
  EXPECT_GE(content->height(), 1250);
  ASSERT_NE(View(w)->top()->findChild<QScrollArea*>(), nullptr);
  Rect g = w.geometry();
  EXPECT_EQ(g.width, 300) << "the window keeps its size; the content scrolls";
  EXPECT_EQ(g.height, 200);

  w.Post(EventAccepted, 0);
  ASSERT_TRUE(Pump([&] { return moved; }));
  EXPECT_GT(rowsAfter, rowsBefore * 3) << rowsBefore << " then " << rowsAfter;
  w.Post(EventCloseWindow);
  ASSERT_TRUE(Pump([&] { return !scheduler.HasThreads(); }));
}

TEST_F(QtPresenterTest, MaximisingGoesBothWaysBetweenModelAndScreen) {
  Window& w = child;
  w.SetResizable(true);
  w.SetSize(200, 100);
  scheduler.Start(
      [&] {
        w.Open();
        Event e;
        while (w.Accept(&e)) {
        }
      },
      0);
  ASSERT_TRUE(Pump([&] { return View(w) != nullptr; }));
  QWidget* top = View(w)->top();
  w.SetMaximised(true);
  ASSERT_TRUE(Pump([&] { return top->isMaximized(); }));
  top->showNormal();
  ASSERT_TRUE(Pump([&] { return !w.IsMaximised(); })) << "the settings store must see the restore";
  w.Post(EventCloseWindow);
  ASSERT_TRUE(Pump([&] { return !scheduler.HasThreads(); }));
}

TEST_F(QtPresenterTest, PopupMenuAnswersWithTheChosenEntryOrNothing) {
  std::vector<int32_t> choices;
  scheduler.Start(
      [&] {
        choices.push_back(Popup("One|~Two|Three{A|B}"));
        choices.push_back(Popup("One|Two"));
      },
      0);
  QMenu* menu = nullptr;
  ASSERT_TRUE(Pump([&] { return (menu = VisibleTopLevel<QMenu>()) != nullptr; }));
  QList<QAction*> top = menu->actions();
  ASSERT_EQ(top.size(), 3);
  EXPECT_FALSE(top[1]->isEnabled());
  ASSERT_NE(top[2]->menu(), nullptr);
  QAction* b = top[2]->menu()->actions().at(1);
  EXPECT_EQ(b->text(), "B");
  menu->hide();
  b->trigger();
  ASSERT_TRUE(Pump([&] { return choices.size() == 1; }));
  EXPECT_EQ(choices[0], 4) << "entries count without the submenu heading";

  ASSERT_TRUE(Pump([&] { return (menu = VisibleTopLevel<QMenu>()) != nullptr; }));
  menu->hide();
  ASSERT_TRUE(Pump([&] { return !scheduler.HasThreads(); }));
  EXPECT_EQ(choices[1], 0) << "a menu closed without a choice";
}

TEST_F(QtPresenterTest, WindowsOutlivingTheWindowTheySitOnStaySafe) {
  bool change = false;
  Window& owner = frame;
  owner.SetFrame(true);
  child.SetMdiChild(true);
  child.CreateControl(1, ControlEntry);
  dialog.SetTitle("tool");
  dialog.CreateControl(1, ControlEntry);
  auto loop = [&](Window& w) {
    w.Open();
    Event e;
    while (w.Accept(&e)) {
      if (change) {
        w.SetTitle("still here");
        w.SetText(1, "x");
        w.SetCursor(CursorWait);
      }
    }
  };
  scheduler.Start([&] { loop(owner); }, 0);
  ASSERT_TRUE(Pump([&] { return View(owner) != nullptr; }));
  scheduler.Start([&] { loop(child); }, 0);
  scheduler.Start([&] { loop(dialog); }, 0);
  ASSERT_TRUE(Pump([&] { return View(child) != nullptr && View(dialog) != nullptr; }));
  ASSERT_EQ(View(dialog)->top()->parentWidget(), View(owner)->top())
      << "a tool window over the frame";

  owner.Post(EventCloseWindow);
  ASSERT_TRUE(Pump([&] { return !owner.IsOpen(); }));
  Settle();  // the frame's widgets are gone now
  change = true;
  child.Post(EventTimer);
  dialog.Post(EventTimer);
  ASSERT_TRUE(
      Pump([&] { return dialog.title() == "still here" && child.title() == "still here"; }));
  ASSERT_NE(View(dialog)->top(), nullptr) << "the tool window was handed over, not deleted";
  EXPECT_TRUE(View(dialog)->top()->isVisible());
  child.Post(EventCloseWindow);
  dialog.Post(EventCloseWindow);
  ASSERT_TRUE(Pump([&] { return !scheduler.HasThreads(); }));
}

}  // namespace
}  // namespace ledora::runtime
