#include "runtime/system/output_file.h"

#include <gtest/gtest.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <sys/wait.h>
#include <unistd.h>

#include <csignal>
#include <filesystem>
#include <fstream>
#include <iterator>

#include "runtime/system/temporaries.h"
#include "tests/support/temp_folder.h"

namespace ledora::runtime {
namespace {

namespace fs = std::filesystem;

// A data folder as the current folder, with a data file and an older output.
class OutputFileTest : public ::testing::Test {
 protected:
  OutputFileTest() : previous_(fs::current_path()) {
    fs::current_path(folder_.path());
    std::ofstream("CUSTOMER.KDS") << "customers";
    std::ofstream("old.csv") << "old";
  }
  ~OutputFileTest() override { fs::current_path(previous_); }

  static std::string Read(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
  }
  // Names in the folder besides the two files made above.
  static std::vector<std::string> Others() {
    std::vector<std::string> names;
    for (const fs::directory_entry& entry : fs::directory_iterator(".")) {
      std::string name = entry.path().filename().string();
      if (name != "CUSTOMER.KDS" && name != "old.csv") names.push_back(name);
    }
    return names;
  }
  // Runs body in a child process and returns its wait status.
  template <typename Body>
  static int InChild(Body body) {
    pid_t child = fork();
    if (child == 0) {
      body();
      _exit(0);
    }
    int status = 0;
    waitpid(child, &status, 0);
    return status;
  }

  testing::TempFolder folder_;
  fs::path previous_;
};

TEST_F(OutputFileTest, DataFolderFilesAreRefusedHoweverNamed) {
  fs::create_symlink("CUSTOMER.KDS", "alias");
  fs::create_hard_link("CUSTOMER.KDS", "hard.csv");
  for (const char* name : {"CUSTOMER.KDS", "customer.kds", "./sub/../CUSTOMER.KDS",
                           "CUSTOMER.KDS-journal", "ledora.ini", "RPTNEW1.KDS", "hard.csv"}) {
    OutputFile file;
    EXPECT_FALSE(file.Open(name)) << name;
    EXPECT_NE(file.error().find("data or settings file"), std::string::npos) << name;
  }
  EXPECT_EQ(Read("CUSTOMER.KDS"), "customers");
}

TEST_F(OutputFileTest, OnlyRegularFilesOrNewNamesAreWritten) {
  ASSERT_EQ(mkfifo("fifo", 0600), 0);
  fs::create_symlink("old.csv", "link.csv");
  fs::create_directory("folder");
  std::vector<std::string> refused = {"fifo", "link.csv", "folder"};
  // A device node, where the test may make one (root): /dev/null's numbers.
  if (mknod("null", S_IFCHR | 0666, makedev(1, 3)) == 0) refused.push_back("null");
  for (const std::string& name : refused) {
    OutputFile file;
    EXPECT_FALSE(file.Open(name)) << name;
    EXPECT_NE(file.error().find("not a regular file"), std::string::npos) << name;
  }
  EXPECT_TRUE(fs::is_fifo(fs::symlink_status("fifo")));
  EXPECT_TRUE(fs::is_symlink(fs::symlink_status("link.csv")));
  EXPECT_EQ(Read("old.csv"), "old");
}

TEST_F(OutputFileTest, TheTargetChangesOnlyOnCommitAndTwoWritersNeverShareATemporary) {
  OutputFile first, second;
  ASSERT_TRUE(first.Open("old.csv"));
  ASSERT_TRUE(second.Open("old.csv"));
  EXPECT_NE(first.temporary(), second.temporary());
  ASSERT_TRUE(first.Write("first"));
  ASSERT_TRUE(second.Write("second"));
  EXPECT_EQ(Read("old.csv"), "old");
  ASSERT_TRUE(second.Commit());
  EXPECT_EQ(Read("old.csv"), "second");
  ASSERT_TRUE(first.Commit());
  EXPECT_EQ(Read("old.csv"), "first");
  {
    OutputFile abandoned;
    ASSERT_TRUE(abandoned.Open("old.csv"));
    ASSERT_TRUE(abandoned.Write("lost"));
  }
  EXPECT_EQ(Read("old.csv"), "first");
  EXPECT_TRUE(Others().empty());
}

TEST_F(OutputFileTest, AFullDiskFailsTheWriteAndKeepsTheOldFile) {
  int status = InChild([] {
    std::signal(SIGXFSZ, SIG_IGN);
    rlimit limit = {4096, 4096};
    setrlimit(RLIMIT_FSIZE, &limit);
    OutputFile file;
    bool wrote = file.Open("old.csv") && file.Write(std::string(10000, 'x'));
    _exit(!wrote && !file.Commit() && file.error().find("too large") != std::string::npos ? 0 : 1);
  });
  EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << status;
  EXPECT_EQ(Read("old.csv"), "old");
  EXPECT_TRUE(Others().empty());
}

TEST_F(OutputFileTest, ASignalRemovesTheTemporaryAndAKilledRunIsSweptLater) {
  int status = InChild([] {
    RemoveTemporariesOnSignals();
    OutputFile file;
    file.Open("new.csv");
    file.Write("half");
    raise(SIGTERM);
  });
  EXPECT_TRUE(WIFSIGNALED(status) && WTERMSIG(status) == SIGTERM) << status;
  EXPECT_TRUE(Others().empty());

  status = InChild([] {
    OutputFile file;
    file.Open("new.csv");
    file.Write("half");
    raise(SIGKILL);
  });
  EXPECT_TRUE(WIFSIGNALED(status)) << status;
  EXPECT_EQ(Others().size(), 1u);
  OutputFile alive;
  ASSERT_TRUE(alive.Open("other.csv"));
  SweepTemporaries(".");
  EXPECT_EQ(Others(), std::vector<std::string>{fs::path(alive.temporary()).filename().string()});
}

}  // namespace
}  // namespace ledora::runtime
