// The built program as scripts run it: exit statuses, standard output and
// error, and the command line's order of global options and job word.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <utility>
#include <vector>

#include "tests/support/temp_folder.h"

extern char** environ;

namespace ledora::app {
namespace {

namespace fs = std::filesystem;

struct Outcome {
  int status = -1;  // the exit status; -1 when the program did not exit
  std::string out;
  std::string err;
};

class CommandLineTest : public ::testing::Test {
 protected:
  // Runs ledora with args, standard output to stdoutPath (default: a file of
  // the test's own, read back into the outcome).
  Outcome Ledora(std::vector<std::string> args, const std::string& stdoutPath = "") {
    std::string program =
        (fs::read_symlink("/proc/self/exe").parent_path().parent_path() / "ledora").string();
    EXPECT_TRUE(fs::exists(program)) << program;
    std::string outPath = stdoutPath.empty() ? runs.File("out") : stdoutPath;
    std::string errPath = runs.File("err");
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, 1, outPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC,
                                     0644);
    posix_spawn_file_actions_addopen(&actions, 2, errPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC,
                                     0644);
    args.insert(args.begin(), program);
    std::vector<char*> argv;
    for (std::string& arg : args) argv.push_back(arg.data());
    argv.push_back(nullptr);
    pid_t pid;
    Outcome outcome;
    int wait = 0;
    if (posix_spawn(&pid, program.c_str(), &actions, nullptr, argv.data(), environ) == 0 &&
        waitpid(pid, &wait, 0) == pid && WIFEXITED(wait)) {
      outcome.status = WEXITSTATUS(wait);
    }
    posix_spawn_file_actions_destroy(&actions);
    if (stdoutPath.empty()) outcome.out = Read(outPath);
    outcome.err = Read(errPath);
    return outcome;
  }
  static std::string Read(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
  }
  void Write(const std::string& path, const std::string& text) {
    std::ofstream(path, std::ios::binary) << text;
  }
  // A data folder with two customers.
  void Customers() {
    Write(runs.File("in.csv"), "CUS:CUSTOMERID,CUS:NAME\n1,Adams\n2,Baker\n");
    ASSERT_EQ(Ledora({"--data", data.path(), "import", "CUSTOMER", runs.File("in.csv")}).status, 0);
  }

  testing::TempFolder data;
  testing::TempFolder runs;
};

TEST_F(CommandLineTest, AJobWordAfterTheGlobalOptionsRunsTheJob) {
  Customers();
  Outcome outcome = Ledora({"--data", data.path(), "export", "CUSTOMER"});
  EXPECT_EQ(outcome.status, 0) << outcome.err;
  EXPECT_NE(outcome.out.find("1,Adams,"), std::string::npos) << outcome.out;

  outcome = Ledora({"--data", data.path(), "exprot", "CUSTOMER"});
  EXPECT_EQ(outcome.status, 2);
  EXPECT_NE(outcome.err.find("unknown job exprot"), std::string::npos) << outcome.err;
  EXPECT_EQ(Ledora({"--data", data.path(), "--demo", "export", "CUSTOMER"}).status, 2);
  EXPECT_EQ(Ledora({"--data"}).status, 2);
  EXPECT_EQ(Ledora({"--data", runs.File("missing"), "export", "CUSTOMER"}).status, 1);
  outcome = Ledora({"--help"});
  EXPECT_EQ(outcome.status, 0);
  EXPECT_NE(outcome.out.find("ledora [--data DIR] make-new-reports [FILE]"), std::string::npos)
      << outcome.out;
}

// The error reporter's halt ends the windows with status 0; a job that did
// not do its work must not.
TEST_F(CommandLineTest, ADataFileThatCannotBeOpenedFailsWithItsMessage) {
  fs::create_directory(data.File("CUSTOMER.KDS"));
  Outcome outcome = Ledora({"--data", data.path(), "export", "CUSTOMER"});
  EXPECT_EQ(outcome.status, 1);
  EXPECT_NE(outcome.err.find("File Access Error"), std::string::npos) << outcome.err;
  EXPECT_EQ(outcome.out, "");
  Write(runs.File("in.csv"), "CUS:NAME\nAdams\n");
  EXPECT_EQ(Ledora({"--data", data.path(), "import", "CUSTOMER", runs.File("in.csv")}).status, 1);
}

TEST_F(CommandLineTest, AFullDiskFailsTheExport) {
  Customers();
  Outcome outcome = Ledora({"--data", data.path(), "export", "CUSTOMER"}, "/dev/full");
  EXPECT_EQ(outcome.status, 1);
  EXPECT_NE(outcome.err.find("cannot write"), std::string::npos) << outcome.err;
  EXPECT_EQ(Ledora({"--data", data.path(), "export", "CUSTOMER", "--csv", "/dev/full"}).status, 1);
}

// The windows need a display and say so in one line; the jobs never do.
TEST_F(CommandLineTest, WithoutADisplayOnlyTheWindowsRefuseAndSayWhatRunsInstead) {
  Customers();
  std::vector<std::pair<std::string, std::string>> saved;
  for (const char* name : {"DISPLAY", "WAYLAND_DISPLAY", "QT_QPA_PLATFORM"}) {
    if (const char* value = std::getenv(name)) saved.emplace_back(name, value);
    unsetenv(name);
  }
  Outcome none = Ledora({"--data", data.path()});
  setenv("DISPLAY", ":4711", 1);  // named, but no server there
  Outcome gone = Ledora({"--data", data.path()});
  unsetenv("DISPLAY");
  Outcome job = Ledora({"--data", data.path(), "export", "CUSTOMER"});
  for (const auto& [name, value] : saved) setenv(name.c_str(), value.c_str(), 1);

  for (const Outcome& outcome : {none, gone}) {
    EXPECT_EQ(outcome.status, 1) << "no abort, no core";
    EXPECT_EQ(std::count(outcome.err.begin(), outcome.err.end(), '\n'), 1) << outcome.err;
    EXPECT_NE(outcome.err.find("graphical display"), std::string::npos) << outcome.err;
    EXPECT_NE(outcome.err.find("export, import, print"), std::string::npos) << outcome.err;
  }
  EXPECT_EQ(job.status, 0) << job.err;
  EXPECT_NE(job.out.find("Baker"), std::string::npos);
}

}  // namespace
}  // namespace ledora::app
