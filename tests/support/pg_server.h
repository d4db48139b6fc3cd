// A PostgreSQL server of the tests' own: made with initdb (or copied from a
// template that LEDORA_PG_TEMPLATE's folder keeps for a test run) in a
// temporary folder, in memory where there is room, listening only on a Unix
// socket there, stopped and removed with the object. As root it runs as the
// "postgres" system user that the Debian package makes, since initdb refuses
// root.
#pragma once

#include <string>

#include "tests/support/temp_folder.h"

namespace ledora::testing {

class PgServer {
 public:
  PgServer();  // starts it; error() says why it did not
  ~PgServer();
  PgServer(const PgServer&) = delete;
  PgServer& operator=(const PgServer&) = delete;

  bool running() const { return running_; }
  const std::string& error() const { return error_; }
  // The libpq URL of its database "postgres".
  std::string Url() const;
  // Stops it at once, as a crash would (for tests of a lost server).
  void Stop();
  // `pg_ctl restart -m fast`, as an administrator does: every connection is
  // ended. What went wrong, or empty.
  std::string Restart();

 private:
  std::string MakeData(const std::string& data);
  std::string Run(const std::string& command, std::string* printed = nullptr);

  TempFolder folder_;
  std::string prefix_;  // runs a command as the server's user
  bool running_ = false;
  std::string error_;
};

// The one server of a test program, started on first use and stopped when
// the program ends.
PgServer& SharedPgServer();

// A schema name that no other test of any test program uses.
std::string FreshSchema();

// The data-layer tests run on the engine LEDORA_TEST_ENGINE names: SQLite
// files in the folder (unset), or "postgres": a schema of the shared server
// named after the folder, so that two stations on one folder share it.
bool TestsOnPostgres();
std::string SchemaOfFolder(const std::string& folder);

}  // namespace ledora::testing
