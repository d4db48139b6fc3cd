#include "runtime/system/temporaries.h"

#include <dirent.h>
#include <fcntl.h>
#include <pthread.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <sys/syscall.h>
#include <unistd.h>

#include <atomic>
#include <csignal>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <mutex>
#include <string_view>
#include <vector>

#include "runtime/system/staging_folder.h"

namespace ledora::runtime {

namespace {

namespace fs = std::filesystem;

constexpr int kSlots = 256;  // a split print keeps a PDF per invoice
constexpr size_t kPathSize = 1024;
constexpr int kSignals[] = {SIGINT, SIGTERM, SIGHUP};

// A signal handler can reach nothing but static storage, so the kept paths
// live in a fixed table rather than in an object someone owns.
struct Slot {
  std::atomic<int> state{0};  // 0 free, 1 being filled, 2 file, 3 folder
  char path[kPathSize];
};

Slot gSlots[kSlots];

// Only calls that are safe inside a signal handler.
void RemoveFolderFiles(const char* folder) {
  int fd = ::open(folder, O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC);
  if (fd < 0) return;
  alignas(8) char buffer[4096];
  long n;
  while ((n = ::syscall(SYS_getdents64, fd, buffer, sizeof buffer)) > 0) {
    for (long at = 0; at < n;) {
      struct Entry {
        uint64_t inode;
        int64_t offset;
        unsigned short length;
        unsigned char type;
        char name[1];
      };
      const Entry* entry = reinterpret_cast<const Entry*>(buffer + at);
      bool dots = std::strcmp(entry->name, ".") == 0 || std::strcmp(entry->name, "..") == 0;
      if (!dots) ::unlinkat(fd, entry->name, 0);
      at += entry->length;
    }
  }
  ::close(fd);
  ::rmdir(folder);
}

// A staging folder whose files are on their way into place is left for the
// next start to finish.
bool PublishingBegunSafely(const char* folder) {
  int fd = ::open(folder, O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC);
  if (fd < 0) return false;
  bool begun = ::faccessat(fd, kPublishingMark, F_OK, 0) == 0;
  ::close(fd);
  return begun;
}

void RemoveKept(int signal) {
  for (Slot& slot : gSlots) {
    int state = slot.state.load();
    if (state == 2) ::unlink(slot.path);
    if (state == 3 && !PublishingBegunSafely(slot.path)) RemoveFolderFiles(slot.path);
  }
  // SA_RESETHAND restored the default action; the signal is blocked until
  // this handler returns and then ends the process with its usual status.
  ::raise(signal);
}

}  // namespace

void RemoveTemporariesOnSignals() {
  static std::once_flag installed;
  std::call_once(installed, [] {
    struct sigaction action = {};
    action.sa_handler = RemoveKept;
    action.sa_flags = SA_RESETHAND;
    sigemptyset(&action.sa_mask);
    for (int signal : kSignals) sigaddset(&action.sa_mask, signal);
    for (int signal : kSignals) {
      struct sigaction previous;
      // A signal ignored by whoever started us (nohup) stays ignored.
      if (::sigaction(signal, nullptr, &previous) == 0 && previous.sa_handler == SIG_IGN) continue;
      ::sigaction(signal, &action, nullptr);
    }
  });
}

int KeepTemporary(const std::string& path, bool folder) {
  if (path.size() >= kPathSize) return -1;
  for (int i = 0; i < kSlots; ++i) {
    int expected = 0;
    if (!gSlots[i].state.compare_exchange_strong(expected, 1)) continue;
    std::memcpy(gSlots[i].path, path.c_str(), path.size() + 1);
    gSlots[i].state.store(folder ? 3 : 2);
    return i;
  }
  return -1;
}

void ForgetTemporary(int slot) {
  if (slot >= 0 && slot < kSlots) gSlots[slot].state.store(0);
}

SignalsHeld::SignalsHeld() {
  static_assert(sizeof previous_ >= sizeof(sigset_t));
  sigset_t held;
  sigemptyset(&held);
  for (int signal : kSignals) sigaddset(&held, signal);
  ::pthread_sigmask(SIG_BLOCK, &held, reinterpret_cast<sigset_t*>(previous_));
}

SignalsHeld::~SignalsHeld() {
  ::pthread_sigmask(SIG_SETMASK, reinterpret_cast<sigset_t*>(previous_), nullptr);
}

bool MarkAlive(int fd) { return ::flock(fd, LOCK_EX | LOCK_NB) == 0; }

// SQLite's journal beside a temporary database has no lock of ours; it goes
// once its database has gone.
static bool IsJournalOfTemporary(const std::string& name, std::string* base) {
  for (std::string_view side : {"-journal", "-wal", "-shm"}) {
    if (name.ends_with(side)) {
      *base = name.substr(0, name.size() - side.size());
      return true;
    }
  }
  return false;
}

void SweepTemporaries(const std::string& folder) {
  std::error_code ec;
  std::vector<fs::path> journals;
  for (const fs::directory_entry& entry : fs::directory_iterator(folder, ec)) {
    std::string name = entry.path().filename().string();
    if (name.find(kTemporaryMark) == std::string::npos) continue;
    std::string base;
    if (IsJournalOfTemporary(name, &base)) {
      journals.push_back(entry.path().parent_path() / base);
      continue;
    }
    int fd = ::open(entry.path().c_str(), O_RDONLY | O_NOFOLLOW | O_CLOEXEC | O_NONBLOCK);
    if (fd < 0) continue;
    struct stat st;
    // Only what a run of ours makes: a regular file or a folder.
    bool ours = ::fstat(fd, &st) == 0 && (S_ISREG(st.st_mode) || S_ISDIR(st.st_mode));
    if (ours && ::flock(fd, LOCK_EX | LOCK_NB) == 0) {
      std::error_code ignored;
      if (S_ISDIR(st.st_mode) && PublishingBegun(entry.path().string())) {
        FinishPublishing(entry.path().string());
      } else {
        fs::remove_all(entry.path(), ignored);
      }
    }
    ::close(fd);
  }
  for (const fs::path& base : journals) {
    std::error_code ignored;
    if (fs::exists(fs::symlink_status(base, ignored))) continue;
    for (std::string_view side : {"-journal", "-wal", "-shm"}) {
      fs::remove(base.string() + std::string(side), ignored);
    }
  }
}

std::string TemporaryFolder() {
  const char* named = std::getenv("TMPDIR");
  struct stat st;
  if (named != nullptr && named[0] == '/' && ::stat(named, &st) == 0 && S_ISDIR(st.st_mode)) {
    return named;
  }
  return "/tmp";
}

}  // namespace ledora::runtime
