#include "tests/runtime/storage/engines.h"

#include <unistd.h>

#include "runtime/storage/pg_driver.h"
#include "runtime/storage/sqlite_driver.h"
#include "runtime/system/runtime_error.h"
#include "tests/support/pg_server.h"

namespace ledora::testing {

namespace {

// Started on first use, stopped when the test program ends.
PgServer& Server() {
  static PgServer server;
  return server;
}

}  // namespace

std::string EngineName(const ::testing::TestParamInfo<Engine>& info) {
  return info.param == EngineSqlite ? "Sqlite" : "Postgres";
}

std::string FreshSchema() {
  static int count = 0;
  return "test_" + std::to_string(getpid()) + "_" + std::to_string(++count);
}

std::string PgUrl() { return Server().running() ? Server().Url() : std::string(); }

std::unique_ptr<runtime::StorageDriver> MakeDriver(Engine engine, const std::string& schema) {
  if (engine == EngineSqlite) return std::make_unique<runtime::SqliteDriver>();
  auto driver = std::make_unique<runtime::PgDriver>();
  EXPECT_TRUE(Server().running()) << "the PostgreSQL server did not start: " << Server().error();
  if (Server().running()) {
    EXPECT_EQ(driver->Connect(Server().Url(), schema.empty() ? FreshSchema() : schema), 0)
        << runtime::CurrentError().fileErrorText;
  }
  return driver;
}

}  // namespace ledora::testing
