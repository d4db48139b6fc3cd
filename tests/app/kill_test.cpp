// Jobs killed at random moments and at their commits (imports, copies back
// from a server, prints), half of them followed by moving the data folder to
// a new path, as users back up and restore: the next start finds the job
// done or not done, never half, and nothing of the killed run is left in the
// data folder or the temporary folder. LEDORA_KILLS sets the number of kills
// (default 200).
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <random>
#include <set>
#include <string>
#include <vector>

#include "app/demo_data.h"
#include "app/invoicing_dictionary.h"
#include "app/storage_choice.h"
#include "data/error_reporter.h"
#include "runtime/storage/sqlite_driver.h"
#include "tests/support/command_output.h"
#include "tests/support/pg_server.h"
#include "tests/support/temp_folder.h"

extern char** environ;

namespace ledora::testing {
namespace {

namespace fs = std::filesystem;

const std::set<std::string> kDataFiles = {"CUSTOMER.KDS", "ITEMS.KDS",   "INVOICES.KDS",
                                          "INVOICEL.KDS", "RptDes1.KDS", "NewRpt.KDS"};

std::string Program() {
  return (fs::read_symlink("/proc/self/exe").parent_path().parent_path() / "ledora").string();
}

struct Outcome {
  int status = -1;  // the exit status; -1 when killed
  std::string out;
};

class KillTest : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    template_ = new TempFolder();
    fs::path previous = fs::current_path();
    fs::current_path(template_->path());
    {
      data::ErrorReporter errors;
      errors.Initialize();
      runtime::SqliteDriver driver;
      ASSERT_TRUE(app::DictionarySetup(driver, errors));
      ASSERT_EQ(app::FillDemoData(82000, 5,
                                  {.customers = 40, .items = 60, .invoices = 60, .maxLines = 6}),
                app::DemoFilled);
      app::DictionaryShutdown();
      errors.Shutdown();
    }
    fs::current_path(previous);
    std::string csv = "ITE:DESCRIPTION,ITE:PRICE\n";
    for (int i = 0; i < 3000; ++i) csv += "Imported item " + std::to_string(i) + ",1.25\n";
    std::ofstream(template_->File("items.csv")) << csv;
  }
  static void TearDownTestSuite() {
    delete template_;
    template_ = nullptr;
  }

  KillTest() : random_(20261207) {
    unsetenv(app::kDatabaseVariable);
    const char* kills = std::getenv("LEDORA_KILLS");
    kills_ = kills != nullptr ? std::atoi(kills) : 200;
  }

  // A fresh data folder from the template, with the design files made.
  void FreshData() {
    fs::remove_all(Data());
    fs::remove_all(Moved());
    fs::remove_all(Temp());
    fs::create_directory(Data());
    fs::create_directory(Temp());
    for (const char* file : {"CUSTOMER.KDS", "ITEMS.KDS", "INVOICES.KDS", "INVOICEL.KDS"}) {
      fs::copy_file(template_->File(file), fs::path(Data()) / file);
    }
  }
  std::string Data() { return root_.File("data"); }
  std::string Moved() { return root_.File("moved"); }
  std::string Temp() { return root_.File("tmp"); }

  // Runs ledora ARGS in folder with the test's temporary folder, killed at
  // the when-th call of syscall (strace), or after delay microseconds, or
  // never (both 0). Its exit status (-1 when killed) and standard output.
  Outcome Ledora(const std::string& folder, std::vector<std::string> args,
                 const std::string& syscall = "", int when = 0, int delay = 0) {
    std::vector<std::string> line;
    if (!syscall.empty()) {
      line = {"strace",
              "-f",
              "-qq",
              "-o",
              "/dev/null",
              "-e",
              "trace=" + syscall,
              "-e",
              "inject=" + syscall + ":signal=SIGKILL:when=" + std::to_string(when)};
    }
    line.push_back(Program());
    line.insert(line.end(), args.begin(), args.end());
    return Run(folder, line, delay);
  }
  Outcome Run(const std::string& folder, std::vector<std::string> line, int delay = 0) {
    std::string out = root_.File("stdout");
    pid_t child = fork();
    if (child == 0) {
      if (chdir(folder.c_str()) != 0) _exit(126);
      setenv("TMPDIR", Temp().c_str(), 1);
      setenv("QT_QPA_PLATFORM", "offscreen", 1);
      const char* asan = getenv("ASAN_OPTIONS");
      setenv("ASAN_OPTIONS", (std::string(asan ? asan : "") + ":detect_leaks=0").c_str(), 1);
      if (!freopen(out.c_str(), "w", stdout) || !freopen("/dev/null", "w", stderr)) _exit(126);
      std::vector<char*> argv;
      for (std::string& arg : line) argv.push_back(arg.data());
      argv.push_back(nullptr);
      execvp(argv[0], argv.data());
      _exit(127);
    }
    if (delay > 0) {
      usleep(delay);
      kill(child, SIGKILL);
    }
    Outcome outcome;
    int status = 0;
    waitpid(child, &status, 0);
    if (WIFEXITED(status)) outcome.status = WEXITSTATUS(status);
    std::ifstream in(out);
    outcome.out.assign(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
    return outcome;
  }

  // How long the job takes here and how many of those calls it makes, from
  // a run that is not killed: kills are spread over both.
  struct Span {
    int micros = 0;
    int calls = 0;
  };
  Span Measure(const std::vector<std::string>& job, const std::string& syscalls) {
    std::vector<std::string> traced = {"strace", "-f",    "-qq",    "-e", "trace=" + syscalls,
                                       "-o",     Trace(), Program()};
    traced.insert(traced.end(), job.begin(), job.end());
    auto start = std::chrono::steady_clock::now();
    Outcome outcome = Run(Data(), traced);
    auto micros = std::chrono::duration_cast<std::chrono::microseconds>(
        std::chrono::steady_clock::now() - start);
    EXPECT_EQ(outcome.status, 0);
    std::ifstream trace(Trace());
    std::string line;
    Span span{static_cast<int>(micros.count()), 0};
    while (std::getline(trace, line)) span.calls += line.find(" = ") != std::string::npos;
    return span;
  }
  std::string Trace() { return root_.File("trace"); }

  // Kills the job one way or the other, moves the folder every second time,
  // and answers the folder the next start should use.
  std::string KillAndMaybeMove(int kill, const std::vector<std::string>& job,
                               const std::string& syscalls, const Span& span) {
    if (kill % 2 == 0) {
      Ledora(Data(), job, syscalls, 1 + static_cast<int>(random_() % std::max(span.calls, 1)));
    } else {
      Ledora(Data(), job, "", 0, 1 + static_cast<int>(random_() % std::max(span.micros, 1)));
    }
    if ((kill / 2) % 2 == 0) return Data();
    fs::rename(Data(), Moved());
    return Moved();
  }

  // `ledora print invoices --pdf out.pdf` started in the data folder.
  pid_t StartPrint() {
    pid_t child = fork();
    if (child == 0) {
      if (chdir(Data().c_str()) != 0) _exit(126);
      setenv("TMPDIR", Temp().c_str(), 1);
      setenv("QT_QPA_PLATFORM", "offscreen", 1);
      if (!freopen("/dev/null", "w", stderr)) _exit(126);
      execl(Program().c_str(), "ledora", "print", "invoices", "--pdf", "out.pdf", nullptr);
      _exit(127);
    }
    return child;
  }
  // Whether a run's spool file (pages.ldsp in its pages folder) is there.
  bool SpoolExists() {
    for (const fs::directory_entry& entry : fs::directory_iterator(Temp())) {
      if (fs::exists(entry.path() / "pages.ldsp")) return true;
    }
    return false;
  }
  // Waits while child runs until its pages are being spooled; false when it
  // ended first.
  bool AwaitSpool(pid_t child) {
    for (int wait = 0; wait < 20000 && waitpid(child, nullptr, WNOHANG) == 0; ++wait) {
      if (SpoolExists()) return true;
      usleep(500);
    }
    return false;
  }

  // What a killed run could have left, after the next start in folder.
  void ExpectNothingLeft(const std::string& folder, const std::set<std::string>& allowed) {
    for (const fs::directory_entry& entry : fs::directory_iterator(folder)) {
      std::string name = entry.path().filename();
      // A journal SQLite never plays back (no header) stays for the next write.
      bool idle = name.ends_with("-journal") && FirstByte(entry.path()) == 0;
      EXPECT_TRUE(allowed.count(name) || kDataFiles.count(name) || idle) << name;
    }
    for (const fs::directory_entry& entry : fs::directory_iterator(Temp())) {
      // Qt's runtime folder of the user, made by every run that loads Qt.
      EXPECT_EQ(entry.path().filename(), "runtime-root");
    }
  }
  static int FirstByte(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    int first = in.get();
    return first == EOF ? 0 : first;
  }

  static size_t Lines(const std::string& text) {
    return static_cast<size_t>(std::count(text.begin(), text.end(), '\n'));
  }

  static TempFolder* template_;
  TempFolder root_;
  std::mt19937 random_;
  int kills_;
};

TempFolder* KillTest::template_ = nullptr;

TEST_F(KillTest, AKilledImportAddsEveryRowOrNone) {
  FreshData();
  std::vector<std::string> import = {"import", "ITEMS", template_->File("items.csv")};
  ASSERT_EQ(Ledora(Data(), {"print", "--list"}).status, 0);  // the design files
  size_t before = Lines(Ledora(Data(), {"export", "ITEMS"}).out);
  const Span span = Measure(import, "fdatasync,fsync");
  fs::remove(fs::path(Data()) / "ITEMS.KDS");
  fs::copy_file(template_->File("ITEMS.KDS"), fs::path(Data()) / "ITEMS.KDS");
  int done = 0;
  for (int kill = 0; kill < kills_ * 2 / 5; ++kill) {
    SCOPED_TRACE("kill " + std::to_string(kill));
    std::string folder = KillAndMaybeMove(kill, import, "fdatasync,fsync", span);
    Outcome next = Ledora(folder, {"export", "ITEMS"});
    ASSERT_EQ(next.status, 0);
    size_t now = Lines(next.out);
    ASSERT_TRUE(now == before || now == before + 3000) << now - before << " rows";
    done += now != before;
    ExpectNothingLeft(folder, {});
    if (folder != Data()) fs::rename(folder, Data());
    if (now != before) {
      for (const char* file : {"ITEMS.KDS"}) {
        fs::remove(fs::path(Data()) / file);
        fs::copy_file(template_->File(file), fs::path(Data()) / file);
      }
    }
  }
  std::printf("killed imports: %d done, %d not done\n", done, kills_ * 2 / 5 - done);
}

TEST_F(KillTest, AKilledPrintLeavesAWholePdfOrNone) {
  FreshData();
  ASSERT_EQ(Ledora(Data(), {"print", "--list"}).status, 0);
  std::vector<std::string> print = {"print", "invoices", "--pdf", "out.pdf"};
  const Span span = Measure(print, "rename,fsync,write");
  int whole = 0;
  for (int kill = 0; kill < kills_ * 3 / 10; ++kill) {
    SCOPED_TRACE("kill " + std::to_string(kill));
    fs::remove(fs::path(Data()) / "out.pdf");
    std::string folder = KillAndMaybeMove(kill, print, "rename,fsync,write", span);
    ASSERT_EQ(Ledora(folder, {"print", "--list"}).status, 0);
    fs::path pdf = fs::path(folder) / "out.pdf";
    if (fs::exists(pdf)) {
      std::string info = CommandOutput("pdfinfo '" + pdf.string() + "' 2>&1");
      ASSERT_NE(info.find("Pages:"), std::string::npos) << info;
      ++whole;
    }
    ExpectNothingLeft(folder, {"out.pdf"});
    if (folder != Data()) fs::rename(folder, Data());
  }
  std::printf("killed prints: %d whole PDFs, %d none\n", whole, kills_ * 3 / 10 - whole);
}

// The designer installs RPTNEW1.KDS whenever it finds one: a killed
// make-new-reports must leave the whole file or none.
TEST_F(KillTest, AKilledMakeNewReportsLeavesAWholeFileOrNone) {
  FreshData();
  std::vector<std::string> make = {"make-new-reports"};
  const Span span = Measure(make, "fdatasync,fsync,rename");
  fs::path made = fs::path(Data()) / "RPTNEW1.KDS";
  std::string whole =
      CommandOutput("sqlite3 '" + made.string() + "' 'SELECT count(*) FROM LTypes'");
  ASSERT_NE(whole, "");
  for (int kill = 0; kill < 20; ++kill) {
    SCOPED_TRACE("kill " + std::to_string(kill));
    fs::remove(made);
    std::string folder = KillAndMaybeMove(kill, make, "fdatasync,fsync,rename", span);
    ASSERT_EQ(Ledora(folder, {"export", "ITEMS"}).status, 0);
    fs::path file = fs::path(folder) / "RPTNEW1.KDS";
    if (fs::exists(file)) {
      EXPECT_EQ(CommandOutput("sqlite3 '" + file.string() + "' 'SELECT count(*) FROM LTypes'"),
                whole);
    }
    ExpectNothingLeft(folder, {"RPTNEW1.KDS"});
    if (folder != Data()) fs::rename(folder, Data());
  }
}

// Ctrl+C, a closed terminal or a polite kill end a print at once, and it
// takes its page images and its half-written PDF with it.
TEST_F(KillTest, APrintEndedBySignalLeavesNothingBehind) {
  FreshData();
  ASSERT_EQ(Ledora(Data(), {"print", "--list"}).status, 0);
  for (int signal : {SIGTERM, SIGINT, SIGHUP}) {
    SCOPED_TRACE(strsignal(signal));
    pid_t child = StartPrint();
    bool spooling = AwaitSpool(child);
    kill(child, signal);
    int status = 0;
    waitpid(child, &status, 0);
    if (!spooling) continue;  // it had finished; nothing to show
    EXPECT_TRUE(WIFSIGNALED(status) && WTERMSIG(status) == signal) << status;
    for (const fs::directory_entry& entry : fs::directory_iterator(Temp())) {
      EXPECT_EQ(entry.path().filename(), "runtime-root");
    }
    for (const fs::directory_entry& entry : fs::directory_iterator(Data())) {
      std::string name = entry.path().filename();
      EXPECT_TRUE(kDataFiles.count(name) || name.starts_with(".ledora-connection-")) << name;
    }
  }
}

// A print killed outright cannot clean up: its spool stays until the next
// start, which sweeps it away.
TEST_F(KillTest, AKilledPrintsSpoolGoesWithTheNextStart) {
  FreshData();
  ASSERT_EQ(Ledora(Data(), {"print", "--list"}).status, 0);
  pid_t child = StartPrint();
  bool spooling = AwaitSpool(child);
  kill(child, SIGKILL);
  waitpid(child, nullptr, 0);
  if (!spooling) GTEST_SKIP() << "the print ended before its pages were spooled";
  EXPECT_TRUE(SpoolExists());
  ASSERT_EQ(Ledora(Data(), {"print", "--list"}).status, 0);
  EXPECT_FALSE(SpoolExists());
  ExpectNothingLeft(Data(), {});
  EXPECT_FALSE(fs::exists(fs::path(Data()) / "out.pdf"));
}

TEST_F(KillTest, AKilledCopyBackBringsEveryFileOrNone) {
  ASSERT_TRUE(SharedPgServer().running()) << SharedPgServer().error();
  std::string url = SharedPgServer().Url() + "&schema=" + FreshSchema();
  FreshData();
  ASSERT_EQ(Ledora(Data(), {"print", "--list"}).status, 0);
  ASSERT_EQ(Ledora(Data(), {"copy-data", "--to", url}).status, 0);
  size_t customers = Lines(Ledora(Data(), {"export", "CUSTOMER"}).out);
  std::vector<std::string> copy = {"copy-data", "--from", url};
  fs::remove_all(Data());
  fs::create_directory(Data());
  const Span span = Measure(copy, "fdatasync,fsync,rename");
  int copied = 0;
  for (int kill = 0; kill < kills_ * 3 / 10; ++kill) {
    SCOPED_TRACE("kill " + std::to_string(kill));
    fs::remove_all(Data());
    fs::remove_all(Moved());
    fs::create_directory(Data());
    std::string folder = KillAndMaybeMove(kill, copy, "fdatasync,fsync,rename", span);
    // The next start; export makes no file where there is none.
    Outcome next = Ledora(folder, {"export", "CUSTOMER"});
    std::set<std::string> files;
    for (const fs::directory_entry& entry : fs::directory_iterator(folder)) {
      if (kDataFiles.count(entry.path().filename())) files.insert(entry.path().filename());
    }
    if (files.empty()) {
      ASSERT_EQ(next.status, 1);
    } else {
      ASSERT_EQ(files, kDataFiles);
      ASSERT_EQ(Lines(next.out), customers);
      ++copied;
    }
    ExpectNothingLeft(folder, {});
  }
  std::printf("killed copies: %d copied, %d not\n", copied, kills_ * 3 / 10 - copied);
}

}  // namespace
}  // namespace ledora::testing
