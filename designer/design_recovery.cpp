#include "designer/design_recovery.h"

#include <fcntl.h>
#include <unistd.h>

#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fstream>

namespace ledora::designer {

namespace {

constexpr char kMagic[] = "LEDORA-RECOVERY-1";

bool WriteAll(int fd, const void* data, size_t size) {
  const char* at = static_cast<const char*>(data);
  while (size > 0) {
    ssize_t n = ::write(fd, at, size);
    if (n <= 0) return false;
    at += n;
    size -= static_cast<size_t>(n);
  }
  return true;
}

}  // namespace

DesignRecovery::DesignRecovery(std::string folder, int32_t type, int32_t design) {
  if (folder.empty()) folder = ".";
  path_ = folder + "/RptDes1-" + std::to_string(type) + "-" + std::to_string(design) + ".rcv";
}

bool DesignRecovery::Exists() const {
  std::error_code ignored;
  return std::filesystem::exists(path_, ignored);
}

// The copy is whole on disk before it replaces the previous one.
bool DesignRecovery::Write(const std::vector<layout::ContentRecord>& records) const {
  std::string temporary = path_ + ".tmp";
  int fd = ::open(temporary.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
  if (fd < 0) return false;
  auto count = static_cast<uint32_t>(records.size());
  bool ok = WriteAll(fd, kMagic, sizeof kMagic) && WriteAll(fd, &count, sizeof count) &&
            (records.empty() ||
             WriteAll(fd, records.data(), records.size() * sizeof(layout::ContentRecord))) &&
            ::fsync(fd) == 0;
  ok = ::close(fd) == 0 && ok;
  if (!ok || std::rename(temporary.c_str(), path_.c_str()) != 0) {
    std::remove(temporary.c_str());
    return false;
  }
  return true;
}

bool DesignRecovery::Read(std::vector<layout::ContentRecord>* records) const {
  std::ifstream in(path_, std::ios::binary);
  char magic[sizeof kMagic] = {};
  uint32_t count = 0;
  if (!in.read(magic, sizeof magic) || std::memcmp(magic, kMagic, sizeof magic) != 0 ||
      !in.read(reinterpret_cast<char*>(&count), sizeof count) || count > 100000) {
    return false;
  }
  records->assign(count, layout::ContentRecord{});
  if (count == 0) return true;
  return static_cast<bool>(
      in.read(reinterpret_cast<char*>(records->data()), count * sizeof(layout::ContentRecord)));
}

void DesignRecovery::Remove() const {
  std::error_code ignored;
  std::filesystem::remove(path_, ignored);
}

}  // namespace ledora::designer
