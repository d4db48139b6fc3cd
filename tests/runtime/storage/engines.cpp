#include "tests/runtime/storage/engines.h"

#include <unistd.h>

#include "runtime/storage/pg_driver.h"
#include "runtime/storage/sqlite_driver.h"
#include "runtime/system/runtime_error.h"
#include "tests/support/pg_server.h"

namespace ledora::testing {

std::string EngineName(const ::testing::TestParamInfo<Engine>& info) {
  return info.param == EngineSqlite ? "Sqlite" : "Postgres";
}

std::unique_ptr<runtime::StorageDriver> MakeDriver(Engine engine, const std::string& schema) {
  if (engine == EngineSqlite) return std::make_unique<runtime::SqliteDriver>();
  auto driver = std::make_unique<runtime::PgDriver>();
  EXPECT_TRUE(SharedPgServer().running())
      << "the PostgreSQL server did not start: " << SharedPgServer().error();
  if (SharedPgServer().running()) {
    EXPECT_EQ(driver->Connect(SharedPgServer().Url(), schema.empty() ? FreshSchema() : schema), 0)
        << runtime::CurrentError().fileErrorText;
  }
  return driver;
}

}  // namespace ledora::testing
