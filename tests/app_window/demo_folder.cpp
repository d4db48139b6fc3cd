#include "tests/app_window/demo_folder.h"

#include <gtest/gtest.h>

#include <filesystem>

#include "app/invoicing_dictionary.h"
#include "data/error_reporter.h"
#include "runtime/storage/sqlite_driver.h"

namespace ledora::testing {

void FillDemoFolder(const std::string& folder, const app::DemoSize& size) {
  auto previous = std::filesystem::current_path();
  std::filesystem::current_path(folder);
  data::ErrorReporter errors;
  errors.Initialize();
  {
    runtime::SqliteDriver driver;
    EXPECT_TRUE(app::DictionarySetup(driver, errors));
    EXPECT_EQ(app::FillDemoData(80000, 1, size), app::DemoFilled);
    app::DictionaryShutdown();
  }
  errors.Shutdown();
  std::filesystem::current_path(previous);
}

}  // namespace ledora::testing
