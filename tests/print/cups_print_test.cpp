// Printing through the operating system for real: a CUPS daemon of the
// test's own (its folder, its configuration, a Unix socket of its own) with
// a cups-pdf queue writing into the test's folder; `ledora print --printer`
// prints to it and the PDF the queue writes is read back.
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <filesystem>
#include <fstream>
#include <thread>

#include "tests/print/print_fixture.h"

namespace ledora::testing {
namespace {

namespace fs = std::filesystem;

constexpr char kCupsd[] = "/usr/sbin/cupsd";
constexpr char kCupsPdf[] = "/usr/lib/cups/backend/cups-pdf";
constexpr char kPpd[] = "/usr/share/ppd/cups-pdf/CUPS-PDF_opt.ppd";

void Write(const fs::path& file, const std::string& text) { std::ofstream(file) << text; }

bool WaitFor(const std::function<bool()>& done, double seconds) {
  auto until = std::chrono::steady_clock::now() + std::chrono::duration<double>(seconds);
  while (!done()) {
    if (std::chrono::steady_clock::now() > until) return false;
    std::this_thread::sleep_for(std::chrono::milliseconds(100));
  }
  return true;
}

// cupsd in the foreground on the folder's socket, stopped with the object.
// cups-pdf reads its settings only from /etc/cups, so the queue's own file
// goes there under the queue's unique name and is removed again. The queue
// turns the job into PostScript through poppler's cairo renderer, the one
// that keeps the text readable in the PDF cups-pdf makes of it.
class CupsDaemon {
 public:
  explicit CupsDaemon(const fs::path& folder)
      : folder_(folder), queue_("ledora" + std::to_string(getpid())) {}
  ~CupsDaemon() {
    if (pid_ > 0) {
      kill(pid_, SIGTERM);
      waitpid(pid_, nullptr, 0);
    }
    std::error_code ignored;
    fs::remove(queueSettings(), ignored);
  }

  bool Start() {
    for (const char* dir : {"root/ppd", "spool/tmp", "tmp", "cache", "state", "out", "pdfspool"}) {
      fs::create_directories(folder_ / dir);
    }
    // Filters run as the daemon's unprivileged user.
    for (const char* dir : {"tmp", "spool/tmp", "out", "pdfspool"}) {
      fs::permissions(folder_ / dir, fs::perms::all | fs::perms::sticky_bit);
    }
    fs::permissions(folder_, fs::perms::owner_all | fs::perms::group_exec | fs::perms::others_exec);
    std::string f = folder_.string();
    Write(folder_ / "cups-files.conf",
          "ServerRoot " + f + "/root\nRequestRoot " + f + "/spool\nTempDir " + f +
              "/tmp\nCacheDir " + f + "/cache\nStateDir " + f + "/state\nErrorLog " + f +
              "/error_log\nAccessLog " + f + "/access_log\nPageLog " + f +
              "/page_log\nServerBin /usr/lib/cups\nDataDir /usr/share/cups\n"
              "SystemGroup root\nSandboxing Relaxed\n");
    Write(folder_ / "cupsd.conf", "Listen " + socket() +
                                      "\nLogLevel info\nBrowsing Off\nWebInterface No\n"
                                      "DefaultAuthType None\n<Location />\n  Order allow,deny\n"
                                      "  Allow all\n</Location>\n<Policy default>\n"
                                      "  <Limit All>\n    Order deny,allow\n  </Limit>\n"
                                      "</Policy>\n");
    Write(queueSettings(), "Out " + f + "/out\nAnonDirName " + f + "/out\nSpool " + f +
                               "/pdfspool\nUserPrefix\nGrp root\n");
    pid_ = fork();
    if (pid_ < 0) return false;
    if (pid_ == 0) {
      execl(kCupsd, kCupsd, "-f", "-c", (f + "/cupsd.conf").c_str(), "-s",
            (f + "/cups-files.conf").c_str(), static_cast<char*>(nullptr));
      _exit(127);
    }
    if (!WaitFor([&] { return fs::exists(socket()); }, 10)) return false;
    std::string add = "CUPS_SERVER='" + socket() + "' lpadmin -p " + queue_ + " -E -v cups-pdf:/" +
                      queue_ + " -P " + kPpd +
                      " -o pdftops-renderer-default=pdftocairo >/dev/null 2>&1";
    return std::system(add.c_str()) == 0;
  }

  std::string socket() const { return (folder_ / "cups.sock").string(); }
  const std::string& queue() const { return queue_; }
  fs::path out() const { return folder_ / "out"; }

 private:
  fs::path queueSettings() const {
    return fs::path("/etc/cups") / ("cups-pdf-" + queue_ + ".conf");
  }

  fs::path folder_;
  std::string queue_;
  pid_t pid_ = -1;
};

// The one PDF in folder (searched below it too), once it is complete.
std::string WrittenPdf(const fs::path& folder) {
  std::string found;
  WaitFor(
      [&] {
        for (const auto& entry : fs::recursive_directory_iterator(folder)) {
          if (entry.path().extension() == ".pdf" && entry.file_size() > 0) {
            found = entry.path().string();
          }
        }
        return !found.empty();
      },
      60);
  return found;
}

class CupsPrintTest : public PrintFixture {
 protected:
  void SetUp() override {
    if (geteuid() != 0) GTEST_SKIP() << "cups-pdf prints only for root";
    for (const char* needed : {kCupsd, kCupsPdf, kPpd}) {
      if (!fs::exists(needed)) GTEST_SKIP() << "needs " << needed;
    }
    PrintFixture::SetUp();
  }
  TempFolder cups_;
};

TEST_F(CupsPrintTest, InvoicesThreeToFiveComeOutOfTheQueueOnThreePages) {
  CupsDaemon daemon(cups_.path());
  ASSERT_TRUE(daemon.Start()) << "cupsd did not start or take the queue";
  Run run = Print("invoices --from 3 --to 5 --printer " + daemon.queue(),
                  "CUPS_SERVER='" + daemon.socket() + "'");
  ASSERT_EQ(run.status, 0) << run.err;
  std::string pdf = WrittenPdf(daemon.out());
  ASSERT_FALSE(pdf.empty()) << "the queue wrote no PDF";
  // Wait until ghostscript has finished the file.
  std::string text;
  WaitFor(
      [&] {
        text = PdfText(pdf);
        return Pages(text) == 3;
      },
      30);
  ASSERT_EQ(Pages(text), 3) << text;
  size_t start = 0;
  for (int i = 2; i <= 4; ++i) {
    size_t end = text.find('\f', start);
    std::string page = text.substr(start, end - start);
    EXPECT_NE(page.find(invoices_[i].customer), std::string::npos) << page;
    EXPECT_NE(page.find(invoices_[i].sales), std::string::npos) << page;
    EXPECT_NE(page.find(invoices_[i].date), std::string::npos) << page;
    start = end + 1;
  }
}

}  // namespace
}  // namespace ledora::testing
