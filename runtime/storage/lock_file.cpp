#include "runtime/storage/lock_file.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <mutex>
#include <vector>

namespace ledora::runtime {

namespace {

// SQLite locks bytes near 1 GiB; ours start at 2^60, 2^44 bytes per table
// (2^60 + 2^16 * 2^44 = 2^61, where the reservation bytes begin).
constexpr int64_t kBase = int64_t{1} << 60;
constexpr int64_t kTableSpan = int64_t{1} << 44;
constexpr int64_t kSlots = 16;

struct flock Range(short type, int64_t byte) {
  struct flock range = {};
  range.l_type = type;
  range.l_whence = SEEK_SET;
  range.l_start = byte;
  range.l_len = 1;
  return range;
}

// Closing any descriptor of a file drops every lock of the process on it,
// SQLite's included: a lock file that is done leaves its descriptor here,
// unlocked, for the next one of the same file. Descriptors of a parent
// process (inherited by fork) are neither taken nor closed.
struct Idle {
  dev_t device;
  ino_t inode;
  int fd;
  bool writable;
  pid_t process;
};

struct IdlePool {
  std::mutex mutex;
  std::vector<Idle> descriptors;
};

IdlePool& Pool() {
  static IdlePool pool;
  return pool;
}

bool Deleted(int fd) {
  struct stat info;
  return fstat(fd, &info) != 0 || info.st_nlink == 0;
}

// With the pool's mutex held. Closing a deleted file's descriptor is safe:
// nobody can open that file any more.
int TakeIdle(const struct stat& file, bool writable) {
  std::vector<Idle>& idle = Pool().descriptors;
  pid_t self = getpid();
  int found = -1;
  for (auto it = idle.begin(); it != idle.end();) {
    if (it->process == self && Deleted(it->fd)) {
      ::close(it->fd);
      it = idle.erase(it);
      continue;
    }
    if (found < 0 && it->process == self && it->device == file.st_dev && it->inode == file.st_ino &&
        it->writable == writable) {
      found = it->fd;
      it = idle.erase(it);
      continue;
    }
    ++it;
  }
  return found;
}

}  // namespace

std::unique_ptr<LockFile> LockFile::Open(const std::string& path) {
  struct stat file;
  if (stat(path.c_str(), &file) != 0) return nullptr;
  std::lock_guard<std::mutex> guard(Pool().mutex);
  for (bool writable : {true, false}) {
    int fd = TakeIdle(file, writable);
    if (fd < 0) fd = ::open(path.c_str(), (writable ? O_RDWR : O_RDONLY) | O_CLOEXEC);
    if (fd >= 0) return std::make_unique<LockFile>(fd, writable);
  }
  return nullptr;
}

LockFile::~LockFile() {
  struct flock all = Range(F_UNLCK, 0);
  all.l_len = 0;  // to the end of the file: every lock of this descriptor
  fcntl(fd_, F_OFD_SETLK, &all);
  struct stat file;
  if (fstat(fd_, &file) != 0 || file.st_nlink == 0) {
    ::close(fd_);
    return;
  }
  std::lock_guard<std::mutex> guard(Pool().mutex);
  Pool().descriptors.push_back({file.st_dev, file.st_ino, fd_, writable_, getpid()});
}

int64_t LockFile::SlotByte(int64_t tableId, int slot) {
  return kBase + (tableId % 65536) * kTableSpan + slot;
}

int64_t LockFile::RecordByte(int64_t tableId, int64_t rowId) {
  return kBase + (tableId % 65536) * kTableSpan + kSlots + rowId % (kTableSpan - kSlots);
}

// Beyond the record bytes of every table: 2^61 on.
int64_t LockFile::ReservationByte(int64_t tableId, int64_t rowId) {
  return (int64_t{1} << 61) + (tableId % 65536) * kTableSpan + rowId % kTableSpan;
}

bool LockFile::Lock(int64_t byte, bool exclusive) {
  if (exclusive && !writable_) return false;
  struct flock range = Range(exclusive ? F_WRLCK : F_RDLCK, byte);
  return fcntl(fd_, F_OFD_SETLK, &range) == 0;
}

void LockFile::Unlock(int64_t byte) {
  struct flock range = Range(F_UNLCK, byte);
  fcntl(fd_, F_OFD_SETLK, &range);
}

bool LockFile::LockedElsewhere(int64_t byte) {
  struct flock range = Range(F_WRLCK, byte);
  if (fcntl(fd_, F_OFD_GETLK, &range) != 0) return false;
  return range.l_type != F_UNLCK;
}

}  // namespace ledora::runtime
