// The new-reports file a new version delivers (RPTNEW1.KDS), as the
// designer's update reads it into a data folder's design files: a damaged
// or foreign file is refused or restored from the backup, never a crash.
// Each input is the whole file.
#include <unistd.h>

#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>

#include "layout/design_database.h"
#include "layout/design_transfer.h"
#include "layout/shipped_reports.h"
#include "runtime/storage/sqlite_driver.h"
#include "runtime/system/halt.h"
#include "runtime/system/message_service.h"

namespace {

namespace fs = std::filesystem;

// The update's questions and warnings, answered as a headless job would.
class Unattended : public ledora::runtime::MessageService {
 public:
  uint32_t Show(const ledora::runtime::MessageRequest& request) override {
    return ledora::runtime::UnattendedAnswer(request);
  }
};

std::string Slurp(const fs::path& path) {
  std::ifstream in(path, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

// A data folder of design files without report types, made once; each run
// starts from a copy of its bytes.
struct Folder {
  Folder() {
    // In memory where there is room: the update syncs its files many times.
    std::error_code ec;
    fs::path base =
        fs::is_directory("/dev/shm", ec) ? fs::path("/dev/shm") : fs::temp_directory_path();
    path = base / ("ledora-fuzz-new-reports-" + std::to_string(getpid()));
    fs::create_directories(path);
    fs::current_path(path);
    ledora::runtime::SetMessageService(&unattended);
    ledora::runtime::SetHaltHandler([](int, std::string_view) {});
    ledora::runtime::SqliteDriver driver;
    ledora::layout::DesignDatabase designs(driver);
    ledora::layout::ShippedReports empty;
    empty.Parse("", nullptr);
    empty.MakeDesignFiles(designs);
    definitions = Slurp("RptDes1.KDS");
    layouts = Slurp("NewRpt.KDS");
  }
  ~Folder() {
    std::error_code ignored;
    fs::current_path(path.parent_path(), ignored);
    fs::remove_all(path, ignored);
  }
  fs::path path;
  Unattended unattended;
  std::string definitions, layouts;
};

void Write(const fs::path& path, const void* data, size_t size) {
  std::ofstream(path, std::ios::binary | std::ios::trunc)
      .write(static_cast<const char*>(data), static_cast<std::streamsize>(size));
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  static Folder folder;
  for (const fs::directory_entry& entry : fs::directory_iterator(folder.path)) {
    fs::remove_all(entry.path());
  }
  Write(folder.path / "RptDes1.KDS", folder.definitions.data(), folder.definitions.size());
  Write(folder.path / "NewRpt.KDS", folder.layouts.data(), folder.layouts.size());
  Write(folder.path / "RPTNEW1.KDS", data, size);
  ledora::runtime::SqliteDriver driver;
  ledora::layout::DesignDatabase designs(driver);
  ledora::layout::DesignTransfer transfer(designs);
  transfer.UpdateFromNewReports();
  return 0;
}
