// The frame's Window menu on screen: it lists the open children with the
// active one checked, choosing one activates it, and Tile and Cascade keep
// the children inside the frame, also while one of them is maximised.
#include <QAction>
#include <QGuiApplication>
#include <QMainWindow>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenu>
#include <array>
#include <cstdlib>
#include <string>

#include "tests/runtime/qtwindow/qt_window_fixture.h"

namespace ledora::runtime {
namespace {

enum : int32_t { kWindowMenu = -1, kTile = -2, kCascade = -3 };

class QtWindowMenuTest : public QtWindowFixture {
 protected:
  void SetUp() override {
    frame.SetFrame(true);
    frame.SetUnit(UnitPixels);
    frame.SetSize(640, 420);
    frame.AddMenu(kWindowMenu, 0, "&Window");
    frame.AddMenuItem(kTile, kWindowMenu, "T&ile", "", ActionTile);
    frame.AddMenuItem(kCascade, kWindowMenu, "&Cascade", "", ActionCascade);
    ASSERT_TRUE(OpenOnThread(frame));
    const char* titles[] = {"Customers", "Items", "Invoices"};
    for (size_t i = 0; i < children.size(); ++i) {
      Window& child = children[i];
      child.SetMdiChild(true);
      child.SetResizable(true);
      child.SetUnit(UnitPixels);
      child.SetTitle(titles[i]);
      child.SetSize(380, 260);
      child.SetMinimumSize(380, 260);  // as the browses are: never below their design
      ASSERT_TRUE(OpenOnThread(child));
    }
    main = qobject_cast<QMainWindow*>(View(frame)->top());
    ASSERT_NE(main, nullptr);
    area = View(frame)->mdiArea();
    Settle();
  }
  void TearDown() override {
    for (Window& child : children) child.Post(EventCloseWindow);
    frame.Post(EventCloseWindow);
    Pump([&] { return !scheduler.HasThreads(); });
  }

  QMdiSubWindow* Sub(Window& child) { return qobject_cast<QMdiSubWindow*>(View(child)->top()); }
  // The Window menu as it opens: the entries after its own.
  QList<QAction*> Listed() {
    QMenu* menu = View(frame)->ActionOf(kWindowMenu)->menu();
    emit menu->aboutToShow();
    QList<QAction*> listed;
    for (QAction* a : menu->actions()) {
      if (a->property(QtWindowView::kChildListProperty).isValid() && !a->isSeparator()) {
        listed << a;
      }
    }
    return listed;
  }

  Window frame;
  std::array<Window, 3> children;
  QMainWindow* main = nullptr;
  QMdiArea* area = nullptr;
};

TEST_F(QtWindowMenuTest, ListsTheChildrenAndChoosingOneActivatesIt) {
  area->setActiveSubWindow(Sub(children[2]));
  QList<QAction*> listed = Listed();
  ASSERT_EQ(listed.size(), 3);
  EXPECT_EQ(listed[0]->text(), "&1 Customers");
  EXPECT_TRUE(listed[2]->isChecked());
  EXPECT_FALSE(listed[0]->isChecked());
  listed[0]->trigger();
  ASSERT_TRUE(Pump([&] { return area->activeSubWindow() == Sub(children[0]); }));
  listed = Listed();
  ASSERT_EQ(listed.size(), 3) << "the list is made anew, not added to";
  EXPECT_TRUE(listed[0]->isChecked());
}

TEST_F(QtWindowMenuTest, TileAndCascadeKeepTheChildrenInsideTheFrameAlsoWhileOneIsMaximised) {
  QSize before = main->size();
  Sub(children[1])->showMaximized();
  Settle();
  for (int32_t arrange : {kTile, kCascade, kTile}) {
    View(frame)->ActionOf(arrange)->trigger();
    Settle();
    EXPECT_EQ(main->size(), before) << "the frame grew on " << arrange;
    for (Window& child : children) {
      EXPECT_FALSE(Sub(child)->isMaximized());
      EXPECT_TRUE(area->viewport()->rect().intersects(Sub(child)->geometry()))
          << child.title() << " is out of sight";
    }
  }
}

// As a user does it on screen: the frame maximised, children too big for a
// share of it each, Tile and then Cascade from the keyboard through the X
// server; every child's whole frame stays in the area the frame shows.
TEST_F(QtWindowMenuTest, WithTheFrameMaximisedTileAndCascadeKeepEveryChildFrameInsideTheArea) {
  if (QGuiApplication::platformName() != "xcb" || std::system("command -v xdotool >/dev/null")) {
    GTEST_SKIP() << "needs an X display and xdotool";
  }
  for (Window& child : children) {
    child.SetMinimumSize(660, 480);
    child.SetSize(660, 480);
  }
  main->showMaximized();
  ASSERT_TRUE(Pump([&] { return main->isMaximized() && main->isActiveWindow(); }));
  Settle();
  for (const char* key : {"i", "c"}) {
    std::system("xdotool key alt+w");
    ASSERT_TRUE(Pump([] { return QApplication::activePopupWidget() != nullptr; })) << key;
    std::system((std::string("xdotool key ") + key).c_str());
    ASSERT_TRUE(Pump([] { return QApplication::activePopupWidget() == nullptr; })) << key;
    Settle();
    for (Window& child : children) {
      EXPECT_TRUE(area->viewport()->rect().contains(Sub(child)->geometry()))
          << key << ": " << child.title() << " reaches past the area";
    }
  }
}

}  // namespace
}  // namespace ledora::runtime
