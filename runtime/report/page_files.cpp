#include "runtime/report/page_files.h"

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <vector>

#include "runtime/report/page_image_writer.h"
#include "runtime/report/report_error.h"
#include "runtime/system/temporaries.h"

namespace ledora::runtime {

namespace fs = std::filesystem;

std::unique_ptr<PageFiles> PageFiles::Create(const std::string& parent) {
  std::error_code ec;
  fs::path base = parent.empty() ? fs::path(TemporaryFolder()) : fs::path(parent);
  fs::create_directories(base, ec);
  std::string pattern = (base / (std::string(kTemporaryMark) + "pages-XXXXXX")).string();
  std::vector<char> name(pattern.begin(), pattern.end());
  name.push_back('\0');
  SignalsHeld held;
  // mkdtemp makes the folder private: pages hold customer data.
  if (::mkdtemp(name.data()) != nullptr) {
    int lock = ::open(name.data(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (lock >= 0) MarkAlive(lock);
    return std::unique_ptr<PageFiles>(new PageFiles(name.data(), lock));
  }
  SetReportError(ErrorPageImageWrite, "cannot make a folder for page images in " + base.string());
  return nullptr;
}

PageFiles::PageFiles(std::string folder, int lock)
    : folder_(std::move(folder)),
      lock_(lock),
      slot_(KeepTemporary(folder_, true)),
      spool_((fs::path(folder_) / "pages.ldsp").string()) {}

PageFiles::~PageFiles() {
  Clear();
  std::error_code ec;
  fs::remove(folder_, ec);  // fails harmlessly while something else is still there
  ForgetTemporary(slot_);
  if (lock_ >= 0) ::close(lock_);
}

bool PageFiles::Append(const PageImage& page, int64_t* offset) {
  if (damaged_) {
    SetReportError(ErrorPageImageWrite, spool_);
    return false;
  }
  if (!file_) {
    file_ = std::fopen(spool_.c_str(), "wb");
    size_ = 0;
    if (!file_) {
      SetReportError(ErrorPageImageWrite, spool_);
      return false;
    }
  }
  std::string bytes = PageImageWriter::Encode(page);
  // Flushed page by page: the preview reads the spool through a file of its
  // own, and a full disk is reported at the page it hit.
  bool ok = std::fwrite(bytes.data(), 1, bytes.size(), file_) == bytes.size();
  ok = std::fflush(file_) == 0 && ok;
  if (!ok) {
    int code = errno;
    // Cut the partial page off so that the pages before it stay readable.
    std::clearerr(file_);
    damaged_ = ftruncate(fileno(file_), size_) != 0 || std::fseek(file_, size_, SEEK_SET) != 0;
    SetReportError(ErrorPageImageWrite, spool_ + ": " + std::strerror(code != 0 ? code : EIO));
    return false;
  }
  *offset = size_;
  size_ += static_cast<int64_t>(bytes.size());
  return true;
}

bool PageFiles::SetDocumentPages(int64_t offset, int32_t pages) {
  // Little-endian, as the page image stores it; written beside the stream,
  // whose buffer each Append leaves empty.
  auto value = static_cast<uint32_t>(pages);
  unsigned char bytes[4] = {
      static_cast<unsigned char>(value), static_cast<unsigned char>(value >> 8),
      static_cast<unsigned char>(value >> 16), static_cast<unsigned char>(value >> 24)};
  bool ok = file_ && offset >= 0 && offset < size_ &&
            pwrite(fileno(file_), bytes, sizeof bytes,
                   static_cast<off_t>(offset + kPageImageDocumentPagesOffset)) == sizeof bytes;
  if (!ok) SetReportError(ErrorPageImageWrite, spool_);
  return ok;
}

void PageFiles::Clear() {
  if (file_) std::fclose(file_);
  file_ = nullptr;
  size_ = 0;
  damaged_ = false;
  std::error_code ec;
  fs::remove(spool_, ec);
}

}  // namespace ledora::runtime
