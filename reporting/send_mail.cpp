#include "reporting/send_mail.h"

#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cctype>
#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <thread>

extern char** environ;

namespace ledora::reporting {

namespace {

// xdg-email's exit status when a tool it needs is not installed.
constexpr int kToolMissing = 3;
constexpr auto kPatience = std::chrono::seconds(3);

}  // namespace

std::string MailAttachmentName(std::string_view reportName) {
  std::error_code error;
  std::filesystem::path base = std::filesystem::temp_directory_path(error);
  if (error) return {};
  std::string folder = (base / "ledora-mail-XXXXXX").string();
  if (mkdtemp(folder.data()) == nullptr) return {};
  std::string name;
  for (char c : reportName) {
    name += std::isalnum(static_cast<unsigned char>(c)) ? c : '_';
  }
  return folder + "/" + (name.empty() ? std::string("Report") : name) + ".pdf";
}

MailResult SendByMail(const std::string& file) {
  std::string program = "xdg-email";
  std::string attach = "--attach";
  char* argv[] = {program.data(), attach.data(), const_cast<char*>(file.c_str()), nullptr};
  pid_t pid = 0;
  if (posix_spawnp(&pid, program.c_str(), nullptr, nullptr, argv, environ) != 0) {
    return MailNoProgram;
  }
  auto until = std::chrono::steady_clock::now() + kPatience;
  int status = 0;
  while (std::chrono::steady_clock::now() < until) {
    pid_t done = waitpid(pid, &status, WNOHANG);
    if (done == pid) {
      if (!WIFEXITED(status)) return MailFailed;
      int code = WEXITSTATUS(status);
      if (code == 0) return MailSent;
      return code == kToolMissing || code == 127 ? MailNoProgram : MailFailed;
    }
    if (done < 0) return MailFailed;
    std::this_thread::sleep_for(std::chrono::milliseconds(50));
  }
  // Still running: the mail program is open with the message. It is
  // reaped when it ends, so that no zombie stays behind.
  std::thread([pid] {
    int ignored = 0;
    waitpid(pid, &ignored, 0);
  }).detach();
  return MailSent;
}

std::string MailProblem(MailResult result) {
  switch (result) {
    case MailNoProgram:
      return "xdg-email or a mail program is not installed";
    case MailFailed:
      return "xdg-email could not start a mail program";
    default:
      return {};
  }
}

}  // namespace ledora::reporting
