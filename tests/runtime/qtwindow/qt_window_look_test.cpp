// What the user sees of a window: text that fits the room designed for it,
// list headers and rows shown whole, children of the frame in sight.
#include <QFontDatabase>
#include <QFontInfo>
#include <QHeaderView>
#include <QImage>
#include <QLabel>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QPushButton>
#include <QScrollBar>
#include <QTableWidget>
#include <QToolBar>
#include <QToolButton>
#include <algorithm>
#include <string>
#include <vector>

#include "runtime/qtwindow/qt_conversions.h"
#include "runtime/qtwindow/qt_icons.h"
#include "runtime/qtwindow/qt_list_view.h"
#include "tests/runtime/qtwindow/qt_window_fixture.h"

namespace ledora::runtime {
namespace {

constexpr char kLetters[] = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz";

class QtWindowLookTest : public QtWindowFixture {
 protected:
  void TearDown() override {
    for (Window* w : windows) w->Post(EventCloseWindow);
    Pump([&] { return !scheduler.HasThreads(); });
  }

  void Open(Window& w) {
    windows.push_back(&w);
    ASSERT_TRUE(OpenOnThread(w));
  }

  // List 1 of window w, in pixels, with room around it.
  void AddList(const Rect& rect, const char* format) {
    w.SetUnit(UnitPixels);
    w.SetSize(rect.width + 100, rect.height + 100);
    w.CreateControl(1, ControlList);
    w.SetRect(1, rect);
    w.SetListFormat(1, format);
  }

  std::vector<Window*> windows;
  Window w;
  Window frame;
  Window first;
  Window second;
};

TEST_F(QtWindowLookTest, TextDesignedInDialogUnitsForMsSansSerifFitsItsRoom) {
  w.SetFont({"MS Sans Serif", 8, FontWeightNormal, kNoColour});
  w.SetSize(260, 40);
  w.CreateControl(1, ControlPrompt);
  // Four dialog units hold one average letter.
  w.SetRect(1, {4, 4, 4 * 52, 10});
  w.SetText(1, kLetters);
  Open(w);
  auto* label = qobject_cast<QLabel*>(View(w)->WidgetOf(1));
  ASSERT_NE(label, nullptr);
  EXPECT_LE(label->fontMetrics().horizontalAdvance(kLetters), label->width() + 1);
  EXPECT_GE(label->height(), label->fontMetrics().height()) << "a line of text is cut";

  QString family = QFontInfo(label->font()).family();
  if (!QFontDatabase::hasFamily("MS Sans Serif") && QFontDatabase::hasFamily("Liberation Sans")) {
    EXPECT_EQ(family, "Liberation Sans") << "the stand-in of the same width";
  }
}

TEST_F(QtWindowLookTest, ListShowsWholeHeadersAndOnlyRowsThatFitBesideItsScrollBar) {
  AddList({0, 0, 300, 200},
          "20R(2)|M~Customer ID~C(0)@n-13@200L(2)|M~Name~@s35@200L(2)|M~Town~@s30@");
  w.SetImmediate(1, true);
  w.SetVScroll(1, true);
  std::vector<std::vector<std::string>> rows;
  for (int i = 1; i <= 40; ++i) rows.push_back({std::to_string(i), "Name", "Town"});
  w.SetRows(1, rows);
  w.SetSelection(1, 1);
  Open(w);
  auto* list = qobject_cast<QtListView*>(View(w)->WidgetOf(1));
  ASSERT_NE(list, nullptr);
  QTableWidget* table = list->table();
  QHeaderView* header = table->horizontalHeader();
  EXPECT_GE(header->sectionSize(0), header->fontMetrics().horizontalAdvance("Customer ID"));
  EXPECT_FALSE(header->font().bold());
  EXPECT_LE(table->rowHeight(0), table->fontMetrics().height() + 8) << "rows as high as a line";

  // The page the model asks for is what the list shows whole.
  Settle();
  int32_t fit = w.VisibleRows(1);
  ASSERT_GT(fit, 1);
  ASSERT_TRUE(table->horizontalScrollBar()->isVisible());
  EXPECT_LE(table->rowViewportPosition(fit - 1) + table->rowHeight(fit - 1),
            table->viewport()->height());
  EXPECT_GT(table->rowViewportPosition(fit) + table->rowHeight(fit), table->viewport()->height())
      << "one more row would fit";
}

// The rightmost column of pixels in a row's cell that holds text.
int RightmostInk(const QImage& image, const QRect& cell) {
  int rightmost = -1;
  for (int y = cell.top(); y <= cell.bottom(); ++y) {
    for (int x = cell.left(); x <= cell.right(); ++x) {
      if (qGray(image.pixel(x, y)) < 128) rightmost = std::max(rightmost, x);
    }
  }
  return rightmost;
}

TEST_F(QtWindowLookTest, ListTextKeepsItsIndentFromTheEdge) {
  AddList({0, 0, 250, 150}, "100R(30)~A~@n6@100R~B~@n6@");
  w.SetRows(1, {{"8", "8"}, {"8", "8"}});
  Open(w);
  QTableWidget* table = qobject_cast<QtListView*>(View(w)->WidgetOf(1))->table();
  Settle();
  QImage shot = table->viewport()->grab().toImage();
  QRect indented = table->visualRect(table->model()->index(1, 0)).adjusted(0, 1, -2, -1);
  QRect flush = table->visualRect(table->model()->index(1, 1)).adjusted(0, 1, -2, -1);
  int gapIndented = indented.right() - RightmostInk(shot, indented);
  int gapFlush = flush.right() - RightmostInk(shot, flush);
  EXPECT_GE(gapIndented - gapFlush, 28) << "the text stands at the edge";
  EXPECT_LE(gapIndented - gapFlush, 32);
}

TEST_F(QtWindowLookTest, ChildrenOfTheFrameCascadeInSight) {
  frame.SetFrame(true);
  frame.SetUnit(UnitPixels);
  frame.SetSize(800, 600);
  Open(frame);
  for (Window* child : {&first, &second}) {
    child->SetMdiChild(true);
    child->SetUnit(UnitPixels);
    child->SetSize(300, 200);
    Open(*child);
  }
  Settle();
  QRect room = View(frame)->mdiArea()->viewport()->rect();
  QRect one = View(first)->top()->geometry();
  QRect two = View(second)->top()->geometry();
  EXPECT_TRUE(room.contains(one)) << "first child out of sight";
  EXPECT_TRUE(room.contains(two)) << "second child out of sight";
  EXPECT_GT(two.top(), one.top());
  EXPECT_GT(two.left(), one.left());
  EXPECT_LT(two.top() - one.top(), 60) << "steps of a title bar";
}

TEST_F(QtWindowLookTest, NamedIconsComeFromTheProgramsThemeAndWindowsShowTheProgramsIcon) {
  EXPECT_EQ(QIcon::themeName(), kIconTheme);
  for (const char* name :
       {"Cancel.ico", "pilned.ico", "S_EXIT.ICO", "SMAPAGE.ICO", "vcrnext.ico"}) {
    EXPECT_FALSE(ToQIcon(name).pixmap(16, 16).isNull()) << name << " shows nothing";
  }
  EXPECT_EQ(ToQIcon("~layout.ico").cacheKey(), ProgramIcon().cacheKey());
  EXPECT_TRUE(ToQIcon("no such.ico").isNull());

  w.CreateControl(1, ControlButton);
  w.SetText(1, "Cancel");
  w.SetIcon(1, "Cancel.ico");
  Open(w);
  auto* button = qobject_cast<QPushButton*>(View(w)->WidgetOf(1));
  ASSERT_NE(button, nullptr);
  EXPECT_FALSE(button->icon().isNull());
  EXPECT_EQ(button->text(), "Cancel") << "the text stays as the label";
  EXPECT_EQ(View(w)->top()->windowIcon().cacheKey(), ProgramIcon().cacheKey())
      << "a window without an icon of its own shows Qt's";
}

TEST_F(QtWindowLookTest, ToolWindowWithoutAPlaceOpensOverTheMiddleOfTheFrame) {
  frame.SetFrame(true);
  frame.SetUnit(UnitPixels);
  frame.SetPosition(50, 40);
  frame.SetSize(800, 600);
  Open(frame);
  w.SetCaption(false);
  w.SetUnit(UnitPixels);
  w.SetSize(200, 100);
  Open(w);
  Settle();
  // A window manager places and frames the frame after the splash opened;
  // the splash follows it to its middle.
  auto offMiddle = [&] {
    QPoint middle = View(frame)->top()->frameGeometry().center();
    return (middle - View(w)->top()->frameGeometry().center()).manhattanLength();
  };
  EXPECT_TRUE(Pump([&] { return offMiddle() <= 12; })) << "the splash is " << offMiddle() << " off";
  View(frame)->top()->move(View(frame)->top()->pos() + QPoint(40, 30));
  EXPECT_TRUE(Pump([&] { return offMiddle() <= 12; })) << "the splash stayed behind";

  second.SetUnit(UnitPixels);
  second.SetPosition(30, 20);
  second.SetSize(100, 50);
  Open(second);
  EXPECT_EQ(View(second)->top()->geometry().topLeft(), QPoint(30, 20)) << "a given place is kept";
}

TEST_F(QtWindowLookTest, ChildOfTheFrameCalledFromAModalFormOpensOverTheForm) {
  frame.SetFrame(true);
  Open(frame);
  first.SetModal(true);
  second.SetMdiChild(true);
  windows.push_back(&second);
  windows.push_back(&first);
  scheduler.Start(
      [&] {
        first.Open();
        second.Open();  // a selection list the form calls on its thread
        Event e;
        while (second.Accept(&e)) {
        }
        while (first.Accept(&e)) {
        }
      },
      0);
  ASSERT_TRUE(Pump([&] { return View(second) != nullptr; }));
  QWidget* list = View(second)->top();
  EXPECT_EQ(qobject_cast<QMdiSubWindow*>(list), nullptr) << "behind the form, out of reach";
  EXPECT_EQ(list->parentWidget(), View(first)->top());
  EXPECT_TRUE(list->isWindow());
  EXPECT_NE(list->windowModality(), Qt::NonModal) << "the form would take the keys";
}

TEST_F(QtWindowLookTest, ButtonWithoutTextWhosePictureIsMissingStillShows) {
  w.SetUnit(UnitPixels);
  w.SetSize(200, 100);
  w.CreateControl(1, ControlButton);
  w.SetRect(1, {10, 10, 20, 20});
  w.SetIcon(1, "no-such-picture.ico");
  w.CreateControl(2, ControlButton);
  w.SetRect(2, {40, 10, 60, 20});
  w.SetText(2, "&OK");
  Open(w);
  EXPECT_EQ(qobject_cast<QPushButton*>(View(w)->WidgetOf(1))->text(), "...");
  EXPECT_EQ(qobject_cast<QPushButton*>(View(w)->WidgetOf(2))->text(), "&OK");
  EXPECT_EQ(w.GetText(1), "") << "the model keeps its own text";
}

}  // namespace
}  // namespace ledora::runtime

namespace ledora::runtime {
namespace {

// A window's own toolbar sits outside its scrolling client, so it stays in
// sight; a check with a picture is a toggle button that shows its state.
TEST_F(QtWindowLookTest, AWindowsToolbarStaysOutOfItsScrollingClientAndPicturedChecksToggle) {
  w.SetUnit(UnitPixels);
  w.SetScrollable(true);
  w.SetSize(300, 200);
  w.CreateControl(1, ControlButton);
  w.SetIcon(1, "~dsave.ico");
  w.SetTip(1, "Save layout");
  w.SetOnToolbar(1, true);
  w.CreateControl(2, ControlEntry);
  w.SetRect(2, {0, 0, 60, 20});
  w.SetOnToolbar(2, true);
  w.CreateControl(3, ControlCheck);
  w.SetIcon(3, "~dbold.ico");
  w.SetText(3, "Bold");
  w.SetRect(3, {10, 10, 24, 24});
  w.CreateControl(4, ControlBox);
  w.SetRect(4, {0, 40, 50, 2000});  // far taller than the window
  Open(w);
  QtWindowView* view = View(w);
  auto* bar = view->top()->findChild<QToolBar*>();
  ASSERT_NE(bar, nullptr);
  EXPECT_FALSE(view->content()->isAncestorOf(bar));
  EXPECT_EQ(view->WidgetOf(2)->parentWidget(), bar);
  QAction* save = view->ActionOf(1);
  ASSERT_NE(save, nullptr);
  EXPECT_FALSE(save->icon().pixmap(22, 22).isNull());
  EXPECT_EQ(save->toolTip(), "Save layout");

  auto* bold = qobject_cast<QToolButton*>(view->WidgetOf(3));
  ASSERT_NE(bold, nullptr);
  EXPECT_FALSE(bold->icon().isNull());
  bold->click();
  Settle();
  EXPECT_TRUE(w.Find(3)->checked);
  EXPECT_TRUE(bold->isChecked());
}

}  // namespace
}  // namespace ledora::runtime
