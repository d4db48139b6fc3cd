#include "runtime/storage/sqlite_data_file.h"

#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <charconv>
#include <chrono>
#include <cstring>
#include <filesystem>
#include <thread>

#include "runtime/storage/data_file_helpers.h"
#include "runtime/storage/lock_file.h"
#include "runtime/storage/sqlite_connection.h"
#include "runtime/storage/sqlite_driver.h"
#include "runtime/system/ascii_case.h"
#include "runtime/system/file_names.h"
#include "runtime/system/runtime_error.h"

namespace ledora::runtime {

namespace {

std::string Column(sqlite3_stmt* statement, int column) {
  const unsigned char* text = sqlite3_column_text(statement, column);
  return text == nullptr ? std::string() : reinterpret_cast<const char*>(text);
}

// A read-only attribute counts even for a user (root) whom the system would
// let write; the folder must take SQLite's journal.
bool Writable(const std::string& path) {
  struct stat info;
  if (stat(path.c_str(), &info) != 0) return false;
  if ((info.st_mode & 0222) == 0 || access(path.c_str(), W_OK) != 0) return false;
  std::string folder = std::filesystem::path(path).parent_path().string();
  return access(folder.empty() ? "." : folder.c_str(), W_OK) == 0;
}

std::string AbsolutePath(const std::string& path) {
  std::error_code error;
  // weakly_canonical leaves a relative name relative when nothing of it exists yet.
  std::filesystem::path canonical =
      std::filesystem::weakly_canonical(std::filesystem::absolute(path, error), error);
  if (error) canonical = std::filesystem::absolute(path, error).lexically_normal();
  return canonical.string();
}

// Resets a cached statement however the caller leaves.
struct Reset {
  sqlite3_stmt* statement;
  ~Reset() {
    if (statement == nullptr) return;
    sqlite3_reset(statement);
    sqlite3_clear_bindings(statement);
  }
};

}  // namespace

SqliteDataFile::SqliteDataFile(SqliteDriver& driver, FileDeclaration declaration)
    : KeyedDataFile(std::move(declaration)),
      driver_(driver),
      connection_(driver.connection()),
      codec_(*declaration_.layout),
      cursor_(connection_) {}

SqliteDataFile::~SqliteDataFile() { Close(); }

StorageDriver& SqliteDataFile::driver() { return driver_; }

const std::string& SqliteDataFile::schema() const {
  static const std::string kNone;
  return attachment_ != nullptr ? attachment_->schema : kNone;
}

// ---- opening ----

int32_t SqliteDataFile::AttachFile(bool write, bool create, StorageName* name) {
  if (int32_t code = CheckDeclaration(declaration_); code != ErrorNone) return Failure(code);
  std::optional<StorageName> parsed = StorageName::Parse(declaration_.name);
  if (!parsed) return Failure(ErrorInvalidFilename);
  *name = *parsed;
  std::string path = AbsolutePath(ResolveFileName(name->file));
  std::error_code error;
  bool exists = std::filesystem::exists(path, error);
  if (exists && !std::filesystem::is_regular_file(path, error)) {
    return Failure(ErrorInvalidFilename);
  }
  if (!exists && !create) return Failure(ErrorFileNotFound);
  std::string folder = std::filesystem::path(path).parent_path().string();
  if (!exists && !std::filesystem::is_directory(folder, error)) return Failure(ErrorPathNotFound);
  if (exists && write && !Writable(path)) return Failure(ErrorAccessDenied);
  connection_.SetBusyWait(recoverSeconds_);
  return connection_.Attach(path, write, create, &attachment_);
}

int32_t SqliteDataFile::FindTable(const StorageName& name) {
  std::string schema = QuoteName(attachment_->schema);
  int32_t code = ErrorNone;
  std::vector<std::string> tables;
  sqlite3_stmt* statement =
      Prepare("SELECT name FROM " + schema + ".sqlite_master WHERE type = 'table'", &code);
  if (statement == nullptr) return code;
  int rc;
  {
    Reset reset{statement};
    while ((rc = sqlite3_step(statement)) == SQLITE_ROW)
      tables.push_back(AsciiLower(Column(statement, 0)));
    if (rc != SQLITE_DONE) return SqliteFailure(connection_.db(), rc, ErrorAccessDenied);
  }
  auto has = [&](const std::string& table) {
    return std::find(tables.begin(), tables.end(), AsciiLower(table)) != tables.end();
  };
  // An empty database is a file still to be made; tables without our
  // catalogue belong to some other program.
  if (!has("ledora_tables"))
    return Failure(tables.empty() ? ErrorFileNotFound : ErrorInvalidDataFile);
  statement = Prepare("SELECT name, id FROM " + schema + ".ledora_tables", &code);
  if (statement == nullptr) return code;
  std::vector<std::pair<std::string, int64_t>> entries;
  {
    Reset reset{statement};
    while ((rc = sqlite3_step(statement)) == SQLITE_ROW) {
      entries.emplace_back(Column(statement, 0), sqlite3_column_int64(statement, 1));
    }
    if (rc != SQLITE_DONE) return SqliteFailure(connection_.db(), rc, ErrorAccessDenied);
  }
  auto found = std::find_if(entries.begin(), entries.end(), [&](const auto& e) {
    return AsciiLower(e.first) == AsciiLower(name.table);
  });
  // A single-table file keeps its table when the file is renamed.
  if (found == entries.end() && !name.multiTable && entries.size() == 1) found = entries.begin();
  if (found == entries.end() || !has(found->first)) return Failure(ErrorFileNotFound);
  table_ = found->first;
  tableId_ = found->second;
  sql_ = std::make_unique<TableSql>(declaration_, codec_, attachment_->schema, table_);
  return ErrorNone;
}

int32_t SqliteDataFile::CheckColumns() {
  int32_t code = ErrorNone;
  sqlite3_stmt* statement = Prepare(
      "PRAGMA " + QuoteName(attachment_->schema) + ".table_info(" + QuoteName(table_) + ")", &code);
  if (statement == nullptr) return code;
  std::vector<std::pair<std::string, std::string>> expected = {{"_pos", "INTEGER"}};
  for (size_t i = 0; i < declaration_.layout->fields().size(); ++i) {
    expected.emplace_back(codec_.ColumnName(static_cast<int>(i)),
                          codec_.ColumnType(static_cast<int>(i)));
  }
  expected.emplace_back("_version", "INTEGER");
  Reset reset{statement};
  size_t index = 0;
  int rc;
  while ((rc = sqlite3_step(statement)) == SQLITE_ROW) {
    if (index >= expected.size() ||
        AsciiLower(Column(statement, 1)) != AsciiLower(expected[index].first) ||
        AsciiLower(Column(statement, 2)) != AsciiLower(expected[index].second)) {
      return Failure(ErrorInvalidRecordDeclaration);
    }
    ++index;
  }
  if (rc != SQLITE_DONE) return SqliteFailure(connection_.db(), rc, ErrorAccessDenied);
  return index == expected.size() ? ErrorNone : Failure(ErrorInvalidRecordDeclaration);
}

int32_t SqliteDataFile::CheckKeys() {
  std::string schema = QuoteName(attachment_->schema);
  int32_t code = ErrorNone;
  std::map<std::string, std::pair<bool, bool>> indexes;  // lower name: unique, partial
  sqlite3_stmt* statement =
      Prepare("PRAGMA " + schema + ".index_list(" + QuoteName(table_) + ")", &code);
  if (statement == nullptr) return code;
  {
    Reset reset{statement};
    while (sqlite3_step(statement) == SQLITE_ROW) {
      indexes[AsciiLower(Column(statement, 1))] = {sqlite3_column_int(statement, 2) != 0,
                                                   sqlite3_column_int(statement, 4) != 0};
    }
  }
  for (size_t k = 0; k < declaration_.keys.size(); ++k) {
    const KeyDeclaration& key = declaration_.keys[k];
    std::string name = sql_->IndexName(static_cast<int>(k));
    auto found = indexes.find(AsciiLower(name));
    if (found == indexes.end() || found->second.first != key.unique ||
        found->second.second != key.optional) {
      return Failure(ErrorKeyMustBeRebuilt);
    }
    statement = Prepare("PRAGMA " + schema + ".index_xinfo(" + QuoteName(name) + ")", &code);
    if (statement == nullptr) return code;
    Reset reset{statement};
    size_t component = 0;
    while (sqlite3_step(statement) == SQLITE_ROW) {
      if (sqlite3_column_int(statement, 5) == 0) continue;  // the row id, not a key column
      if (component >= key.components.size()) return Failure(ErrorKeyMustBeRebuilt);
      const KeyComponent& c = key.components[component++];
      bool noCase = key.noCase && codec_.IsString(c.field);
      if (AsciiLower(Column(statement, 2)) != AsciiLower(codec_.ColumnName(c.field)) ||
          (sqlite3_column_int(statement, 3) != 0) != c.descending ||
          AsciiLower(Column(statement, 4)) != (noCase ? "nocase" : "binary")) {
        return Failure(ErrorKeyMustBeRebuilt);
      }
    }
    if (component != key.components.size()) return Failure(ErrorKeyMustBeRebuilt);
  }
  return ErrorNone;
}

bool SqliteDataFile::OthersUseTable() {
  LockFile* locks = attachment_->locks.get();
  if (locks == nullptr) return false;
  for (int slot = SlotRead; slot <= SlotDenyWrite; ++slot) {
    if (locks->LockedElsewhere(LockFile::SlotByte(tableId_, slot))) return true;
  }
  return false;
}

void SqliteDataFile::DetachFile() {
  cursor_.Finish();
  shaped_.clear();
  for (auto& [sql, statement] : statements_) sqlite3_finalize(statement);
  statements_.clear();
  sql_.reset();
  connection_.Release(attachment_);
  attachment_ = nullptr;
}

// A file system without locks shares nothing (and refuses nothing).
bool SqliteDataFile::LockSlot(int slot) {
  LockFile* locks = attachment_->locks.get();
  return locks == nullptr || locks->Lock(LockFile::SlotByte(tableId_, slot), false);
}

void SqliteDataFile::UnlockSlot(int slot) {
  if (attachment_ != nullptr && attachment_->locks != nullptr) {
    attachment_->locks->Unlock(LockFile::SlotByte(tableId_, slot));
  }
}

bool SqliteDataFile::SlotLockedElsewhere(int slot) {
  LockFile* locks = attachment_->locks.get();
  return locks != nullptr && locks->LockedElsewhere(LockFile::SlotByte(tableId_, slot));
}

int32_t SqliteDataFile::Open(uint8_t mode) {
  if (open_) return Failure(ErrorFileAlreadyOpen);
  bool write = (mode & 3) != AccessReadOnly;
  StorageName name;
  int32_t code = AttachFile(write, false, &name);
  if (code != ErrorNone) return code;
  code = FindTable(name);
  if (code == ErrorNone) code = CheckColumns();
  if (code == ErrorNone) code = CheckKeys();
  if (code == ErrorNone) code = Share(mode);
  if (code != ErrorNone) {
    DetachFile();
    return code;
  }
  Opened(mode);
  return ErrorNone;
}

int32_t SqliteDataFile::Close() {
  if (!open_) return ErrorNone;
  cursor_.Finish();
  EndNumbering(false);
  Release();
  Unreserve();
  Unshare();
  DetachFile();
  Closed();
  return ErrorNone;
}

// ---- making and mending ----

int32_t SqliteDataFile::Create() { return MakeTable(false); }

int32_t SqliteDataFile::CreateIfMissing() { return MakeTable(true); }

int32_t SqliteDataFile::MakeTable(bool keepExisting) {
  if (open_) return Failure(ErrorFileAlreadyOpen);
  StorageName name;
  int32_t code = AttachFile(true, true, &name);
  if (code != ErrorNone) return code;
  code = FindTable(name);
  if (code == ErrorFileNotFound || (code == ErrorNone && !keepExisting)) {
    code = RecreateTable(name, keepExisting);
  }
  DetachFile();
  if (code == ErrorNone) ClearError();
  return code;
}

int32_t SqliteDataFile::RecreateTable(const StorageName& name, bool keepExisting) {
  bool exists = sql_ != nullptr;
  if (exists && !RetryUntil(recoverSeconds_, [&] { return !OthersUseTable(); })) {
    return Failure(ErrorAccessDenied);
  }
  // Looking first and writing second, a station can meet another's write
  // lock; SQLite then refuses at once rather than wait into a deadlock. All
  // is undone and tried again, unless an enclosing transaction holds on.
  bool nested = connection_.inTransaction();
  int32_t code = ErrorNone;
  RetryUntil(recoverSeconds_, [&] {
    code = MakeTableOnce(name, keepExisting);
    return nested || code != ErrorFileAlreadyLocked;
  });
  return code;
}

// One transaction that looks for the table and makes it when missing: what
// it finds stays true until it ends, so two stations never both make it.
int32_t SqliteDataFile::MakeTableOnce(const StorageName& name, bool keepExisting) {
  bool nested = false;
  int rc = connection_.Begin("ledora_create", &nested);
  if (rc != SQLITE_OK) return SqliteFailure(connection_.db(), rc);
  sql_.reset();
  int32_t code = FindTable(name);
  if (code == ErrorNone && keepExisting) return connection_.End("ledora_create", nested, true);
  if (code != ErrorNone && code != ErrorFileNotFound) return Abandon(nested, code);
  rc = connection_.Execute("CREATE TABLE IF NOT EXISTS " + QuoteName(attachment_->schema) +
                           ".ledora_tables(name TEXT PRIMARY KEY COLLATE NOCASE, "
                           "id INTEGER NOT NULL UNIQUE)");
  if (rc == SQLITE_OK && sql_ == nullptr) rc = Catalogue(name.table);
  if (rc == SQLITE_OK && !keepExisting) rc = connection_.Execute(sql_->DropTable());
  if (rc == SQLITE_OK) rc = connection_.Execute(sql_->CreateTable());
  for (size_t k = 0; rc == SQLITE_OK && k < declaration_.keys.size(); ++k) {
    rc = connection_.Execute(sql_->CreateIndex(static_cast<int>(k)));
  }
  if (rc != SQLITE_OK) return Abandon(nested, SqliteFailure(connection_.db(), rc));
  return connection_.End("ledora_create", nested, true);
}

// Undoes a making that failed; the error noted stays.
int32_t SqliteDataFile::Abandon(bool nested, int32_t code) {
  connection_.End("ledora_create", nested, false);
  return code;
}

// Enters a new table in the file's catalogue (or finds it there) and takes
// its number, which names its lock bytes.
int SqliteDataFile::Catalogue(const std::string& table) {
  std::string schema = QuoteName(attachment_->schema);
  table_ = table;
  int rc = SQLITE_OK;
  for (const char* sql : {"INSERT OR IGNORE INTO %s.ledora_tables(name, id) "
                          "SELECT ?1, coalesce(max(id), 0) + 1 FROM %s.ledora_tables",
                          "SELECT id, name FROM %s.ledora_tables WHERE name = ?1"}) {
    std::string text = sql;
    for (size_t at; (at = text.find("%s")) != std::string::npos;) text.replace(at, 2, schema);
    sqlite3_stmt* statement = nullptr;
    rc = sqlite3_prepare_v2(connection_.db(), text.c_str(), -1, &statement, nullptr);
    if (rc == SQLITE_OK) {
      sqlite3_bind_text(statement, 1, table.c_str(), -1, SQLITE_TRANSIENT);
      rc = sqlite3_step(statement);
      if (rc == SQLITE_ROW) {
        tableId_ = sqlite3_column_int64(statement, 0);
        table_ = Column(statement, 1);
      }
      rc = rc == SQLITE_ROW || rc == SQLITE_DONE ? SQLITE_OK : rc;
    }
    sqlite3_finalize(statement);
    if (rc != SQLITE_OK) return rc;
  }
  sql_ = std::make_unique<TableSql>(declaration_, codec_, attachment_->schema, table_);
  return SQLITE_OK;
}

int32_t SqliteDataFile::BuildKeys() {
  if (open_) {
    if (readOnly_) return Failure(ErrorAccessDenied);
    connection_.SetBusyWait(recoverSeconds_);
    int32_t code = RebuildIndexes();
    return code == ErrorNone ? (ClearError(), ErrorNone) : code;
  }
  StorageName name;
  int32_t code = AttachFile(true, false, &name);
  if (code != ErrorNone) return code;
  code = FindTable(name);
  if (code == ErrorNone) code = CheckColumns();
  if (code == ErrorNone) code = RebuildIndexes();
  DetachFile();
  if (code == ErrorNone) ClearError();
  return code;
}

// A transaction of its own, not an outer savepoint, for the reason Begin
// gives: undoing a failed build must not undo another station's records.
int32_t SqliteDataFile::RebuildIndexes() {
  bool nested = false;
  int rc = connection_.Begin("ledora_build", &nested);
  if (rc != SQLITE_OK) return SqliteFailure(connection_.db(), rc);
  for (size_t k = 0; rc == SQLITE_OK && k < declaration_.keys.size(); ++k) {
    rc = connection_.Execute(sql_->DropIndex(static_cast<int>(k)));
    if (rc == SQLITE_OK) rc = connection_.Execute(sql_->CreateIndex(static_cast<int>(k)));
  }
  if (rc == SQLITE_OK) return connection_.End("ledora_build", nested, true);
  int32_t code = SqliteFailure(connection_.db(), rc);
  connection_.End("ledora_build", nested, false);
  return code;
}

// ---- reading ----

void SqliteDataFile::WaitForLocks(int seconds) { connection_.SetBusyWait(seconds); }

sqlite3_stmt* SqliteDataFile::Prepare(const std::string& sql, int32_t* code) {
  auto found = statements_.find(sql);
  if (found != statements_.end()) return found->second;
  sqlite3_stmt* statement = nullptr;
  int rc = sqlite3_prepare_v2(connection_.db(), sql.c_str(), static_cast<int>(sql.size()),
                              &statement, nullptr);
  if (rc != SQLITE_OK) {
    *code = SqliteFailure(connection_.db(), rc, ErrorAccessDenied);
    sqlite3_finalize(statement);
    return nullptr;
  }
  statements_[sql] = statement;
  return statement;
}

// The statements read with again and again, found by what they do rather
// than by their text: making the text and looking it up would cost more
// than a short fetch. They live in statements_ with the rest.
sqlite3_stmt* SqliteDataFile::Shaped(const StatementShape& shape, int32_t* code) {
  // Keys and key components are far fewer than the bits each field gets.
  uint64_t id = static_cast<uint64_t>(shape.kind) | static_cast<uint64_t>(shape.key + 1) << 4 |
                static_cast<uint64_t>(shape.seek) << 20 |
                static_cast<uint64_t>(shape.forward) << 23 |
                static_cast<uint64_t>(shape.first & 0xFF) << 24 |
                static_cast<uint64_t>(shape.last & 0xFF) << 32 |
                static_cast<uint64_t>(shape.limit & 0xFFFFFF) << 40;
  auto found = shaped_.find(id);
  if (found != shaped_.end()) return found->second;
  std::string sql;
  switch (shape.kind) {
    case StatementShape::KindRead:
      sql = sql_->Read(shape.key, shape.seek, shape.forward, shape.limit, shape.first, shape.last);
      break;
    case StatementShape::KindFetch:
      sql = sql_->Fetch(shape.key);
      break;
    case StatementShape::KindFetchAt:
      sql = sql_->FetchAt();
      break;
  }
  sqlite3_stmt* statement = Prepare(sql, code);
  if (statement != nullptr) shaped_.emplace(id, statement);
  return statement;
}

// Runs a row query: key values come from keyImage (for key), pos follows
// them; limit caps the rows taken.
int32_t SqliteDataFile::Query(const StatementShape& shape, const char* keyImage, int key,
                              int64_t pos, int limit, std::vector<Row>* rows) {
  int32_t code = ErrorNone;
  sqlite3_stmt* statement = Shaped(shape, &code);
  if (statement == nullptr) return code;
  Reset reset{statement};
  int components = sql_->ComponentCount(key);
  for (int i = 0; keyImage != nullptr && i < components; ++i) {
    codec_.Bind(statement, i + 1, keyImage, declaration_.keys[key].components[i].field);
  }
  if (sqlite3_bind_parameter_count(statement) > components) {
    sqlite3_bind_int64(statement, components + 1, pos);
  }
  int rc = SQLITE_DONE;
  while (static_cast<int>(rows->size()) < limit && (rc = sqlite3_step(statement)) == SQLITE_ROW) {
    rows->push_back(TakeRow(statement));
  }
  if (static_cast<int>(rows->size()) < limit && rc != SQLITE_DONE) {
    return SqliteFailure(connection_.db(), rc);
  }
  return ErrorNone;
}

SqliteDataFile::Row SqliteDataFile::TakeRow(sqlite3_stmt* statement) {
  ++rowsStepped_;
  const char* buffer = static_cast<const char*>(declaration_.buffer);
  Row row;
  row.pos = sqlite3_column_int64(statement, 0);
  row.version = sqlite3_column_int64(statement, 1);
  row.image.assign(buffer, buffer + declaration_.layout->recordSize());
  codec_.Read(statement, 2, row.image.data());
  return row;
}

// A damaged file's tree can hand out positions out of order; reading on
// from each as the anchor would then go round the same records for ever.
bool SqliteDataFile::InRecordOrder(int64_t pos, bool forward) const {
  if (sequence_.key() != kRecordOrder) return true;
  SeekKind seek = sequence_.Seek();
  if (seek == SeekAfterRecord) return forward ? pos > sequence_.pos() : pos < sequence_.pos();
  if (seek == SeekAtRecord) return forward ? pos >= sequence_.pos() : pos <= sequence_.pos();
  return true;
}

int32_t SqliteDataFile::Read(bool forward) {
  if (int32_t code = Ready(false); code != ErrorNone) return code;
  if (!sequence_.IsSet()) return Failure(ErrorEntryNotFound);
  // A hold may wait for another station, which must not meet this one's
  // read lock meanwhile.
  if (holdArmed_) {
    cursor_.Finish();
    return ReadOne(forward);
  }
  if (!cursor_.Serves(sequence_.key(), forward)) {
    cursor_.Finish();
    if (sequence_.IsPastEnd(forward)) return Failure(ErrorRecordNotAvailable);
    if (int32_t code = BeginCursor(forward); code != ErrorNone) return code;
  }
  int rc = cursor_.Step();
  if (rc == SQLITE_DONE) {
    sequence_.PastEnd(forward);
    return Failure(ErrorRecordNotAvailable);
  }
  if (rc != SQLITE_ROW) {
    int32_t code = SqliteFailure(connection_.db(), rc);
    cursor_.Finish();
    return code;
  }
  ++rowsStepped_;
  sqlite3_stmt* statement = cursor_.statement();
  int64_t pos = sqlite3_column_int64(statement, 0);
  if (!InRecordOrder(pos, forward)) {
    cursor_.Finish();
    return Failure(ErrorInvalidDataFile);
  }
  char* buffer = static_cast<char*>(declaration_.buffer);
  codec_.Read(statement, 2, buffer);
  currentPos_ = pos;
  sequence_.Passed(currentPos_, buffer, declaration_.layout->recordSize());
  currentVersion_ = sqlite3_column_int64(statement, 1);
  ClearError();
  return ErrorNone;
}

// The statement that reads the sequence on from its anchor up to its limit
// in that direction, bound; it stays in the statement cache.
sqlite3_stmt* SqliteDataFile::SequenceStatement(bool forward, int limit, int32_t* code) {
  SeekKind seek = sequence_.Seek();
  int key = sequence_.key();
  sqlite3_stmt* statement = Shaped({StatementShape::KindRead, key, seek, forward, limit,
                                    sequence_.first().components, sequence_.last().components},
                                   code);
  if (statement == nullptr) return nullptr;
  int components = sql_->ComponentCount(key);
  const KeyComponent* parts = components > 0 ? declaration_.keys[key].components.data() : nullptr;
  for (int i = 0; seek != SeekFromEnd && i < components; ++i) {
    codec_.Bind(statement, i + 1, sequence_.image().data(), parts[i].field);
  }
  if (seek == SeekAtRecord || seek == SeekAfterRecord) {
    sqlite3_bind_int64(statement, components + 1, sequence_.pos());
  }
  int index = components + 2;
  for (const KeyLimit& end : {sequence_.first(), sequence_.last()}) {
    const char* record = static_cast<const char*>(end.record);
    for (int i = 0; i < end.components; ++i) {
      codec_.Bind(statement, index + i, record, parts[i].field);
    }
    index += components;
  }
  return statement;
}

int32_t SqliteDataFile::BeginCursor(bool forward) {
  int32_t code = ErrorNone;
  sqlite3_stmt* statement = SequenceStatement(forward, 0, &code);
  if (statement == nullptr) return code;
  cursor_.Begin(statement, sequence_.key(), forward);
  return ErrorNone;
}

// One record in sequence by a query of its own, for a read that holds.
int32_t SqliteDataFile::ReadOne(bool forward) {
  if (sequence_.IsPastEnd(forward)) return Failure(ErrorRecordNotAvailable);
  int32_t code = ErrorNone;
  sqlite3_stmt* statement = SequenceStatement(forward, 1, &code);
  if (statement == nullptr) return code;
  Row row;
  {
    Reset reset{statement};
    int rc = sqlite3_step(statement);
    if (rc != SQLITE_ROW && rc != SQLITE_DONE) return SqliteFailure(connection_.db(), rc);
    if (rc == SQLITE_DONE) {
      sequence_.PastEnd(forward);
      return Failure(ErrorRecordNotAvailable);
    }
    row = TakeRow(statement);
  }
  return Accept(row, true);
}

int32_t SqliteDataFile::RowAt(int64_t pos, std::vector<Row>* rows) {
  return Query({StatementShape::KindFetchAt}, nullptr, kRecordOrder, pos, 1, rows);
}

int32_t SqliteDataFile::RowsWithKey(int key, std::vector<Row>* rows) {
  return Query({StatementShape::KindFetch, key}, static_cast<const char*>(declaration_.buffer), key,
               0, 1, rows);
}

int SqliteDataFile::ComponentCount(int key) const { return sql_->ComponentCount(key); }

void SqliteDataFile::SequenceChanged() { cursor_.Finish(); }

// ---- holds ----

bool SqliteDataFile::MayHold() const {
  return attachment_->locks != nullptr && attachment_->locks->writable();
}

int32_t SqliteDataFile::TakeHold(int64_t pos) {
  holdArmed_ = false;
  Release();
  LockFile& locks = *attachment_->locks;
  int64_t byte = LockFile::RecordByte(tableId_, pos);
  auto& holders = attachment_->holders;
  auto take = [&] { return holders.count(byte) == 0 && locks.Lock(byte, true); };
  if (!RetryUntil(holdSeconds_, take)) return Failure(ErrorRecordHeld);
  holders[byte] = this;
  heldPos_ = pos;
  return ErrorNone;
}

void SqliteDataFile::Release() {
  if (heldPos_ != 0 && attachment_ != nullptr && attachment_->locks != nullptr) {
    int64_t byte = LockFile::RecordByte(tableId_, heldPos_);
    attachment_->holders.erase(byte);
    attachment_->locks->Unlock(byte);
  }
  heldPos_ = 0;
}

bool SqliteDataFile::HeldElsewhere(int64_t pos) {
  LockFile* locks = attachment_->locks.get();
  if (locks == nullptr) return false;
  int64_t byte = LockFile::RecordByte(tableId_, pos);
  auto holder = attachment_->holders.find(byte);
  if (holder != attachment_->holders.end() && holder->second != this) return true;
  return locks->LockedElsewhere(byte);
}

// ---- writing ----

int32_t SqliteDataFile::AddRow(bool reserved) {
  if (int32_t code = Ready(true); code != ErrorNone) return code;
  connection_.BeforeWrite();
  int32_t code = ErrorNone;
  sqlite3_stmt* statement = Prepare(sql_->Insert(reserved), &code);
  if (statement == nullptr) return code;
  Reset reset{statement};
  const char* buffer = static_cast<const char*>(declaration_.buffer);
  for (size_t i = 0; i < declaration_.layout->fields().size(); ++i) {
    codec_.Bind(statement, static_cast<int>(i) + 1, buffer, static_cast<int>(i));
  }
  int rc = sqlite3_step(statement);
  // Nothing was added, so nothing is current: a later Duplicate counts every
  // record, and a Put cannot overwrite the record read before.
  currentPos_ = 0;
  if (rc != SQLITE_DONE) return SqliteFailure(connection_.db(), rc);
  currentPos_ = sqlite3_last_insert_rowid(connection_.db());
  currentVersion_ = reserved ? kUnwritten : 1;
  ClearError();
  return ErrorNone;
}

int32_t SqliteDataFile::Put() { return ChangeCurrent(false); }

int32_t SqliteDataFile::Delete() { return ChangeCurrent(true); }

// Writes or deletes the current record, provided it still has the version
// this file read: otherwise another station changed it (89).
int32_t SqliteDataFile::ChangeCurrent(bool remove) {
  if (int32_t code = ReadyToChange(); code != ErrorNone) return code;
  connection_.BeforeWrite();
  int32_t code = ErrorNone;
  sqlite3_stmt* statement = Prepare(remove ? sql_->Delete() : sql_->Update(), &code);
  if (statement == nullptr) return code;
  Reset reset{statement};
  int fields = remove ? 0 : static_cast<int>(declaration_.layout->fields().size());
  const char* buffer = static_cast<const char*>(declaration_.buffer);
  for (int i = 0; i < fields; ++i) codec_.Bind(statement, i + 1, buffer, i);
  sqlite3_bind_int64(statement, fields + 1, currentPos_);
  sqlite3_bind_int64(statement, fields + 2, currentVersion_);
  int rc = sqlite3_step(statement);
  if (rc != SQLITE_DONE) return SqliteFailure(connection_.db(), rc);
  if (sqlite3_changes(connection_.db()) == 0) return Failure(ErrorRecordChanged);
  Changed(remove);
  return ErrorNone;
}

// ---- questions ----

bool SqliteDataFile::Duplicate(int key) {
  if (!AsksDuplicate(key)) return false;
  int32_t code = ErrorNone;
  sqlite3_stmt* statement = Prepare(sql_->Duplicate(key), &code);
  if (statement == nullptr) return false;
  Reset reset{statement};
  const char* buffer = static_cast<const char*>(declaration_.buffer);
  int components = sql_->ComponentCount(key);
  for (int i = 0; i < components; ++i) {
    codec_.Bind(statement, i + 1, buffer, declaration_.keys[key].components[i].field);
  }
  sqlite3_bind_int64(statement, components + 1, currentPos_);
  int rc = sqlite3_step(statement);
  if (rc != SQLITE_ROW && rc != SQLITE_DONE) {
    SqliteFailure(connection_.db(), rc);
    return false;
  }
  ClearError();
  return rc == SQLITE_ROW;
}

int64_t SqliteDataFile::Records() {
  if (Ready(false) != ErrorNone) return -1;
  int32_t code = ErrorNone;
  sqlite3_stmt* statement = Prepare(sql_->Count(), &code);
  if (statement == nullptr) return -1;
  Reset reset{statement};
  int rc = sqlite3_step(statement);
  if (rc != SQLITE_ROW) {
    SqliteFailure(connection_.db(), rc);
    return -1;
  }
  ClearError();
  return sqlite3_column_int64(statement, 0);
}

// ---- numbering and reservations ----

// The file's write lock is what keeps the other stations out: a write that
// changes nothing takes it, and only the transaction's end lets it go.
int32_t SqliteDataFile::BeginNumbering() {
  if (int32_t code = Ready(true); code != ErrorNone) return code;
  if (numbering_) return ErrorNone;
  int rc = connection_.Begin("ledora_number", &numberingNested_);
  if (rc == SQLITE_OK) {
    rc = connection_.Execute("UPDATE " + QuoteName(attachment_->schema) +
                             ".ledora_tables SET id = id WHERE 0");
    if (rc != SQLITE_OK) {
      int32_t code = SqliteFailure(connection_.db(), rc);
      connection_.End("ledora_number", numberingNested_, false);
      return code;
    }
  }
  if (rc != SQLITE_OK) return SqliteFailure(connection_.db(), rc);
  numbering_ = true;
  ClearError();
  return ErrorNone;
}

int32_t SqliteDataFile::EndNumbering(bool keep) {
  if (!numbering_) return ErrorNone;
  numbering_ = false;
  int32_t code = connection_.End("ledora_number", numberingNested_, keep);
  if (code != ErrorNone) {
    currentPos_ = 0;
    return code;
  }
  if (keep) ClearError();
  return ErrorNone;
}

int64_t SqliteDataFile::ReservationByte(int64_t pos) const {
  return LockFile::ReservationByte(tableId_, pos);
}

bool SqliteDataFile::TakeReservation(int64_t pos) {
  LockFile* locks = attachment_->locks.get();
  if (locks == nullptr) return true;
  if (!locks->Lock(ReservationByte(pos), true)) return false;
  attachment_->holders[ReservationByte(pos)] = this;
  return true;
}

void SqliteDataFile::DropReservation(int64_t pos) {
  if (attachment_ == nullptr || attachment_->locks == nullptr) return;
  attachment_->holders.erase(ReservationByte(pos));
  attachment_->locks->Unlock(ReservationByte(pos));
}

// Without locks no station can tell a live reservation from a dead one, so
// every one counts as kept.
bool SqliteDataFile::ReservedAnywhere(int64_t pos) {
  LockFile* locks = attachment_->locks.get();
  if (locks == nullptr) return true;
  return attachment_->holders.count(ReservationByte(pos)) > 0 ||
         locks->LockedElsewhere(ReservationByte(pos));
}

int32_t SqliteDataFile::UnwrittenRows(std::vector<int64_t>* positions) {
  int32_t code = ErrorNone;
  sqlite3_stmt* statement = Prepare(sql_->Unwritten(), &code);
  if (statement == nullptr) return code;
  Reset reset{statement};
  int rc;
  while ((rc = sqlite3_step(statement)) == SQLITE_ROW) {
    positions->push_back(sqlite3_column_int64(statement, 0));
  }
  if (rc != SQLITE_DONE) return SqliteFailure(connection_.db(), rc);
  return ErrorNone;
}

}  // namespace ledora::runtime
