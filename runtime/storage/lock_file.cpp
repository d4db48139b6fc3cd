#include "runtime/storage/lock_file.h"

#include <fcntl.h>
#include <unistd.h>

namespace ledora::runtime {

namespace {

// SQLite locks bytes near 1 GiB; ours start at 2^60, 2^44 bytes per table.
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

}  // namespace

std::unique_ptr<LockFile> LockFile::Open(const std::string& path) {
  bool writable = true;
  int fd = ::open(path.c_str(), O_RDWR | O_CLOEXEC);
  if (fd < 0) {
    writable = false;
    fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
  }
  if (fd < 0) return nullptr;
  return std::make_unique<LockFile>(fd, writable);
}

LockFile::~LockFile() { ::close(fd_); }

int64_t LockFile::SlotByte(int64_t tableId, int slot) {
  return kBase + (tableId % 65536) * kTableSpan + slot;
}

int64_t LockFile::RecordByte(int64_t tableId, int64_t rowId) {
  return kBase + (tableId % 65536) * kTableSpan + kSlots + rowId % (kTableSpan - kSlots);
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
