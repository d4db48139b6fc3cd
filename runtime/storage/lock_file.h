// Byte-range locks on a KDS file that other processes see: the holds on
// records and the sharing of tables. They are open-file-description locks, so
// two drivers in one process are two stations, and a process that dies loses
// them. The locked bytes lie far beyond SQLite's own lock bytes.
#pragma once

#include <cstdint>
#include <memory>
#include <string>

namespace ledora::runtime {

class LockFile {
 public:
  // Null when the file cannot be opened at all.
  static std::unique_ptr<LockFile> Open(const std::string& path);
  LockFile(int fd, bool writable) : fd_(fd), writable_(writable) {}  // owns fd
  // Releases every lock of this lock file. The descriptor stays open for the
  // next lock file of the same file, as closing it would drop the locks
  // SQLite holds on the file for this process's other stations.
  ~LockFile();
  LockFile(const LockFile&) = delete;
  LockFile& operator=(const LockFile&) = delete;

  // The byte of a table's sharing slot (0-3) or of a record.
  static int64_t SlotByte(int64_t tableId, int slot);
  static int64_t RecordByte(int64_t tableId, int64_t rowId);
  // The byte that marks a record as reserved by a live station.
  static int64_t ReservationByte(int64_t tableId, int64_t rowId);

  // Without waiting; false when another station's lock conflicts (or, for an
  // exclusive lock, the file is open read-only).
  bool Lock(int64_t byte, bool exclusive);
  void Unlock(int64_t byte);
  // Whether another station holds any lock on the byte.
  bool LockedElsewhere(int64_t byte);
  bool writable() const { return writable_; }

 private:
  int fd_;
  bool writable_;
};

}  // namespace ledora::runtime
