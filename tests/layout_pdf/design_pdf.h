// Shared by the design PDF tests: design files made from the shipped
// reports in a temporary folder, a stored design printed to PDF through the
// report engine, and the output of the poppler tools that read it back.
#pragma once

#include <cstdint>
#include <functional>
#include <string>

#include "layout/design_database.h"
#include "runtime/report/report.h"
#include "runtime/storage/sqlite_driver.h"
#include "tests/support/temp_folder.h"

namespace ledora::layout {

// What a command printed on its standard output.
std::string CommandOutput(const std::string& command);

class ShippedDesignFiles {
 public:
  // Makes the files and installs them as the process's design database.
  ShippedDesignFiles();
  ~ShippedDesignFiles();
  bool ok() const { return ok_; }

  // Prints design (of R_D, fetched by type and name) once per detail band
  // (positions 4 and on) to pdf in the folder; bind gives each data field
  // its variable. False on any failure.
  bool Print(int32_t type, const char* design, int detailBands,
             const std::function<bool(const std::string& field, runtime::ReportControl&)>& bind,
             const std::string& pdf);

  testing::TempFolder folder;
  runtime::SqliteDriver driver;
  DesignDatabase designs{driver};

 private:
  bool ok_ = false;
};

}  // namespace ledora::layout
