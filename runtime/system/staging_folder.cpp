#include "runtime/system/staging_folder.h"

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <filesystem>
#include <vector>

#include "runtime/system/temporaries.h"

namespace ledora::runtime {

namespace fs = std::filesystem;

namespace {

// Its presence, synced, is the point after which the move is finished
// rather than undone.
constexpr const char* kBegun = kPublishingMark;

bool Sync(const fs::path& path, bool folder) {
  int fd = ::open(path.c_str(), (folder ? O_RDONLY | O_DIRECTORY : O_RDWR) | O_CLOEXEC);
  if (fd < 0) return false;
  bool synced = ::fsync(fd) == 0;
  ::close(fd);
  return synced;
}

}  // namespace

StagingFolder::~StagingFolder() {
  if (!path_.empty() && !PublishingBegun(path_)) {
    std::error_code ignored;
    fs::remove_all(path_, ignored);
  }
  ForgetTemporary(slot_);
  if (lock_ >= 0) ::close(lock_);
}

bool StagingFolder::Create(const std::string& parent) {
  std::string pattern = (fs::path(parent) / ("." + std::string(kTemporaryMark) + "stage-XXXXXX"));
  std::vector<char> name(pattern.begin(), pattern.end());
  name.push_back('\0');
  {
    SignalsHeld held;
    if (::mkdtemp(name.data()) == nullptr) {
      error_ = std::strerror(errno);
      return false;
    }
    path_ = name.data();
    slot_ = KeepTemporary(path_, true);
  }
  lock_ = ::open(path_.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (lock_ >= 0) MarkAlive(lock_);
  return true;
}

bool StagingFolder::Publish() {
  std::error_code ec;
  for (const fs::directory_entry& entry : fs::directory_iterator(path_, ec)) {
    if (entry.path().filename().string().starts_with(".")) continue;
    if (!Sync(entry.path(), false)) {
      error_ = "cannot sync " + entry.path().string() + ": " + std::strerror(errno);
      return false;
    }
  }
  int fd = ::open((fs::path(path_) / kBegun).c_str(), O_WRONLY | O_CREAT | O_CLOEXEC, 0600);
  bool begun = fd >= 0 && ::fsync(fd) == 0;
  if (fd >= 0) ::close(fd);
  if (!begun || !Sync(path_, true)) {
    error_ = std::string("cannot begin moving the files into place: ") + std::strerror(errno);
    ::unlink((fs::path(path_) / kBegun).c_str());
    return false;
  }
  if (!FinishPublishing(path_)) {
    error_ = "cannot move the files into place; the next start finishes it";
    return false;
  }
  return true;
}

bool PublishingBegun(const std::string& folder) {
  std::error_code ignored;
  return fs::exists(fs::path(folder) / kBegun, ignored);
}

bool FinishPublishing(const std::string& folder) {
  fs::path parent = fs::path(folder).parent_path();
  std::error_code ec;
  bool moved = true;
  for (const fs::directory_entry& entry : fs::directory_iterator(folder, ec)) {
    if (entry.path().filename().string().starts_with(".")) continue;
    fs::rename(entry.path(), parent / entry.path().filename(), ec);
    if (ec) moved = false;
  }
  if (!moved || !Sync(parent.empty() ? "." : parent, true)) return false;
  fs::remove_all(folder, ec);
  return !ec;
}

}  // namespace ledora::runtime
