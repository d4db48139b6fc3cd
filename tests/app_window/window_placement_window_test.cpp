// Windows reopen where the user left them: the frame and a browse inside it
// are moved and resized with the mouse, the program quits, starts again on
// the same data folder, and shows them where they were.
#include <QImage>
#include <QRect>
#include <cstdlib>
#include <sstream>
#include <string>

#include "tests/app_window/demo_folder.h"
#include "tests/app_window/program_window_test_base.h"

namespace ledora::testing {
namespace {

class WindowPlacementWindowTest : public ProgramWindowTest {
 protected:
  void SetUp() override {
    ProgramWindowTest::SetUp();
    if (!IsSkipped() && Output("command -v import").empty()) GTEST_SKIP() << "needs import";
  }

  // The client area of an X window: x, y, width and height.
  QRect Geometry(const std::string& window) {
    std::string out = Output("xdotool getwindowgeometry --shell " + window);
    auto value = [&](const std::string& key) {
      size_t at = out.find(key + "=");
      return at == std::string::npos ? -1 : std::atoi(out.c_str() + at + key.size() + 1);
    };
    return QRect(value("X"), value("Y"), value("WIDTH"), value("HEIGHT"));
  }

  // The title bar of the active child inside the frame, found on the screen
  // by its colour: its left and right ends on a row above its text.
  QRect ChildTitle(const QRect& frame) {
    std::string shot = (ExeFolder() / "window_placement_screen.png").string();
    if (system(("import -window root " + shot).c_str()) != 0) return {};
    QImage screen(QString::fromStdString(shot));
    auto blue = [&](int x, int y) {
      QColor c = screen.pixelColor(x, y);
      return c.blue() > 170 && c.red() < 90 && c.green() > 110;
    };
    int x = frame.left() + 120;
    int top = -1;
    int bottom = -1;
    for (int y = frame.top() + 30; y < frame.bottom() && bottom < 0; ++y) {
      if (top < 0 && blue(x, y)) top = y;
      if (top >= 0 && !blue(x, y)) bottom = y;
    }
    if (top < 0 || bottom < 0) return {};
    int y = top + 2;
    // Its icon and buttons interrupt the colour; the window's edge does not.
    auto end = [&](int step) {
      int last = x;
      for (int at = x, gap = 0; at > frame.left() && at < frame.right() && gap < 60; at += step) {
        gap = blue(at, y) ? 0 : gap + 1;
        if (gap == 0) last = at;
      }
      return last;
    };
    return QRect(QPoint(end(-1), y), QPoint(end(1), y));
  }

  // Presses the left button at one point, moves to the other in steps, as a
  // hand does (a single jump may reach the window before the press has), and
  // lets go.
  void Drag(QPoint from, QPoint to) {
    auto at = [](QPoint p) { return std::to_string(p.x()) + " " + std::to_string(p.y()); };
    std::string command = "xdotool mousemove " + at(from) + " sleep 0.3 mousedown 1 sleep 0.3";
    for (int step = 1; step <= 8; ++step) {
      command += " mousemove " + at(from + (to - from) * step / 8) + " sleep 0.05";
    }
    Output(command + " sleep 0.3 mouseup 1 sleep 0.3");
  }

  // Browse Customers from the menu; the title bar of its window.
  QRect OpenBrowse(const std::string& frame) {
    QRect title;
    for (int attempt = 0; attempt < 3 && title.isNull(); ++attempt) {
      Keys(frame, "alt+b");
      Keys(frame, "Return");
      WaitFor([&] { return !(title = ChildTitle(Geometry(frame))).isNull(); }, 3);
    }
    return title;
  }

  static bool Near(const QRect& a, const QRect& b) {
    return std::abs(a.left() - b.left()) <= 2 && std::abs(a.top() - b.top()) <= 2 &&
           std::abs(a.right() - b.right()) <= 2 && std::abs(a.bottom() - b.bottom()) <= 2;
  }
};

TEST_F(WindowPlacementWindowTest, TheFrameAndABrowseReopenWhereTheyWereLeft) {
  StartProgram();
  std::string frame = FrameReady();
  ASSERT_FALSE(frame.empty());
  Output("xdotool windowmove --sync " + frame + " 90 70 windowsize --sync " + frame + " 900 700");
  QRect frameBefore = Geometry(frame);
  QRect title = OpenBrowse(frame);
  ASSERT_FALSE(title.isNull()) << "no browse inside the frame";

  // Its title bar moves it; its right edge makes it wider.
  Drag(title.topLeft() + QPoint(60, 8), title.topLeft() + QPoint(130, 68));
  QRect moved = ChildTitle(frameBefore);
  ASSERT_EQ(moved.left(), title.left() + 70) << "the browse did not move";
  Drag(QPoint(moved.right(), moved.top() + 120), QPoint(moved.right() + 80, moved.top() + 120));
  QRect left = ChildTitle(frameBefore);
  ASSERT_GT(left.width(), moved.width() + 40) << "the browse did not grow";
  ASSERT_TRUE(Quit(frame));

  exited_ = false;
  StartProgram();
  frame = FrameReady();
  ASSERT_FALSE(frame.empty());
  EXPECT_TRUE(Near(Geometry(frame), frameBefore)) << "the frame moved";
  EXPECT_TRUE(Near(OpenBrowse(frame), left)) << "the browse reopened elsewhere";
  ASSERT_TRUE(Quit(frame));
}

// A new data folder: nothing is stored, and yet neither the frame nor the
// preview (which asks for more room than its design) reaches off the screen.
TEST_F(WindowPlacementWindowTest, ANewDataFolderOpensTheFrameAndThePreviewOnTheScreen) {
  FillDemoFolder(data_.path(), {.customers = 5, .items = 60, .invoices = 2});
  StartProgram();
  std::string frame = FrameReady();
  ASSERT_FALSE(frame.empty());
  std::istringstream size(Output("xdotool getdisplaygeometry"));
  QRect screen(0, 0, 0, 0);
  int width = 0, height = 0;
  size >> width >> height;
  screen.setSize({width, height});
  ASSERT_GT(screen.width(), 0);
  // Where the client area really is: xdotool counts the window manager's
  // frame in twice.
  auto at = [&](const std::string& window) {
    std::string info = Output("xwininfo -id " + window);
    auto value = [&](const std::string& key) {
      size_t found = info.find(key);
      return found == std::string::npos ? -10000 : std::atoi(info.c_str() + found + key.size());
    };
    return QRect(value("Absolute upper-left X:"), value("Absolute upper-left Y:"), value("Width:"),
                 value("Height:"));
  };
  auto onScreen = [&](const QRect& client) {
    // The window manager's title bar sits above the client area.
    return screen.contains(client.adjusted(0, -18, 0, 0));
  };
  QRect frameAt = at(frame);
  EXPECT_TRUE(onScreen(frameAt)) << frameAt.x() << "," << frameAt.y() << " " << frameAt.width()
                                 << "x" << frameAt.height();
  EXPECT_GE(frameAt.width(), screen.width() / 2) << "the frame opened too small";
  EXPECT_GE(frameAt.height(), screen.height() / 2) << "the frame opened too small";
  std::string preview = OpenWith(frame, "alt+r Down Return", "Report Preview");
  ASSERT_FALSE(preview.empty());
  QRect previewAt;
  // The window manager may frame it a moment after it shows.
  WaitFor([&] { return onScreen(previewAt = at(preview)); }, 3);
  EXPECT_TRUE(onScreen(previewAt)) << previewAt.x() << "," << previewAt.y() << " "
                                   << previewAt.width() << "x" << previewAt.height();
  Keys(preview, "Escape");
  ASSERT_TRUE(Quit(frame));
}

}  // namespace
}  // namespace ledora::testing
