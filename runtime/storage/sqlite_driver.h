// The storage driver over SQLite, one per process (each station is a
// process). Each KDS file is an SQLite database attached to one connection,
// so a transaction spans files and commits atomically across them (rollback
// journal, never WAL). The application makes one at start-up and declares
// every data file through it.
//
// Mapping: a table per declared file ("file\!table"; a single-table file's
// table is named after the file), a typed column per field, an index per key
// (COLLATE NOCASE for case-insensitive string components, partial for
// optional keys), position = row id. Strings are stored with trailing blanks
// removed; values that would not come back byte for byte as typed columns
// (a DECIMAL with stray nibbles, a REAL NaN or -0) are stored as their raw
// bytes. At most 10 KDS files are open at once (4 "Too Many Open Files").
#pragma once

#include <cstdint>
#include <memory>
#include <vector>

#include "runtime/storage/storage_driver.h"

namespace ledora::runtime {

class SqliteConnection;
class SqliteDataFile;

class SqliteDriver final : public StorageDriver {
 public:
  SqliteDriver();
  ~SqliteDriver() override;
  SqliteDriver(const SqliteDriver&) = delete;
  SqliteDriver& operator=(const SqliteDriver&) = delete;

  std::unique_ptr<DataFile> Declare(FileDeclaration declaration) override;
  int32_t Mark(DataFile& file) override;
  int32_t Logout(int timeoutSeconds) override;
  int32_t Commit() override;
  int32_t Rollback() override;
  bool InTransaction() const override;
  void EndReads() override;

  SqliteConnection& connection() { return *connection_; }

 private:
  int32_t EndTransaction(const char* sql, int32_t failureCode);

  std::unique_ptr<SqliteConnection> connection_;
  std::vector<SqliteDataFile*> marked_;
  bool inTransaction_ = false;
};

}  // namespace ledora::runtime
