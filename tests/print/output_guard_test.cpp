// What `ledora print` and `ledora export` write, and where they refuse to:
// never over a data file or a special file, never a half-written PDF under
// its name, nothing left behind, whatever the disk, the pipe or the
// descriptors the program was started with.
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <map>

#include "tests/print/print_fixture.h"
#include "tests/support/command_output.h"

namespace ledora::testing {
namespace {

namespace fs = std::filesystem;

class OutputGuardTest : public PrintFixture {
 protected:
  static std::string Program() {
    return (fs::read_symlink("/proc/self/exe").parent_path().parent_path() / "ledora").string();
  }
  // Runs a shell command in the data folder; its exit status.
  int Shell(const std::string& command) {
    std::string line = "cd '" + data_.path() + "' && L='" + Program() + "' && " + command;
    int status = std::system(("bash -c \"" + line + "\" >/dev/null 2>&1").c_str());
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
  }
  static std::string Read(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
  }
  // Every regular file of the data folder with a hash of its bytes.
  std::map<std::string, size_t> Files() {
    std::map<std::string, size_t> files;
    for (const fs::directory_entry& entry : fs::directory_iterator(data_.path())) {
      if (entry.is_regular_file()) {
        files[entry.path().filename()] = std::hash<std::string>()(Read(entry.path()));
      }
    }
    return files;
  }
  // Names of the data folder that only a run left behind.
  std::vector<std::string> LeftBehind() {
    std::vector<std::string> names;
    for (const fs::directory_entry& entry : fs::directory_iterator(data_.path())) {
      std::string name = entry.path().filename();
      if (name.find("ledora-tmp-") != std::string::npos || name.ends_with(".part") ||
          name.starts_with(".ledora-connection-") || name.ends_with("-journal")) {
        names.push_back(name);
      }
    }
    return names;
  }
};

TEST_F(OutputGuardTest, PrintNeverWritesOverDataFilesOrSpecialFiles) {
  std::ofstream(data_.File("ledora.INI")) << "[Main]\n";
  ASSERT_EQ(mkfifo(data_.File("fifo").c_str(), 0600), 0);
  fs::create_symlink(data_.File("ledora.INI"), data_.File("link.pdf"));
  std::vector<std::string> targets = {"CUSTOMER.KDS", "customer.kds", "ledora.INI",
                                      "RptDes1.KDS",  "fifo",         "link.pdf"};
  if (mknod(data_.File("null").c_str(), S_IFCHR | 0666, makedev(1, 3)) == 0) {
    targets.push_back("null");
  }
  ASSERT_EQ(Print("--list").status, 0);  // makes the design files
  std::map<std::string, size_t> before = Files();
  for (const std::string& target : targets) {
    Run run = Print("items --pdf " + target);
    EXPECT_EQ(run.status, 1) << target;
    EXPECT_NE(run.err.find("choose another output"), std::string::npos) << run.err;
  }
  EXPECT_EQ(Files(), before);
  EXPECT_TRUE(fs::is_fifo(fs::symlink_status(data_.File("fifo"))));
  EXPECT_TRUE(fs::is_symlink(fs::symlink_status(data_.File("link.pdf"))));
  EXPECT_TRUE(LeftBehind().empty());
}

TEST_F(OutputGuardTest, AFullDiskFailsThePrintAndKeepsTheEarlierPdf) {
  ASSERT_EQ(Print("items --pdf out.pdf").status, 0);
  std::string earlier = Read(data_.File("out.pdf"));
  Run run = Print("invoices --pdf out.pdf", "prlimit --fsize=4096");
  EXPECT_EQ(run.status, 1);
  EXPECT_NE(run.err.find("File too large"), std::string::npos) << run.err;
  EXPECT_EQ(Read(data_.File("out.pdf")), earlier);
  EXPECT_TRUE(LeftBehind().empty());
}

TEST_F(OutputGuardTest, TwoPrintsToOnePdfLeaveOneWholeReport) {
  EXPECT_EQ(Shell("(\\$L print invoices --pdf out.pdf & \\$L print items --pdf out.pdf; "
                  "s=\\$?; wait \\$!; exit \\$((s + \\$?)))"),
            0);
  std::string text = PdfText(data_.File("out.pdf"));
  EXPECT_TRUE(text.find(items_[0].description) != std::string::npos ||
              text.find(customerNames_[0]) != std::string::npos)
      << text;
  EXPECT_NE(CommandOutput("pdfinfo '" + data_.File("out.pdf") + "' 2>&1").find("Pages:"),
            std::string::npos);
  EXPECT_TRUE(LeftBehind().empty());
}

// With standard output closed, the first file the job opens would take its
// descriptor and receive the CSV.
TEST_F(OutputGuardTest, AnExportToAClosedStandardOutputFailsAndWritesNothing) {
  std::map<std::string, size_t> before = Files();
  EXPECT_EQ(Shell("\\$L export ITEMS >&-"), 1);
  EXPECT_EQ(Files(), before);
  EXPECT_EQ(Shell("\\$L export ITEMS --csv out.csv >&-"), 0);
  EXPECT_NE(Read(data_.File("out.csv")).find("ITE:ITEMNR"), std::string::npos);
}

TEST_F(OutputGuardTest, AnExportIntoAClosedPipeEndsCleanly) {
  std::string rows = "ITE:DESCRIPTION\n";
  for (int i = 0; i < 5000; ++i) rows += "Item number " + std::to_string(i) + " in a list\n";
  std::ofstream(data_.File("many.csv")) << rows;
  ASSERT_EQ(Shell("\\$L import ITEMS many.csv"), 0);
  EXPECT_EQ(Shell("\\$L export ITEMS | head -c 10; exit \\${PIPESTATUS[0]}"), 1);
  EXPECT_TRUE(LeftBehind().empty());
}

// The page images hold customer data and may be large: they belong in the
// temporary folder, not among the data, even while the print runs.
TEST_F(OutputGuardTest, AMissingTemporaryFolderKeepsPagesOutOfTheDataFolder) {
  std::string trace = data_.File("trace");
  Run run = Print("items --pdf out.pdf", "TMPDIR=" + data_.File("gone") +
                                             " strace -f -qq -e trace=mkdir,mkdirat -o " + trace);
  EXPECT_EQ(run.status, 0) << run.err;
  std::string made = Read(trace);
  EXPECT_EQ(made.find("ledora-tmp-pages"), made.find("/tmp/ledora-tmp-pages") + 5) << made;
  EXPECT_NE(made.find("ledora-tmp-pages"), std::string::npos) << made;
}

// Reading and printing need no write access: data on a read-only mount or
// in another user's folder prints (here: the folder of root, printed as
// nobody; or, run by a user, a folder without write permission).
TEST_F(OutputGuardTest, DataThatCannotBeWrittenStillPrints) {
  ASSERT_EQ(Print("--list").status, 0);
  TempFolder out;
  fs::permissions(out.path(), fs::perms::all);
  std::string as;
  if (geteuid() == 0) {
    fs::permissions(data_.path(), fs::perms::owner_all | fs::perms::group_read |
                                      fs::perms::group_exec | fs::perms::others_read |
                                      fs::perms::others_exec);
    as = "setpriv --reuid=nobody --regid=nogroup --clear-groups env TMPDIR=/tmp";
  } else {
    fs::permissions(data_.path(), fs::perms::owner_write, fs::perm_options::remove);
  }
  std::map<std::string, size_t> before = Files();
  Run run = Print("--list", as);
  EXPECT_EQ(run.status, 0) << run.err;
  EXPECT_NE(run.out.find("  * Standard"), std::string::npos) << run.out;
  std::string pdf = out.File("items.pdf");
  run = Print("items --pdf " + pdf, as);
  EXPECT_EQ(run.status, 0) << run.err;
  EXPECT_NE(PdfText(pdf).find(items_[0].description), std::string::npos);
  fs::permissions(data_.path(), fs::perms::owner_write, fs::perm_options::add);
  EXPECT_EQ(Files(), before);
}

}  // namespace
}  // namespace ledora::testing
