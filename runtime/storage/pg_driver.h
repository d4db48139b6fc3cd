// The storage driver over PostgreSQL, one per process (each station is a
// process with its own connection): for businesses whose stations outgrow
// one shared data folder. The data set is a schema of one database; every
// declared file is a table of it, listed in the schema's catalogue.
//
// Mapping: as the SQLite driver's (a typed column per field, an index per
// key, position = a never reused serial), with strings and packed decimals
// as their bytes so that Windows-1252 text and binary content records come
// back exactly; a case-insensitive key reads a folded copy of its string
// fields. Holds and sharing are session advisory locks, which every station
// sees and which go with a station's connection; "changed by another
// station" (89) is the row version; a transaction over several files is one
// database transaction. "Recover=" is the server's lock wait, "QUICKSCAN=on"
// reads on in batches.
#pragma once

#include <cstdint>
#include <map>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "runtime/storage/storage_driver.h"

namespace ledora::runtime {

class PgConnection;

// Whether a connect makes a missing data set (a job that writes) or finds
// one that is there (a job that only reads: a mistyped name must not become
// a new, empty data set).
enum PgSchemaUse { PgMakeSchema, PgSchemaMustExist };
class PgDataFile;

class PgDriver final : public StorageDriver {
 public:
  PgDriver();
  ~PgDriver() override;
  PgDriver(const PgDriver&) = delete;
  PgDriver& operator=(const PgDriver&) = delete;

  // Connects to the server of a libpq URL ("postgresql:///ledora?host=...")
  // and makes the data set's schema when missing (or, for PgSchemaMustExist,
  // answers 2 when it is not there). 95 with the server's message (naming
  // the server) when it cannot be reached; 45 for a schema name the server
  // would cut or that is its own; until a connect succeeds every file
  // operation answers 95.
  int32_t Connect(const std::string& url, const std::string& schema = "ledora",
                  PgSchemaUse use = PgMakeSchema);

  std::unique_ptr<DataFile> Declare(FileDeclaration declaration) override;
  int32_t Mark(DataFile& file) override;
  int32_t Logout(int timeoutSeconds) override;
  int32_t Commit() override;
  int32_t Rollback() override;
  bool InTransaction() const override { return inTransaction_; }
  bool FilesOnDisk() const override { return false; }

  PgConnection& connection() { return *connection_; }
  // Which data file of this station holds a record (null: none); the
  // advisory lock cannot tell this station's files apart.
  const PgDataFile* HolderOf(int64_t table, int64_t pos) const;
  void SetHolder(int64_t table, int64_t pos, const PgDataFile* file);
  void Forget(const PgDataFile* file);

 private:
  std::unique_ptr<PgConnection> connection_;
  std::vector<PgDataFile*> marked_;
  bool inTransaction_ = false;
  std::map<std::pair<int64_t, int64_t>, const PgDataFile*> holders_;
};

}  // namespace ledora::runtime
