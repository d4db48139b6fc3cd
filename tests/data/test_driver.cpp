#include "tests/data/test_driver.h"

#include <gtest/gtest.h>

#include "runtime/storage/pg_driver.h"
#include "runtime/storage/sqlite_driver.h"
#include "runtime/system/runtime_error.h"
#include "tests/support/pg_server.h"

namespace ledora::testing {

std::unique_ptr<runtime::StorageDriver> MakeTestDriver(const std::string& folder) {
  if (!TestsOnPostgres()) return std::make_unique<runtime::SqliteDriver>();
  auto driver = std::make_unique<runtime::PgDriver>();
  PgServer& server = SharedPgServer();
  EXPECT_TRUE(server.running()) << "the PostgreSQL server did not start: " << server.error();
  if (server.running()) {
    EXPECT_EQ(driver->Connect(server.Url(), SchemaOfFolder(folder)), 0)
        << runtime::CurrentError().fileErrorText;
  }
  return driver;
}

}  // namespace ledora::testing
