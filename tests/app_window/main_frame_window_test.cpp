// The ledora program in a real window: started as a user starts it, looked
// at through the X server (xdotool) and photographed with Qt's own screen
// grab, then driven from the keyboard.
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <QGuiApplication>
#include <QImage>
#include <QPixmap>
#include <QScreen>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <functional>
#include <set>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

#include "tests/support/temp_folder.h"

namespace ledora::testing {
namespace {

constexpr char kTitle[] = "Quorval Report Designer - Vennic demo program";

std::filesystem::path ExeFolder() {
  return std::filesystem::read_symlink("/proc/self/exe").parent_path();
}

std::string Output(const std::string& command) {
  std::string out;
  if (FILE* pipe = popen((command + " 2>/dev/null").c_str(), "r")) {
    char buffer[512];
    while (fgets(buffer, sizeof buffer, pipe) != nullptr) out += buffer;
    pclose(pipe);
  }
  return out;
}

void Shell(const std::string& command) { std::system((command + " >/dev/null 2>&1").c_str()); }

std::vector<std::string> Lines(const std::string& text) {
  std::vector<std::string> lines;
  std::istringstream in(text);
  for (std::string line; std::getline(in, line);) {
    if (!line.empty()) lines.push_back(line);
  }
  return lines;
}

// Polls every 100 ms for up to `seconds`.
bool WaitFor(const std::function<bool()>& done, double seconds) {
  auto until = std::chrono::steady_clock::now() + std::chrono::duration<double>(seconds);
  while (std::chrono::steady_clock::now() < until) {
    if (done()) return true;
    std::this_thread::sleep_for(std::chrono::milliseconds(100));
  }
  return done();
}

class MainFrameWindowTest : public ::testing::Test {
 protected:
  void SetUp() override {
    if (std::getenv("DISPLAY") == nullptr) GTEST_SKIP() << "needs an X display (xvfb-run)";
    if (Output("command -v xdotool").empty()) GTEST_SKIP() << "needs xdotool";
    std::string program = (ExeFolder().parent_path() / "ledora").string();
    ASSERT_TRUE(std::filesystem::exists(program)) << program;
    pid_ = fork();
    ASSERT_GE(pid_, 0);
    if (pid_ == 0) {
      execl(program.c_str(), program.c_str(), "--data", data_.path().c_str(),
            static_cast<char*>(nullptr));
      _exit(127);
    }
  }
  void TearDown() override {
    if (pid_ > 0 && !exited_) {
      kill(pid_, SIGKILL);
      waitpid(pid_, nullptr, 0);
    }
  }

  std::vector<std::string> Visible() {
    return Lines(Output("xdotool search --onlyvisible --pid " + std::to_string(pid_)));
  }
  std::string Named(const std::string& name) {
    auto found = Lines(Output("xdotool search --all --onlyvisible --pid " + std::to_string(pid_) +
                              " --name '^" + name + "$'"));
    return found.empty() ? std::string() : found.front();
  }
  bool Exited(int* status) {
    if (exited_) return true;
    if (waitpid(pid_, status, WNOHANG) != pid_) return false;
    exited_ = true;
    return true;
  }
  void Keys(const std::string& window, const std::string& keys) {
    Shell("xdotool windowfocus --sync " + window);
    std::this_thread::sleep_for(std::chrono::milliseconds(300));
    Shell("xdotool key " + keys);
    std::this_thread::sleep_for(std::chrono::milliseconds(300));
  }

  TempFolder data_;
  pid_t pid_ = -1;
  bool exited_ = false;
};

TEST_F(MainFrameWindowTest, TheFrameShowsWithItsSplashAndItsMenusWorkFromTheKeyboard) {
  std::string frame;
  ASSERT_TRUE(WaitFor([&] { return !(frame = Named(kTitle)).empty(); }, 30))
      << "no window titled " << kTitle;
  EXPECT_EQ(Output("xdotool getwindowname " + frame), std::string(kTitle) + "\n");

  // The splash shows over the frame and goes by itself within its 5 seconds.
  EXPECT_TRUE(WaitFor([&] { return Visible().size() >= 2; }, 10)) << "no splash";
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
