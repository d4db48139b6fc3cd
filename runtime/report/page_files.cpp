#include "runtime/report/page_files.h"

#include <unistd.h>

#include <cstdio>
#include <filesystem>
#include <random>

#include "runtime/report/report_error.h"

namespace ledora::runtime {

namespace fs = std::filesystem;

std::unique_ptr<PageFiles> PageFiles::Create(const std::string& parent) {
  std::error_code ec;
  fs::path base = parent.empty() ? fs::temp_directory_path(ec) : fs::path(parent);
  fs::create_directories(base, ec);
  std::random_device random;
  for (int attempt = 0; attempt < 100; ++attempt) {
    std::string name = "ledora-pages-" + std::to_string(getpid()) + "-" + std::to_string(random());
    fs::path folder = base / name;
    if (fs::create_directory(folder, ec)) {
      // Pages hold customer data: other users of the machine have no business there.
      fs::permissions(folder, fs::perms::owner_all, fs::perm_options::replace, ec);
      return std::unique_ptr<PageFiles>(new PageFiles(folder.string()));
    }
  }
  SetReportError(ErrorPageImageWrite, "cannot make a folder for page images in " + base.string());
  return nullptr;
}

PageFiles::~PageFiles() {
  std::error_code ec;
  fs::remove(folder_, ec);  // fails harmlessly while a page is still there
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
