#include "runtime/system/output_file.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <filesystem>
#include <vector>

#include "runtime/system/ascii_case.h"
#include "runtime/system/temporaries.h"

namespace ledora::runtime {

namespace fs = std::filesystem;

namespace {

bool IsDataFileName(const fs::path& name) {
  std::string upper = AsciiUpper(name.filename().string());
  // A data file's journal holds what recovery needs after a crash.
  for (std::string_view side : {"-JOURNAL", "-WAL", "-SHM"}) {
    if (upper.ends_with(side)) upper.resize(upper.size() - side.size());
  }
  return upper.ends_with(".KDS") || upper.ends_with(".KDB") || upper == "LEDORA.INI" ||
         upper == "QRPTDES.INI";
}

void SyncFolder(const std::string& file) {
  fs::path folder = fs::path(file).parent_path();
  int fd = ::open(folder.empty() ? "." : folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (fd < 0) return;
  ::fsync(fd);
  ::close(fd);
}

}  // namespace

bool IsDataFolderFile(const std::string& path) {
  std::error_code ec;
  fs::path folder = fs::canonical(".", ec);
  if (ec) return false;
  fs::path target = fs::weakly_canonical(fs::absolute(path, ec), ec);
  if (ec) return false;
  if (target.parent_path() == folder && IsDataFileName(target)) return true;
  // A hard link, or a name the canonical form does not show.
  if (!fs::exists(target, ec)) return false;
  for (const fs::directory_entry& entry : fs::directory_iterator(folder, ec)) {
    std::error_code same;
    if (IsDataFileName(entry.path()) && fs::equivalent(entry.path(), target, same)) return true;
  }
  return false;
}

OutputFile::~OutputFile() { Discard(); }

void OutputFile::Discard() {
  if (fd_ >= 0) ::close(fd_);
  fd_ = -1;
  if (!temporary_.empty()) ::unlink(temporary_.c_str());
  temporary_.clear();
  ForgetTemporary(slot_);
  slot_ = -1;
}

bool OutputFile::Refuse(std::string why) {
  if (refusal_.empty() && errno_ == 0) refusal_ = std::move(why);
  return false;
}

bool OutputFile::Fail(int code) {
  if (errno_ == 0 && refusal_.empty()) errno_ = code != 0 ? code : EIO;
  return false;
}

void OutputFile::NoteFailure(int code) { Fail(code); }

std::string OutputFile::error() const {
  if (!refusal_.empty()) return refusal_;
  return errno_ == 0 ? std::string() : "cannot write " + target_ + ": " + std::strerror(errno_);
}

bool OutputFile::Open(const std::string& target, DataFolderCheck check) {
  target_ = target;
  if (target.empty()) return Refuse("no output file named");
  if (check == RefuseDataFolderFiles && IsDataFolderFile(target)) {
    return Refuse(target + " is a data or settings file of the data folder; choose another output");
  }
  struct stat st;
  bool exists = ::lstat(target.c_str(), &st) == 0;
  if (exists && !S_ISREG(st.st_mode)) {
    return Refuse(target + " is not a regular file (a device, pipe, folder or link); " +
                  "choose another output");
  }
  // The rename would replace a file the user made read-only.
  if (exists && ::access(target.c_str(), W_OK) != 0) return Fail(errno);
  fs::path path(target);
  std::string pattern =
      (path.parent_path() / ("." + path.filename().string() + "." + kTemporaryMark + "XXXXXX"))
          .string();
  std::vector<char> name(pattern.begin(), pattern.end());
  name.push_back('\0');
  {
    SignalsHeld held;
    int fd = ::mkostemp(name.data(), O_CLOEXEC);
    if (fd < 0) return Fail(errno);
    fd_ = fd;
    temporary_ = name.data();
    slot_ = KeepTemporary(temporary_, false);
  }
  MarkAlive(fd_);
  // A replaced file keeps its mode; a new one gets what a new file gets.
  mode_t mask = ::umask(0);
  ::umask(mask);
  ::fchmod(fd_, exists ? (st.st_mode & 07777) : (0666 & ~mask));
  return true;
}

bool OutputFile::Write(std::string_view bytes) {
  if (errno_ != 0 || !refusal_.empty() || fd_ < 0) return false;
  while (!bytes.empty()) {
    ssize_t n = ::write(fd_, bytes.data(), bytes.size());
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) return Fail(n < 0 ? errno : ENOSPC);
    bytes.remove_prefix(static_cast<size_t>(n));
  }
  return true;
}

bool OutputFile::Park() {
  if (errno_ == 0 && refusal_.empty() && temporary_.empty()) Fail(EBADF);
  // Synced before the rename: after a power cut the target is the old file
  // or the whole new one, never a new name over lost blocks.
  if (errno_ == 0 && refusal_.empty()) {
    int fd = ::open(temporary_.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0 || ::fsync(fd) != 0) Fail(errno);
    if (fd >= 0) ::close(fd);
  }
  if (fd_ >= 0) {
    int closed = ::close(fd_);
    fd_ = -1;
    if (closed != 0) Fail(errno);
  }
  return errno_ == 0 && refusal_.empty();
}

bool OutputFile::Commit() {
  if (!Park()) {
    Discard();
    return false;
  }
  if (::rename(temporary_.c_str(), target_.c_str()) != 0) {
    Fail(errno);
    Discard();
    return false;
  }
  temporary_.clear();
  ForgetTemporary(slot_);
  slot_ = -1;
  SyncFolder(target_);
  return true;
}

}  // namespace ledora::runtime
