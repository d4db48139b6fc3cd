#include "tests/app_window/program_window_test_base.h"

#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <sstream>
#include <thread>

#include "tests/support/command_output.h"

namespace ledora::testing {

namespace {

void Shell(const std::string& command) { std::system((command + " >/dev/null 2>&1").c_str()); }

std::vector<std::string> Lines(const std::string& text) {
  std::vector<std::string> lines;
  std::istringstream in(text);
  for (std::string line; std::getline(in, line);) {
    if (!line.empty()) lines.push_back(line);
  }
  return lines;
}

// The X server passes keys to the focused window only once it has the
// focus, and the program needs a moment to act on them.
void Settle() { std::this_thread::sleep_for(std::chrono::milliseconds(300)); }

}  // namespace

std::filesystem::path ExeFolder() {
  return std::filesystem::read_symlink("/proc/self/exe").parent_path();
}

std::string Output(const std::string& command) { return CommandOutput(command + " 2>/dev/null"); }

bool WaitFor(const std::function<bool()>& done, double seconds) {
  auto until = std::chrono::steady_clock::now() + std::chrono::duration<double>(seconds);
  while (std::chrono::steady_clock::now() < until) {
    if (done()) return true;
    std::this_thread::sleep_for(std::chrono::milliseconds(100));
  }
  return done();
}

void ProgramWindowTest::SetUp() {
  if (std::getenv("DISPLAY") == nullptr) GTEST_SKIP() << "needs an X display (xvfb-run)";
  if (Output("command -v xdotool").empty()) GTEST_SKIP() << "needs xdotool";
}

void ProgramWindowTest::TearDown() {
  if (pid_ > 0 && !exited_) {
    kill(pid_, SIGKILL);
    waitpid(pid_, nullptr, 0);
  }
}

void ProgramWindowTest::StartProgram() {
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

std::vector<std::string> ProgramWindowTest::Visible() {
  return Lines(Output("xdotool search --onlyvisible --pid " + std::to_string(pid_)));
}

std::string ProgramWindowTest::Named(const std::string& title) {
  auto found = Lines(Output("xdotool search --all --onlyvisible --pid " + std::to_string(pid_) +
                            " --name '^" + title + "$'"));
  return found.empty() ? std::string() : found.front();
}

bool ProgramWindowTest::Exited(int* status) {
  if (exited_) return true;
  if (waitpid(pid_, status, WNOHANG) != pid_) return false;
  exited_ = true;
  return true;
}

void ProgramWindowTest::Keys(const std::string& window, const std::string& keys) {
  Shell("xdotool windowfocus --sync " + window);
  Settle();
  Shell("xdotool key " + keys);
  Settle();
}

void ProgramWindowTest::PressKeys(const std::string& keys) {
  Settle();
  Shell("xdotool key " + keys);
  Settle();
}

void ProgramWindowTest::Type(const std::string& window, const std::string& text) {
  Shell("xdotool windowfocus --sync " + window);
  Shell("xdotool type --delay 50 '" + text + "'");
}

}  // namespace ledora::testing

namespace ledora::testing {

std::string ProgramWindowTest::FrameReady() {
  std::string frame;
  if (!WaitFor([&] { return !(frame = Named(kFrameTitle)).empty(); }, 30)) return "";
  if (!WaitFor([&] { return Visible().size() == 1; }, 15)) return "";
  return frame;
}

std::string ProgramWindowTest::OpenWith(const std::string& window, const std::string& keys,
                                        const std::string& title) {
  std::string opened;
  for (int attempt = 0; attempt < 4 && opened.empty(); ++attempt) {
    Keys(window, keys);
    WaitFor([&] { return !(opened = Named(title)).empty(); }, 3);
  }
  return opened;
}

bool ProgramWindowTest::CloseWith(const std::string& window, const std::string& title,
                                  const std::string& keys) {
  return WaitFor(
      [&] {
        if (Named(title).empty()) return true;
        Keys(window, keys);
        return Named(title).empty();
      },
      10);
}

bool ProgramWindowTest::Quit(const std::string& frame) {
  int status = -1;
  for (int attempt = 0; attempt < 5 && !Exited(&status); ++attempt) {
    Keys(frame, "alt+f");
    Keys(frame, "x");
    WaitFor([&] { return Exited(&status); }, 3);
  }
  return exited_ && WIFEXITED(status) && WEXITSTATUS(status) == 0;
}

std::string ProgramWindowTest::HelpTitle(const std::string& starting) {
  std::string title;
  WaitFor(
      [&] {
        std::string id = Output("xdotool search --all --onlyvisible --pid " + std::to_string(pid_) +
                                " --name '^ledora Help' | head -n1");
        if (id.empty()) return false;
        title = Output("xdotool getwindowname " + id);
        if (!title.empty() && title.back() == '\n') title.pop_back();
        return title.rfind(starting, 0) == 0;
      },
      8);
  return title.rfind(starting, 0) == 0 ? title : "";
}

int ProgramWindowTest::Records(const std::string& file) {
  // A single-table data file keeps its records in the table of its name.
  std::string path = (std::filesystem::path(data_.path()) / (file + ".KDS")).string();
  return std::atoi(Output("sqlite3 " + path + " 'select count(*) from \"" + file + "\"'").c_str());
}

}  // namespace ledora::testing
