#include "runtime/storage/sqlite_connection.h"

#include <filesystem>

#include "runtime/storage/connection_file.h"
#include "runtime/storage/sqlite_cursor.h"
#include "runtime/storage/table_sql.h"
#include "runtime/system/runtime_error.h"

namespace ledora::runtime {

namespace {

std::string UriPath(const std::string& path) {
  static const char kHex[] = "0123456789ABCDEF";
  std::string uri = "file:";
  for (unsigned char c : path) {
    if (c == '%' || c == '?' || c == '#' || c < 0x20 || c >= 0x80) {
      uri += '%';
      uri += kHex[c >> 4];
      uri += kHex[c & 15];
    } else {
      uri += static_cast<char>(c);
    }
  }
  return uri;
}

// The connections of this process, for BeforeWrite. One OS thread uses
// them all.
std::vector<SqliteConnection*>& Connections() {
  static std::vector<SqliteConnection*> connections;
  return connections;
}

}  // namespace

int32_t SqliteFailure(sqlite3* db, int rc, int32_t lockedCode) {
  int32_t code = ErrorFileSystem;
  switch (rc & 0xff) {
    case SQLITE_CONSTRAINT:
      if (rc == SQLITE_CONSTRAINT_UNIQUE || rc == SQLITE_CONSTRAINT_PRIMARYKEY) {
        code = ErrorDuplicateKey;
      }
      break;
    case SQLITE_BUSY:
    case SQLITE_LOCKED:
      code = lockedCode;
      break;
    case SQLITE_NOTADB:
      code = ErrorInvalidDataFile;
      break;
    case SQLITE_CORRUPT:
      code = rc == SQLITE_CORRUPT_INDEX ? ErrorKeyMustBeRebuilt : ErrorInvalidDataFile;
      break;
    case SQLITE_READONLY:
    case SQLITE_PERM:
    case SQLITE_AUTH:
    case SQLITE_CANTOPEN:
      code = ErrorAccessDenied;
      break;
    case SQLITE_NOMEM:
      code = ErrorInsufficientMemory;
      break;
  }
  const char* text = db != nullptr ? sqlite3_errmsg(db) : sqlite3_errstr(rc);
  SetFileError(code, std::to_string(rc), text != nullptr ? text : "");
  return code;
}

SqliteConnection::SqliteConnection() { Connections().push_back(this); }

SqliteConnection::~SqliteConnection() {
  std::erase(Connections(), this);
  if (db_ == nullptr) return;
  sqlite3_close_v2(db_);
}

// The main database goes into the folder of the first file, so that the
// super-journals of commits over several files stay with the data. Only a
// folder that takes no new file (read-only data) sends it to the temporary
// folder, where commits over several of its files could not happen anyway.
int32_t SqliteConnection::Start(const std::string& firstFile) {
  if (db_ != nullptr) return ErrorNone;
  std::filesystem::path folder = std::filesystem::path(firstFile).parent_path();
  mainFile_ = ConnectionFile::Make(folder.empty() ? "." : folder.string());
  if (!mainFile_) {
    std::error_code error;
    folder = std::filesystem::temp_directory_path(error);
    mainFile_ = ConnectionFile::Make(error ? "/tmp" : folder.string());
  }
  if (!mainFile_) return Failure(ErrorAccessDenied);
  // One OS thread uses every connection, so SQLite need not take the
  // connection's mutex in each of the many column calls of every row read.
  int rc = sqlite3_open_v2(
      mainFile_->path().c_str(), &db_,
      SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE | SQLITE_OPEN_URI | SQLITE_OPEN_NOMUTEX, nullptr);
  if (rc != SQLITE_OK) {
    int32_t code = SqliteFailure(db_, rc);
    sqlite3_close_v2(db_);
    db_ = nullptr;
    return code;
  }
  sqlite3_extended_result_codes(db_, 1);
  SetBusyWait(busyMilliseconds_ / 1000);
  return ErrorNone;
}

void SqliteConnection::SetBusyWait(int seconds) {
  busyMilliseconds_ = seconds < 0 ? 0 : seconds * 1000;
  if (db_ == nullptr || busyMilliseconds_ == appliedMilliseconds_) return;
  sqlite3_busy_timeout(db_, busyMilliseconds_);
  appliedMilliseconds_ = busyMilliseconds_;
}

int SqliteConnection::Execute(const std::string& sql) {
  BeforeWrite();
  return sqlite3_exec(db_, sql.c_str(), nullptr, nullptr, nullptr);
}

void SqliteConnection::CursorBegun(SqliteCursor* cursor) { cursors_.push_back(cursor); }

void SqliteConnection::CursorFinished(SqliteCursor* cursor) { std::erase(cursors_, cursor); }

void SqliteConnection::EndReads() {
  std::vector<SqliteCursor*> open;
  open.swap(cursors_);
  for (SqliteCursor* cursor : open) cursor->Finish();
}

void SqliteConnection::BeforeWrite() {
  for (SqliteConnection* connection : Connections()) connection->EndReads();
}

// Not SAVEPOINT for the outer transaction: SQLite (3.40) rolling back to a
// savepoint that began the transaction on a file this connection last saw
// empty truncates the file to what it saw, wiping whatever another station
// wrote into it meanwhile. A rollback of a BEGIN restores the file as it was.
int SqliteConnection::Begin(const std::string& savepoint, bool* nested) {
  *nested = inTransaction();
  return Execute(*nested ? "SAVEPOINT " + savepoint : "BEGIN");
}

int32_t SqliteConnection::End(const std::string& savepoint, bool nested, bool keep) {
  int32_t code = ErrorNone;
  if (keep) {
    int rc = Execute(nested ? "RELEASE " + savepoint : "COMMIT");
    if (rc == SQLITE_OK) return ErrorNone;
    code = SqliteFailure(db_, rc);
  }
  if (nested) {
    Execute("ROLLBACK TO " + savepoint);
    Execute("RELEASE " + savepoint);
  } else if (inTransaction()) {
    Execute("ROLLBACK");
  }
  return code;
}

int SqliteConnection::AttachedCount() const {
  int count = 0;
  for (const auto& [path, attachment] : attachments_) count += attachment->attached ? 1 : 0;
  return count;
}

int32_t SqliteConnection::Attach(const std::string& path, bool writable, bool create,
                                 Attachment** out) {
  if (int32_t code = Start(path); code != ErrorNone) return code;
  std::unique_ptr<Attachment>& slot = attachments_[path];
  if (!slot) {
    slot = std::make_unique<Attachment>();
    slot->path = path;
    slot->schema = "k" + std::to_string(nextSchema_++);
  }
  Attachment& attachment = *slot;
  bool upgrade = attachment.attached && writable && !attachment.writable;
  if (!attachment.attached || upgrade) {
    if (upgrade && inTransaction()) return Failure(ErrorAccessDenied);
    if (upgrade) Detach(attachment);
    if (int32_t code = AttachAs(attachment, writable, create); code != ErrorNone) return code;
  }
  ++attachment.users;
  *out = &attachment;
  return ErrorNone;
}

int32_t SqliteConnection::AttachAs(Attachment& attachment, bool writable, bool create) {
  if (AttachedCount() >= sqlite3_limit(db_, SQLITE_LIMIT_ATTACHED, -1)) {
    return Failure(ErrorTooManyOpenFiles);
  }
  std::string uri =
      UriPath(attachment.path) + (writable ? (create ? "?mode=rwc" : "?mode=rw") : "?mode=ro");
  sqlite3_stmt* statement = nullptr;
  int rc = sqlite3_prepare_v2(db_, "ATTACH DATABASE ?1 AS ?2", -1, &statement, nullptr);
  if (rc == SQLITE_OK) {
    sqlite3_bind_text(statement, 1, uri.c_str(), -1, SQLITE_TRANSIENT);
    sqlite3_bind_text(statement, 2, attachment.schema.c_str(), -1, SQLITE_TRANSIENT);
    rc = sqlite3_step(statement);
    if (rc == SQLITE_DONE) rc = SQLITE_OK;
  }
  int32_t code = rc == SQLITE_OK ? ErrorNone : SqliteFailure(db_, rc, ErrorAccessDenied);
  sqlite3_finalize(statement);
  if (code != ErrorNone) return code;
  attachment.attached = true;
  attachment.writable = writable;
  // Reading the schema is what finds a file that is not a database.
  rc = Execute("SELECT count(*) FROM " + QuoteName(attachment.schema) + ".sqlite_master");
  if (rc != SQLITE_OK) {
    code = SqliteFailure(db_, rc, ErrorAccessDenied);
    Detach(attachment);
    return code;
  }
  // Atomic commits across files need a rollback journal.
  if (writable) Execute("PRAGMA " + QuoteName(attachment.schema) + ".journal_mode=DELETE");
  attachment.locks = LockFile::Open(attachment.path);
  return ErrorNone;
}

void SqliteConnection::Detach(Attachment& attachment) {
  if (!attachment.attached) return;
  Execute("DETACH DATABASE " + QuoteName(attachment.schema));
  attachment.attached = false;
  attachment.locks.reset();
}

void SqliteConnection::Release(Attachment* attachment) {
  if (attachment == nullptr || attachment->users <= 0) return;
  --attachment->users;
  if (attachment->users == 0 && !inTransaction()) Detach(*attachment);
}

void SqliteConnection::DetachUnused() {
  if (inTransaction()) return;
  for (auto& [path, attachment] : attachments_) {
    if (attachment->users == 0) Detach(*attachment);
  }
}

}  // namespace ledora::runtime
