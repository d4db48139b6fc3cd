// The built program as scripts run it, without a display: exit statuses,
// standard output and error, the command line's order of global options and
// job word, file names taken from the folder the command started in, and
// each job's help.
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
#include <set>
#include <sstream>
#include <string>
#include <utility>
#include <vector>

#include "tests/support/command_output.h"
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
    if (!copied.empty()) program = copied;
    EXPECT_TRUE(fs::exists(program)) << program;
    std::string outPath = stdoutPath.empty() ? runs.File("out") : stdoutPath;
    std::string errPath = runs.File("err");
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, 1, outPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC,
                                     0644);
    posix_spawn_file_actions_addopen(&actions, 2, errPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC,
                                     0644);
    if (!startIn.empty()) posix_spawn_file_actions_addchdir_np(&actions, startIn.c_str());
    args.insert(args.begin(), program);
    std::vector<char*> argv;
    for (std::string& arg : args) argv.push_back(arg.data());
    argv.push_back(nullptr);
    // Jobs are for scripts and scheduled runs, where there is no display.
    std::vector<char*> env;
    for (char** e = environ; *e != nullptr; ++e) {
      std::string_view entry = *e;
      if (!entry.starts_with("DISPLAY=") && !entry.starts_with("WAYLAND_DISPLAY=")) {
        env.push_back(*e);
      }
    }
    for (std::string& entry : environment) env.push_back(entry.data());
    env.push_back(nullptr);
    pid_t pid;
    Outcome outcome;
    int wait = 0;
    if (posix_spawn(&pid, program.c_str(), &actions, nullptr, argv.data(), env.data()) == 0 &&
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
  static std::set<std::string> Entries(const std::string& folder) {
    std::set<std::string> names;
    for (const fs::directory_entry& entry : fs::directory_iterator(folder)) {
      names.insert(entry.path().filename().string());
    }
    return names;
  }
  // A data folder with two customers.
  void Customers() {
    Write(runs.File("in.csv"), "CUS:CUSTOMERID,CUS:NAME\n1,Adams\n2,Baker\n");
    ASSERT_EQ(Ledora({"--data", data.path(), "import", "CUSTOMER", runs.File("in.csv")}).status, 0);
  }

  testing::TempFolder data;
  testing::TempFolder runs;
  std::string startIn;                   // the folder the program starts in; empty: the test's
  std::string copied;                    // the program to run; empty: the built one
  std::vector<std::string> environment;  // added to the test's
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

TEST_F(CommandLineTest, JobsTakeFileNamesFromTheFolderTheyStartedIn) {
  startIn = runs.path();
  fs::create_directory(runs.File("results"));
  ASSERT_EQ(Ledora({"--data", data.path(), "demo"}).status, 0);
  Write(runs.File("new.csv"), "CUS:NAME\nZeta Traders\n");
  Outcome outcome = Ledora({"--data", data.path(), "import", "CUSTOMER", "new.csv"});
  EXPECT_EQ(outcome.status, 0) << outcome.err;
  outcome = Ledora({"--data", data.path(), "export", "CUSTOMER", "--csv", "results/all.csv"});
  EXPECT_EQ(outcome.status, 0) << outcome.err;
  EXPECT_NE(Read(runs.File("results/all.csv")).find("Zeta Traders"), std::string::npos);
  outcome = Ledora({"--data", data.path(), "make-new-reports", "results/upgrade.KDS"});
  EXPECT_EQ(outcome.status, 0) << outcome.err;
  EXPECT_TRUE(fs::exists(runs.File("results/upgrade.KDS")));
  outcome = Ledora({"--data", data.path(), "print", "items", "--pdf", "results/items.pdf"});
  EXPECT_EQ(outcome.status, 0) << outcome.err;
  EXPECT_NE(testing::CommandOutput("pdftotext '" + runs.File("results/items.pdf") + "' -")
                .find("Item List"),
            std::string::npos);

  outcome = Ledora(
      {"--data", data.path(), "print", "invoices", "--to", "2", "--split", "results/invoices"});
  EXPECT_EQ(outcome.status, 0) << outcome.err;
  EXPECT_EQ(Entries(runs.File("results/invoices")).size(), 2u);

  std::set<std::string> own = {"CUSTOMER.KDS", "ITEMS.KDS",   "INVOICES.KDS",
                               "INVOICEL.KDS", "RptDes1.KDS", "NewRpt.KDS"};
  EXPECT_EQ(Entries(data.path()), own);
}

TEST_F(CommandLineTest, DemoFillsAnEmptyFolderWhoseInvoicesPrintWithoutADisplay) {
  startIn = runs.path();
  Outcome outcome = Ledora({"--data", data.path(), "demo"});
  ASSERT_EQ(outcome.status, 0) << outcome.err;
  std::string invoices = Ledora({"--data", data.path(), "export", "INVOICES"}).out;
  EXPECT_GT(std::count(invoices.begin(), invoices.end(), '\n'), 50);

  outcome = Ledora({"--data", data.path(), "demo"});
  EXPECT_EQ(outcome.status, 1);
  EXPECT_NE(outcome.err.find("already holds data"), std::string::npos) << outcome.err;
  EXPECT_EQ(Ledora({"--data", data.path(), "export", "INVOICES"}).out, invoices);

  outcome = Ledora({"--data", data.path(), "print", "invoices", "--pdf", "x.pdf"});
  ASSERT_EQ(outcome.status, 0) << outcome.err;
  std::string text = testing::CommandOutput("pdftotext '" + runs.File("x.pdf") + "' -");
  // A page per invoice.
  EXPECT_EQ(std::count(text.begin(), text.end(), '\f'),
            std::count(invoices.begin(), invoices.end(), '\n') - 1);
}

TEST_F(CommandLineTest, DemoLeavesAFolderWithAnyRecordAsItIs) {
  Customers();
  Outcome outcome = Ledora({"--data", data.path(), "demo"});
  EXPECT_EQ(outcome.status, 1);
  EXPECT_EQ(Ledora({"--data", data.path(), "export", "ITEMS"}).out.find("\n1,"), std::string::npos);
}

TEST_F(CommandLineTest, EveryJobHasItsHelp) {
  std::istringstream usage(Ledora({"--help"}).out);
  std::string line;
  int jobs = 0;
  const std::string prefix = "ledora [--data DIR] ";
  while (std::getline(usage, line)) {
    size_t at = line.find(prefix);
    if (at == std::string::npos || line[at + prefix.size()] == '[') continue;
    std::string word = line.substr(at + prefix.size());
    word = word.substr(0, word.find(' '));
    ++jobs;
    Outcome asked = Ledora({"help", word});
    EXPECT_EQ(asked.status, 0) << word;
    EXPECT_EQ(asked.out.find("usage: ledora [--data DIR] " + word), 0u) << asked.out;
    EXPECT_EQ(Ledora({word, "--help"}).out, asked.out);
  }
  EXPECT_GE(jobs, 6);
  Outcome outcome = Ledora({"help", "exprot"});
  EXPECT_EQ(outcome.status, 2);
  EXPECT_NE(outcome.err.find("did you mean export?"), std::string::npos) << outcome.err;
}

TEST_F(CommandLineTest, AnUnknownOptionNamesTheNearestOne) {
  Outcome outcome = Ledora({"--data", data.path(), "print", "items", "--pfd", "x.pdf"});
  EXPECT_EQ(outcome.status, 2);
  EXPECT_NE(outcome.err.find("unknown option --pfd; did you mean --pdf?"), std::string::npos)
      << outcome.err;
  outcome = Ledora({"--dta", data.path(), "export", "ITEMS"});
  EXPECT_EQ(outcome.status, 2);
  EXPECT_NE(outcome.err.find("did you mean --data?"), std::string::npos) << outcome.err;
  outcome = Ledora({"export", "ITEMS", "--data", data.path()});
  EXPECT_EQ(outcome.status, 2);
  EXPECT_NE(outcome.err.find("--data goes before the job word"), std::string::npos) << outcome.err;
  // Nothing near: the job's options to choose from.
  outcome = Ledora({"--data", data.path(), "export", "ITEMS", "--zzzzzz"});
  EXPECT_EQ(outcome.status, 2);
  EXPECT_NE(outcome.err.find("(--key, --filter, --csv)"), std::string::npos) << outcome.err;
  // An option's value is the user's own, however it looks.
  outcome = Ledora({"--data", data.path(), "export", "ITEMS", "--key", "--csv"});
  EXPECT_EQ(outcome.err.find("unknown option"), std::string::npos) << outcome.err;
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
  setenv("QT_QPA_PLATFORM", "xcb", 1);  // asked for, but no X server to be had
  Outcome gone = Ledora({"--data", data.path()});
  unsetenv("QT_QPA_PLATFORM");
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

// The dynamic loader's list of what it loaded, on standard error.
TEST_F(CommandLineTest, JobsOnTheDataFolderLoadNeitherQtNorTheServerClient) {
  Customers();
  environment = {"LD_DEBUG=libs"};
  for (std::vector<std::string> args :
       {std::vector<std::string>{"--version"},
        {"--data", data.path(), "export", "CUSTOMER", "--csv", runs.File("out.csv")}}) {
    Outcome outcome = Ledora(args);
    EXPECT_EQ(outcome.status, 0) << args.back();
    EXPECT_NE(outcome.err.find("libsqlite3"), std::string::npos) << outcome.err;
    EXPECT_EQ(outcome.err.find("libQt6"), std::string::npos) << args.back();
    EXPECT_EQ(outcome.err.find("libpq"), std::string::npos) << args.back();
  }
  // Printing is the full program's, which does load them.
  Outcome outcome = Ledora({"--data", data.path(), "print", "--list"});
  EXPECT_EQ(outcome.status, 0) << outcome.err;
  EXPECT_NE(outcome.err.find("libQt6Gui"), std::string::npos);
}

// A job on a server loads the PostgreSQL client, still without Qt.
TEST_F(CommandLineTest, AServerNamedInTheDataFoldersSettingsIsUsedByEveryJob) {
  Write(data.File("ledora.INI"),
        "[Storage]\nDatabase=postgresql:///x?host=" + runs.File("none") + "\n");
  environment = {"LD_DEBUG=libs"};
  Outcome outcome = Ledora({"--data", data.path(), "export", "ITEMS"});
  EXPECT_EQ(outcome.status, 1);
  EXPECT_NE(outcome.err.find("cannot use the database: PostgreSQL server"), std::string::npos)
      << outcome.err;
  EXPECT_NE(outcome.err.find("libpq"), std::string::npos);
  EXPECT_EQ(outcome.err.find("libQt6"), std::string::npos);
}

TEST_F(CommandLineTest, WithoutItsCompanionsTheWindowsPrintingAndServersSayWhatIsMissing) {
  Customers();
  copied = runs.File("ledora");
  fs::copy_file(fs::read_symlink("/proc/self/exe").parent_path().parent_path() / "ledora", copied);
  std::vector<std::pair<std::vector<std::string>, std::string>> cases = {
      {{"--data", data.path()}, "ledora-full"},
      {{"--data", data.path(), "print", "--list"}, "ledora-full"},
      {{"--data", data.path(), "--database", "postgresql:///x", "export", "CUSTOMER"},
       "ledora-server-jobs"},
      {{"--data", data.path(), "copy-data", "--to", "postgresql:///x"}, "ledora-server-jobs"}};
  for (const auto& [args, companion] : cases) {
    Outcome outcome = Ledora(args);
    EXPECT_EQ(outcome.status, 1);
    EXPECT_NE(outcome.err.find("needs " + companion + ", which is not installed"),
              std::string::npos)
        << outcome.err;
  }
  Outcome outcome = Ledora({"--data", data.path(), "export", "CUSTOMER"});
  EXPECT_EQ(outcome.status, 0) << outcome.err;
  EXPECT_NE(outcome.out.find("2,Baker"), std::string::npos);
}

}  // namespace
}  // namespace ledora::app
