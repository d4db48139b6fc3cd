// Shared by the design PDF tests: design files made from the shipped
// reports in a temporary folder, a stored design printed to PDF through the
// report engine, and the output of the poppler tools that read it back.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <string>

#include "layout/design_database.h"
#include "layout/design_state.h"
#include "runtime/storage/sqlite_driver.h"
#include "tests/support/command_output.h"
#include "tests/support/temp_folder.h"

namespace ledora::runtime {
struct ReportControl;
}  // namespace ledora::runtime

namespace ledora::layout {

using testing::CommandOutput;

using FieldBinder = std::function<bool(const std::string& field, runtime::ReportControl& control)>;

// Binds every data field to *value.
FieldBinder BindEvery(std::string* value);

class ShippedDesignFiles {
 public:
  // Makes the files and installs them as the process's design database.
  ShippedDesignFiles();
  ~ShippedDesignFiles();
  bool ok() const { return ok_; }

  // The design of that type and name loaded into a fresh state (nullptr
  // on failure), and saved back over it.
  std::unique_ptr<DesignState> Load(int32_t type, const char* design);
  bool Save(DesignState& state);

  // Prints design (of R_D, fetched by type and name) to pdf in the folder,
  // each detail band (positions 4 and on) times times; bind gives each data
  // field its variable. False on any failure.
  bool Print(int32_t type, const char* design, int detailBands, const FieldBinder& bind,
             const std::string& pdf, int times = 1);

  testing::TempFolder folder;
  runtime::SqliteDriver driver;
  DesignDatabase designs{driver};

 private:
  bool ok_ = false;
};

}  // namespace ledora::layout
