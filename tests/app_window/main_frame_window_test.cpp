// The ledora program in a real window: started as a user starts it, looked
// at through the X server (xdotool) and photographed with Qt's own screen
// grab, then driven from the keyboard.
#include <sys/wait.h>

#include <QGuiApplication>
#include <QImage>
#include <QPixmap>
#include <QScreen>
#include <chrono>
#include <set>
#include <string>
#include <thread>

#include "tests/app_window/program_window_test_base.h"

namespace ledora::testing {
namespace {

class MainFrameWindowTest : public ProgramWindowTest {
 protected:
  void SetUp() override {
    ProgramWindowTest::SetUp();
    if (!IsSkipped()) StartProgram();
  }
};

TEST_F(MainFrameWindowTest, TheFrameShowsWithItsSplashAndItsMenusWorkFromTheKeyboard) {
  std::string frame;
  ASSERT_TRUE(WaitFor([&] { return !(frame = Named(kFrameTitle)).empty(); }, 30))
      << "no window titled " << kFrameTitle;
  EXPECT_EQ(Output("xdotool getwindowname " + frame), std::string(kFrameTitle) + "\n");

  // The splash shows over the frame, stays, and goes by itself after its
  // 5 seconds.
  EXPECT_TRUE(WaitFor([&] { return Visible().size() >= 2; }, 10)) << "no splash";
  std::this_thread::sleep_for(std::chrono::seconds(3));
  EXPECT_GE(Visible().size(), 2u) << "the splash went at once";
  EXPECT_TRUE(WaitFor([&] { return Visible().size() == 1; }, 15)) << "the splash stayed";

  // What the frame shows is a real picture, not an empty window.
  static int argc = 1;
  static char name[] = "main_frame_window_test";
  static char* argv[] = {name, nullptr};
  QGuiApplication application(argc, argv);
  QImage shot =
      QGuiApplication::primaryScreen()->grabWindow(static_cast<WId>(std::stoull(frame))).toImage();
  ASSERT_GT(shot.width(), 200);
  ASSERT_GT(shot.height(), 150);
  std::set<QRgb> colours;
  for (int y = 0; y < shot.height(); y += 3) {
    for (int x = 0; x < shot.width(); x += 3) colours.insert(shot.pixel(x, y));
  }
  EXPECT_GE(colours.size(), 4u) << "the frame looks blank";
  shot.save(QString::fromStdString((ExeFolder() / "main_frame_window.png").string()));

  // Alt+B opens "&Browse"; Enter chooses "Browse Customers", whose list
  // takes the keyboard: Insert there opens the customer form, Escape closes
  // it. Keys go to the focused window, which another test's window may take
  // for a moment: each step is retried.
  Keys(frame, "alt+b");
  Keys(frame, "Return");
  std::string form;
  auto formShown = [&] { return !(form = Named("Adding a Customers Record")).empty(); };
  for (int attempt = 0; attempt < 5 && !formShown(); ++attempt) {
    Keys(frame, "Insert");
    WaitFor(formShown, 3);
  }
  ASSERT_FALSE(form.empty()) << "the menu did not answer the keyboard";
  ASSERT_TRUE(WaitFor(
      [&] {
        Keys(form, "Escape");
        return Named("Adding a Customers Record").empty();
      },
      10));

  // Alt+F, x: "E&xit" ends the program.
  int status = -1;
  for (int attempt = 0; attempt < 5 && !Exited(&status); ++attempt) {
    Keys(frame, "alt+f");
    Keys(frame, "x");
    WaitFor([&] { return Exited(&status); }, 3);
  }
  ASSERT_TRUE(exited_) << "the program did not end";
  EXPECT_TRUE(WIFEXITED(status));
  EXPECT_EQ(WEXITSTATUS(status), 0);
}

}  // namespace
}  // namespace ledora::testing
