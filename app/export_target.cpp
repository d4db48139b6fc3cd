#include "app/export_target.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <filesystem>
#include <vector>

#include "runtime/values/fixed_string.h"

namespace ledora::app {

namespace fs = std::filesystem;

namespace {

bool IsDataFileName(const fs::path& name) {
  std::string upper = runtime::ToUpper1252(name.filename().string());
  // A data file's journal holds what recovery needs after a crash.
  for (std::string_view side : {"-JOURNAL", "-WAL", "-SHM"}) {
    if (upper.ends_with(side)) upper.resize(upper.size() - side.size());
  }
  return upper.ends_with(".KDS") || upper.ends_with(".KDB") || upper == "LEDORA.INI" ||
         upper == "QRPTDES.INI";
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

ExportTarget::~ExportTarget() {
  if (file_ != nullptr) std::fclose(file_);
  if (!temporary_.empty()) ::unlink(temporary_.c_str());
}

bool ExportTarget::Fail(int code) {
  if (errno_ == 0) errno_ = code != 0 ? code : EIO;
  return false;
}

std::string ExportTarget::error() const {
  return errno_ == 0 ? std::string() : "cannot write " + path_ + ": " + std::strerror(errno_);
}

bool ExportTarget::Open(const std::string& path) {
  path_ = path;
  struct stat st;
  bool exists = ::stat(path.c_str(), &st) == 0;
  if (exists && !S_ISREG(st.st_mode)) {
    file_ = std::fopen(path.c_str(), "wb");
    return file_ != nullptr || Fail(errno);
  }
  // The rename would replace a file the user made read-only.
  if (exists && ::access(path.c_str(), W_OK) != 0) return Fail(errno);
  std::string pattern = path + ".XXXXXX";
  std::vector<char> name(pattern.begin(), pattern.end());
  name.push_back('\0');
  int fd = ::mkstemp(name.data());
  if (fd < 0) return Fail(errno);
  temporary_ = name.data();
  // mkstemp makes the file private; an export gets the mode a new file gets.
  mode_t mask = ::umask(0);
  ::umask(mask);
  ::fchmod(fd, 0666 & ~mask);
  file_ = ::fdopen(fd, "wb");
  if (file_ == nullptr) {
    int code = errno;
    ::close(fd);
    return Fail(code);
  }
  return true;
}

bool ExportTarget::Write(std::string_view bytes) {
  if (errno_ != 0) return false;
  return std::fwrite(bytes.data(), 1, bytes.size(), file_) == bytes.size() || Fail(errno);
}

bool ExportTarget::Commit() {
  // No fsync: the rename guards against a failed or killed export, which is
  // what happens; an export can be made again, and waiting for the disk
  // would double its time.
  if (errno_ == 0 && std::fflush(file_) != 0) Fail(errno);
  int closed = std::fclose(file_);
  file_ = nullptr;
  if (closed != 0) Fail(errno);
  if (errno_ == 0 && !temporary_.empty()) {
    if (::rename(temporary_.c_str(), path_.c_str()) != 0) return Fail(errno);
    temporary_.clear();
  }
  return errno_ == 0;
}

}  // namespace ledora::app
