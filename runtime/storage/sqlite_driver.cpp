#include "runtime/storage/sqlite_driver.h"

#include <algorithm>

#include "runtime/storage/sqlite_connection.h"
#include "runtime/storage/sqlite_data_file.h"
#include "runtime/storage/table_sql.h"
#include "runtime/system/runtime_error.h"

namespace ledora::runtime {

SqliteDriver::SqliteDriver() : connection_(std::make_unique<SqliteConnection>()) {}

SqliteDriver::~SqliteDriver() = default;

std::unique_ptr<DataFile> SqliteDriver::Declare(FileDeclaration declaration) {
  return std::make_unique<SqliteDataFile>(*this, std::move(declaration));
}

int32_t SqliteDriver::Mark(DataFile& file) {
  auto* own = dynamic_cast<SqliteDataFile*>(&file);
  if (own == nullptr || &own->driver() != this) return Failure(ErrorUnsupportedFunction);
  if (!own->IsOpen()) return Failure(ErrorFileNotOpen);
  if (std::find(marked_.begin(), marked_.end(), own) == marked_.end()) marked_.push_back(own);
  ClearError();
  return ErrorNone;
}

int32_t SqliteDriver::Logout(int timeoutSeconds) {
  if (inTransaction_) return Failure(ErrorLogoutAlreadyActive);
  std::vector<SqliteDataFile*> files;
  files.swap(marked_);
  if (connection_->db() == nullptr) return Failure(ErrorFileNotOpen);
  // Waiting for the lock is no fair queue: under many writers a short
  // time-out refuses a change that the files' own lock wait would let in.
  int wait = timeoutSeconds;
  for (const SqliteDataFile* file : files) wait = std::max(wait, file->recoverSeconds());
  connection_->SetBusyWait(wait);
  int rc = connection_->Execute("BEGIN");
  // A write statement that changes nothing still takes the file's write
  // lock, so the marked files are ours before the first real change.
  for (size_t i = 0; rc == SQLITE_OK && i < files.size(); ++i) {
    if (!files[i]->IsOpen()) continue;
    rc = connection_->Execute("UPDATE " + QuoteName(files[i]->schema()) +
                              ".ledora_tables SET id = id WHERE 0");
  }
  if (rc != SQLITE_OK) {
    int32_t code = SqliteFailure(connection_->db(), rc, ErrorUnableToLogTransaction);
    if (code != ErrorUnableToLogTransaction) code = ErrorUnableToLogTransaction;
    SetFileError(code, CurrentError().fileErrorCode, CurrentError().fileErrorText);
    connection_->Execute("ROLLBACK");
    return code;
  }
  inTransaction_ = true;
  ClearError();
  return ErrorNone;
}

int32_t SqliteDriver::Commit() {
  if (!inTransaction_) return Failure(ErrorLogoutNotActive);
  // SQLite may already have rolled the transaction back after a failed
  // write (disk full, I/O error); that must not read as a commit.
  if (!connection_->inTransaction()) {
    inTransaction_ = false;
    connection_->DetachUnused();
    return Failure(ErrorUnableToLogTransaction);
  }
  int rc = connection_->Execute("COMMIT");
  if (rc != SQLITE_OK) {
    int32_t code = SqliteFailure(connection_->db(), rc);
    connection_->Execute("ROLLBACK");
    inTransaction_ = false;
    connection_->DetachUnused();
    return code;
  }
  inTransaction_ = false;
  connection_->DetachUnused();
  ClearError();
  return ErrorNone;
}

int32_t SqliteDriver::Rollback() {
  if (!inTransaction_) return Failure(ErrorLogoutNotActive);
  inTransaction_ = false;
  if (connection_->inTransaction()) {
    int rc = connection_->Execute("ROLLBACK");
    if (rc != SQLITE_OK) {
      SqliteFailure(connection_->db(), rc);
      return Failure(ErrorUnableToRollback);
    }
  }
  connection_->DetachUnused();
  ClearError();
  return ErrorNone;
}

bool SqliteDriver::InTransaction() const { return inTransaction_; }

void SqliteDriver::EndReads() { connection_->EndReads(); }

}  // namespace ledora::runtime
