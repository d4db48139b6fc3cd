#include "runtime/report/page_files.h"

#include <fcntl.h>
#include <unistd.h>

#include <cstdio>
#include <filesystem>
#include <vector>

#include "runtime/report/report_error.h"
#include "runtime/system/temporaries.h"

namespace ledora::runtime {

namespace fs = std::filesystem;

PageFiles::PageFiles(std::string folder, int lock)
    : folder_(std::move(folder)), lock_(lock), slot_(KeepTemporary(folder_, true)) {}

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

PageFiles::~PageFiles() {
  std::error_code ec;
  fs::remove(folder_, ec);  // fails harmlessly while a page is still there
  ForgetTemporary(slot_);
  if (lock_ >= 0) ::close(lock_);
}

std::string PageFiles::NextName() {
  char name[32];
  std::snprintf(name, sizeof name, "page%05d.ldpg", static_cast<int>(next_++));
  return (fs::path(folder_) / name).string();
}

void PageFiles::Remove(const std::string& fileName) {
  std::error_code ec;
  fs::remove(fileName, ec);
}

}  // namespace ledora::runtime
