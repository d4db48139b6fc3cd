#include "runtime/storage/moved_journals.h"

#include <fcntl.h>
#include <unistd.h>

#include <cstdint>
#include <cstring>
#include <filesystem>
#include <optional>
#include <vector>

namespace ledora::runtime {

namespace {

namespace fs = std::filesystem;

// The end of a journal that names a super-journal: the lock page's number
// (4 bytes), the name, its length (4), the name's checksum (4) and the
// journal magic (8); numbers big-endian.
constexpr unsigned char kMagic[8] = {0xd9, 0xd5, 0x05, 0xf9, 0x20, 0xa1, 0x63, 0xd7};
constexpr size_t kTail = 16;
constexpr size_t kLongestName = 512;

uint32_t Get32(const unsigned char* p) {
  return (uint32_t{p[0]} << 24) | (uint32_t{p[1]} << 16) | (uint32_t{p[2]} << 8) | p[3];
}

void Put32(uint32_t value, std::string* out) {
  for (int shift = 24; shift >= 0; shift -= 8) out->push_back(static_cast<char>(value >> shift));
}

// As SQLite sums it: over the name's bytes as plain (signed) chars.
uint32_t Checksum(const std::string& name) {
  uint32_t sum = 0;
  for (char c : name) sum += static_cast<uint32_t>(static_cast<int>(c));
  return sum;
}

bool ReadAt(int fd, off_t offset, void* buffer, size_t size) {
  return ::pread(fd, buffer, size, offset) == static_cast<ssize_t>(size);
}

bool WriteAll(int fd, off_t offset, const std::string& bytes) {
  return ::pwrite(fd, bytes.data(), bytes.size(), offset) == static_cast<ssize_t>(bytes.size());
}

// The name a file of this folder should have in place of named: the file of
// that name here, when named points into another folder.
std::optional<std::string> Reaimed(const fs::path& folder, const std::string& named) {
  fs::path path(named);
  if (!path.is_absolute() || !path.has_filename()) return std::nullopt;
  fs::path here = folder / path.filename();
  std::error_code ec;
  // SQLite reads no longer name (its unix maximum path length).
  if (here.string().size() >= kLongestName || !fs::exists(here, ec)) return std::nullopt;
  // A live station's names point here already, by whatever path it came.
  if (fs::equivalent(path.parent_path(), folder, ec)) return std::nullopt;
  return here.string();
}

// Whether the journal was re-aimed.
bool ReaimJournal(const fs::path& folder, const fs::path& journal) {
  int fd = ::open(journal.c_str(), O_RDWR | O_CLOEXEC | O_NOFOLLOW);
  if (fd < 0) return false;
  bool reaimed = false;
  off_t size = ::lseek(fd, 0, SEEK_END);
  unsigned char tail[kTail];
  if (size > static_cast<off_t>(kTail + 4) && ReadAt(fd, size - kTail, tail, kTail) &&
      std::memcmp(tail + 8, kMagic, sizeof kMagic) == 0) {
    uint32_t length = Get32(tail);
    off_t start = size - static_cast<off_t>(kTail + length + 4);
    std::string name(length, '\0');
    unsigned char lockPage[4];
    if (length > 0 && length < 4096 && start >= 0 && ReadAt(fd, start, lockPage, 4) &&
        ReadAt(fd, start + 4, name.data(), length) && Checksum(name) == Get32(tail + 4)) {
      name.resize(std::strlen(name.c_str()));
      if (std::optional<std::string> here = Reaimed(folder, name)) {
        std::string record(reinterpret_cast<char*>(lockPage), 4);
        record += *here;
        Put32(static_cast<uint32_t>(here->size()), &record);
        Put32(Checksum(*here), &record);
        record.append(reinterpret_cast<const char*>(kMagic), sizeof kMagic);
        reaimed = WriteAll(fd, start, record);
        if (reaimed && ::ftruncate(fd, start + static_cast<off_t>(record.size())) == 0) {
          ::fsync(fd);
        }
      }
    }
  }
  ::close(fd);
  return reaimed;
}

// Whether the super-journal was re-aimed.
bool ReaimSuperJournal(const fs::path& folder, const fs::path& superJournal) {
  int fd = ::open(superJournal.c_str(), O_RDWR | O_CLOEXEC | O_NOFOLLOW);
  if (fd < 0) return false;
  std::string names;
  char buffer[4096];
  ssize_t n;
  while ((n = ::read(fd, buffer, sizeof buffer)) > 0) names.append(buffer, static_cast<size_t>(n));
  std::string rewritten;
  bool changed = false;
  for (size_t start = 0; n == 0 && start < names.size();) {
    size_t end = names.find('\0', start);
    if (end == std::string::npos) end = names.size();
    std::string name = names.substr(start, end - start);
    std::optional<std::string> here = name.empty() ? std::nullopt : Reaimed(folder, name);
    changed = changed || here.has_value();
    rewritten += here.value_or(name);
    rewritten.push_back('\0');
    start = end + 1;
  }
  bool reaimed = changed && WriteAll(fd, 0, rewritten);
  if (reaimed && ::ftruncate(fd, static_cast<off_t>(rewritten.size())) == 0) ::fsync(fd);
  ::close(fd);
  return reaimed;
}

}  // namespace

void ReaimMovedJournals(const std::string& folder) {
  std::error_code ec;
  fs::path here = fs::canonical(folder, ec);
  if (ec) return;
  std::vector<fs::path> journals, superJournals;
  for (const fs::directory_entry& entry : fs::directory_iterator(here, ec)) {
    std::string name = entry.path().filename().string();
    if (name.ends_with("-journal")) journals.push_back(entry.path());
    if (name.find("-mj") != std::string::npos && !name.ends_with("-journal")) {
      superJournals.push_back(entry.path());
    }
  }
  // The super-journals first: a journal aimed here whose super-journal
  // still lists the old names would have it removed after the first
  // rollback, before the others were rolled back.
  bool reaimed = false;
  for (const fs::path& superJournal : superJournals) {
    reaimed = ReaimSuperJournal(here, superJournal) || reaimed;
  }
  for (const fs::path& journal : journals) reaimed = ReaimJournal(here, journal) || reaimed;
  // Every job's start and end pass here; a folder with nothing re-aimed
  // needs no wait for the disk.
  if (!reaimed) return;
  int dir = ::open(here.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (dir >= 0) {
    ::fsync(dir);
    ::close(dir);
  }
}

}  // namespace ledora::runtime
