#include "runtime/storage/pg_driver.h"

#include <algorithm>

#include "runtime/storage/data_file_helpers.h"
#include "runtime/storage/pg_connection.h"
#include "runtime/storage/pg_data_file.h"
#include "runtime/system/runtime_error.h"

namespace ledora::runtime {

// A connection made again after a server restart takes this station's
// holds and reservations again.
PgDriver::PgDriver() : connection_(std::make_unique<PgConnection>()) {
  connection_->OnReconnect([this] {
    for (const auto& [key, file] : holders_) {
      connection_->TryLock(static_cast<int32_t>(key.first), static_cast<int32_t>(key.second), true);
    }
  });
}

PgDriver::~PgDriver() = default;

int32_t PgDriver::Connect(const std::string& url, const std::string& schema, PgSchemaUse use) {
  return connection_->Connect(url, schema, use);
}

std::unique_ptr<DataFile> PgDriver::Declare(FileDeclaration declaration) {
  return std::make_unique<PgDataFile>(*this, std::move(declaration));
}

int32_t PgDriver::Mark(DataFile& file) {
  auto* own = dynamic_cast<PgDataFile*>(&file);
  if (own == nullptr || &own->driver() != this) return Failure(ErrorUnsupportedFunction);
  if (!own->IsOpen()) return Failure(ErrorFileNotOpen);
  if (std::find(marked_.begin(), marked_.end(), own) == marked_.end()) marked_.push_back(own);
  ClearError();
  return ErrorNone;
}

// The marked files need no locks beforehand: the server locks each row as
// it is written and waits "timeoutSeconds" for another station's.
int32_t PgDriver::Logout(int timeoutSeconds) {
  if (inTransaction_) return Failure(ErrorLogoutAlreadyActive);
  marked_.clear();
  if (!connection_->begun()) return Failure(ErrorFileNotOpen);
  connection_->SetLockWait(timeoutSeconds);
  if (connection_->Execute("BEGIN") != ErrorNone) {
    ErrorState noted = CurrentError();
    SetFileError(ErrorUnableToLogTransaction, noted.fileErrorCode, noted.fileErrorText);
    return ErrorUnableToLogTransaction;
  }
  inTransaction_ = true;
  ClearError();
  return ErrorNone;
}

int32_t PgDriver::Commit() {
  if (!inTransaction_) return Failure(ErrorLogoutNotActive);
  inTransaction_ = false;
  // A transaction the server has given up (a lost connection) must not
  // read as a commit: COMMIT then answers ROLLBACK, or fails.
  PgResult result = connection_->Run("COMMIT");
  if (result == nullptr) return CurrentError().code;
  if (std::string(PQcmdStatus(result.get())) != "COMMIT") {
    return Failure(ErrorUnableToLogTransaction);
  }
  ClearError();
  return ErrorNone;
}

int32_t PgDriver::Rollback() {
  if (!inTransaction_) return Failure(ErrorLogoutNotActive);
  inTransaction_ = false;
  if (connection_->Execute("ROLLBACK") != ErrorNone) return Failure(ErrorUnableToRollback);
  ClearError();
  return ErrorNone;
}

const PgDataFile* PgDriver::HolderOf(int64_t table, int64_t pos) const {
  auto found = holders_.find({table, pos});
  return found == holders_.end() ? nullptr : found->second;
}

void PgDriver::SetHolder(int64_t table, int64_t pos, const PgDataFile* file) {
  if (file == nullptr) {
    holders_.erase({table, pos});
  } else {
    holders_[{table, pos}] = file;
  }
}

void PgDriver::Forget(const PgDataFile* file) {
  std::erase(marked_, file);
  std::erase_if(holders_, [file](const auto& entry) { return entry.second == file; });
}

}  // namespace ledora::runtime
