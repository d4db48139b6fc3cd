#include "runtime/storage/connection_file.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <filesystem>
#include <mutex>
#include <vector>

#include "runtime/storage/moved_journals.h"

namespace ledora::runtime {

namespace {

namespace fs = std::filesystem;

constexpr char kPrefix[] = ".ledora-connection-";
// SQLite's super-journals are named "<main database>-mj" and random digits.
constexpr char kSuperJournalMark[] = "-mj";
constexpr int kAttempts = 20;

// The files this process's connections made: its sweeps leave them alone,
// as closing a descriptor of one would drop SQLite's locks on it.
struct OwnFiles {
  std::mutex mutex;
  std::vector<std::string> paths;
};

OwnFiles& Own() {
  static OwnFiles own;
  return own;
}

bool IsOwn(const std::string& path) {
  std::lock_guard<std::mutex> guard(Own().mutex);
  return std::find(Own().paths.begin(), Own().paths.end(), path) != Own().paths.end();
}

// The maker holds a write lock on the first byte for its life, a sweeper a
// read lock while it removes the file: neither gets the other's. They are
// open-file-description locks, so the process's other descriptors of the
// file (SQLite's) neither drop nor share them.
bool LockFirstByte(int fd, short type) {
  struct flock range = {};
  range.l_type = type;
  range.l_whence = SEEK_SET;
  range.l_start = 0;
  range.l_len = 1;
  return fcntl(fd, F_OFD_SETLK, &range) == 0;
}

// Whether the descriptor still is the file of that name: a sweeper may have
// removed it between its making and its locking.
bool StillNamed(int fd, const std::string& path) {
  struct stat opened, named;
  return fstat(fd, &opened) == 0 && opened.st_nlink > 0 && stat(path.c_str(), &named) == 0 &&
         opened.st_dev == named.st_dev && opened.st_ino == named.st_ino;
}

bool ReadWhole(const std::string& path, std::string& text) {
  int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
  if (fd < 0) return false;
  char buffer[65536];
  ssize_t n;
  while ((n = ::read(fd, buffer, sizeof buffer)) > 0) text.append(buffer, static_cast<size_t>(n));
  ::close(fd);
  return n == 0;
}

// Whether a journal may still refer to the super-journal: one that cannot be
// read counts as referring. SQLite never plays back a journal whose first
// byte is zero (its header was never synced), so that one does not. Read in
// pieces, as a journal can be large.
bool MayReferTo(const std::string& journal, const std::string& superJournal) {
  int fd = ::open(journal.c_str(), O_RDONLY | O_CLOEXEC);
  if (fd < 0) return errno != ENOENT;
  std::string window;
  char buffer[65536];
  ssize_t n = ::read(fd, buffer, sizeof buffer);
  if (n > 0 && buffer[0] == 0) n = 0;
  bool found = false;
  while (!found && n > 0) {
    window.append(buffer, static_cast<size_t>(n));
    found = window.find(superJournal) != std::string::npos;
    if (window.size() > superJournal.size()) window.erase(0, window.size() - superJournal.size());
    if (!found) n = ::read(fd, buffer, sizeof buffer);
  }
  ::close(fd);
  return found || n < 0;
}

// A super-journal lists the journals of its files. While one of them names
// it, opening that file rolls it back through it (and SQLite then removes
// it); one that no journal names is left from a commit that died before
// it began.
bool StillNeeded(const std::string& superJournal) {
  std::string names;
  if (!ReadWhole(superJournal, names)) return true;
  size_t start = 0;
  while (start < names.size()) {
    size_t end = names.find('\0', start);
    if (end == std::string::npos) end = names.size();
    std::string journal = names.substr(start, end - start);
    // By its file name: the journal has it by an absolute path, which this
    // sweep may spell otherwise.
    if (!journal.empty() && MayReferTo(journal, fs::path(superJournal).filename().string())) {
      return true;
    }
    start = end + 1;
  }
  return false;
}

// Removes a connection file whose maker is gone; the read lock keeps a
// maker that has not locked it yet from taking it over.
void RemoveIfDead(const std::string& path) {
  if (IsOwn(path)) return;
  int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
  if (fd < 0) return;
  if (LockFirstByte(fd, F_RDLCK)) ::unlink(path.c_str());
  ::close(fd);
}

}  // namespace

void SweepConnectionFiles(const std::string& folder) {
  // Before the sweep judges which super-journals are still named.
  ReaimMovedJournals(folder);
  std::error_code error;
  std::vector<std::string> superJournals;
  for (const fs::directory_entry& entry : fs::directory_iterator(folder, error)) {
    std::string name = entry.path().filename().string();
    if (name.rfind(kPrefix, 0) != 0) continue;
    if (name.find(kSuperJournalMark) != std::string::npos) {
      superJournals.push_back(entry.path().string());
    } else {
      RemoveIfDead(entry.path().string());
    }
  }
  // A live station's connection file is there for as long as its commits.
  for (const std::string& superJournal : superJournals) {
    std::string maker = superJournal.substr(0, superJournal.rfind(kSuperJournalMark));
    if (fs::exists(maker, error) || StillNeeded(superJournal)) continue;
    ::unlink(superJournal.c_str());
  }
}

std::unique_ptr<ConnectionFile> ConnectionFile::Make(const std::string& folder) {
  SweepConnectionFiles(folder);
  for (int attempt = 0; attempt < kAttempts; ++attempt) {
    std::string path = (fs::path(folder) / (std::string(kPrefix) + "XXXXXX")).string();
    int fd = mkstemp(path.data());
    if (fd < 0) return nullptr;
    // Other stations' sweeps must be able to open it for their read lock.
    fchmod(fd, 0644);
    if (LockFirstByte(fd, F_WRLCK) && StillNamed(fd, path)) {
      return std::make_unique<ConnectionFile>(path, fd);
    }
    ::close(fd);
  }
  return nullptr;
}

ConnectionFile::ConnectionFile(std::string path, int fd)
    : path_(std::move(path)), fd_(fd), owner_(getpid()) {
  std::lock_guard<std::mutex> guard(Own().mutex);
  Own().paths.push_back(path_);
}

ConnectionFile::~ConnectionFile() {
  if (getpid() != owner_) return;
  ::unlink(path_.c_str());
  ::close(fd_);
  {
    std::lock_guard<std::mutex> guard(Own().mutex);
    std::erase(Own().paths, path_);
  }
  // This station may have rolled back files of a dead one since it swept:
  // the super-journals those needed can go now.
  SweepConnectionFiles(fs::path(path_).parent_path().string());
}

}  // namespace ledora::runtime
