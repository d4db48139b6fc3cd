// The storage tests that hold for every driver run once per engine: SQLite
// in a temporary folder, and PostgreSQL in a fresh schema of one server
// that these tests start for themselves (and fail without).
#pragma once

#include <gtest/gtest.h>

#include <memory>
#include <string>

#include "runtime/storage/storage_driver.h"
#include "tests/support/pg_server.h"

namespace ledora::testing {

enum Engine { EngineSqlite, EnginePostgres };

std::string EngineName(const ::testing::TestParamInfo<Engine>& info);

// A connected driver; for PostgreSQL a fresh schema, which a second driver
// (another station) joins with the same schema. Fails the test when the
// server is not running.
std::unique_ptr<runtime::StorageDriver> MakeDriver(Engine engine, const std::string& schema = "");

}  // namespace ledora::testing
