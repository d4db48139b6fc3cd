#include "runtime/storage/pg_data_file.h"

#include <cstring>
#include <filesystem>

#include "runtime/storage/data_file_helpers.h"
#include "runtime/storage/pg_connection.h"
#include "runtime/storage/pg_driver.h"
#include "runtime/system/ascii_case.h"
#include "runtime/system/runtime_error.h"

namespace ledora::runtime {

namespace {

// Rows one keyset query fetches ahead when reading on with QUICKSCAN on.
constexpr int kQuickScanBatch = 64;

// The advisory lock item of a table's numbering, beside its sharing slots
// (0-3) under the negated table number.
constexpr int32_t kNumberingSlot = 16;

// A field's bytes as stored: strings without their trailing blanks, which
// comparisons ignore.
std::string_view Clipped(const char* data, size_t size) {
  while (size > 0 && data[size - 1] == ' ') --size;
  return {data, size};
}

std::string FoldedText(std::string_view text) {
  std::string folded(text);
  for (char& c : folded) {
    if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
  }
  return folded;
}

void BindField(PgParams& params, const char* record, const FieldDescriptor& f) {
  const char* data = record + f.offset;
  switch (f.type) {
    case FieldString: {
      std::string_view text = Clipped(data, f.size);
      params.Bytes(text.data(), text.size());
      break;
    }
    case FieldReal: {
      double value;
      memcpy(&value, data, 8);
      params.Real(value);
      break;
    }
    case FieldDecimal:
      params.Bytes(data, f.size);
      break;
    default:
      params.Integer(LoadInteger(data, f.type));
      break;
  }
}

void ReadField(const PGresult* result, int row, int column, char* record,
               const FieldDescriptor& f) {
  char* data = record + f.offset;
  switch (f.type) {
    case FieldString:
    case FieldDecimal: {
      size_t length = static_cast<size_t>(PQgetlength(result, row, column));
      if (length > f.size) length = f.size;
      memcpy(data, PQgetvalue(result, row, column), length);
      memset(data + length, f.type == FieldString ? ' ' : 0, f.size - length);
      break;
    }
    case FieldReal: {
      double value = PgReal(result, row, column);
      memcpy(data, &value, 8);
      break;
    }
    default:
      StoreInteger(data, f.type, PgInteger(result, row, column));
      break;
  }
}

}  // namespace

PgDataFile::PgDataFile(PgDriver& driver, FileDeclaration declaration)
    : KeyedDataFile(std::move(declaration)),
      driver_(driver),
      connection_(driver.connection()),
      codec_(*declaration_.layout) {}

PgDataFile::~PgDataFile() {
  Close();
  driver_.Forget(this);
}

StorageDriver& PgDataFile::driver() { return driver_; }

// ---- opening ----

int32_t PgDataFile::Parse(StorageName* name) {
  if (int32_t code = CheckDeclaration(declaration_); code != ErrorNone) return Failure(code);
  if (!connection_.Available()) return ErrorServerNotFound;
  std::optional<StorageName> parsed = StorageName::Parse(declaration_.name);
  if (!parsed) return Failure(ErrorInvalidFilename);
  *name = *parsed;
  return ErrorNone;
}

// A file is known by its name without folder, in any letter case: the data
// set is the database's, not a folder's.
int32_t PgDataFile::FindTable(const StorageName& name, bool* found) {
  std::string file = std::filesystem::path(name.file).filename().string();
  PgParams params;
  std::string key = AsciiLower(file + "!" + name.table);
  params.Text(key);
  PgResult result = connection_.Run("SELECT id FROM ledora_tables WHERE name = $1", params);
  if (result == nullptr) return CurrentError().code;
  *found = PQntuples(result.get()) > 0;
  if (!*found) {
    // A single-table file keeps its table when the file is renamed; here
    // the table is named after the file, so only the file name counts.
    return ErrorNone;
  }
  tableId_ = PgInteger(result.get(), 0, 0);
  table_ = "ledora_" + std::to_string(tableId_);
  sql_ = std::make_unique<TableSql>(declaration_, codec_, connection_.schema(), table_,
                                    DialectPostgres);
  return ErrorNone;
}

int32_t PgDataFile::CheckTable() {
  PgParams params;
  std::string qualified = sql_->Qualified();
  params.Text(qualified);
  PgResult result = connection_.Run(
      "SELECT attname, format_type(atttypid, atttypmod) FROM pg_attribute WHERE attrelid = "
      "to_regclass($1) AND attnum > 0 AND NOT attisdropped "
      "ORDER BY attnum",
      params);
  if (result == nullptr) return CurrentError().code;
  if (PQntuples(result.get()) == 0) return Failure(ErrorFileNotFound);
  std::vector<std::pair<std::string, std::string>> expected = {{"_pos", "bigint"}};
  for (size_t i = 0; i < declaration_.layout->fields().size(); ++i) {
    int field = static_cast<int>(i);
    expected.emplace_back(codec_.ColumnName(field), sql_->ColumnType(field));
  }
  for (int field : sql_->FoldedFields()) {
    expected.emplace_back(FoldedColumn(codec_.ColumnName(field)), "bytea");
  }
  expected.emplace_back("_version", "bigint");
  if (PQntuples(result.get()) != static_cast<int>(expected.size())) {
    return Failure(ErrorInvalidRecordDeclaration);
  }
  for (int row = 0; row < PQntuples(result.get()); ++row) {
    if (expected[row].first != PQgetvalue(result.get(), row, 0) ||
        expected[row].second != PQgetvalue(result.get(), row, 1)) {
      return Failure(ErrorInvalidRecordDeclaration);
    }
  }
  params = PgParams();
  params.Text(table_);
  result = connection_.Run(
      "SELECT indexname FROM pg_indexes WHERE schemaname = current_schema() AND "
      "tablename = $1",
      params);
  if (result == nullptr) return CurrentError().code;
  for (size_t k = 0; k < declaration_.keys.size(); ++k) {
    std::string name = sql_->IndexName(static_cast<int>(k));
    bool present = false;
    for (int row = 0; row < PQntuples(result.get()); ++row) {
      present = present || name == PQgetvalue(result.get(), row, 0);
    }
    if (!present) return Failure(ErrorKeyMustBeRebuilt);
  }
  return ErrorNone;
}

// A table's slots are advisory locks of the negated table number.
bool PgDataFile::LockSlot(int slot) {
  return connection_.TryLock(-static_cast<int32_t>(tableId_), slot, false);
}

void PgDataFile::UnlockSlot(int slot) {
  connection_.Unlock(-static_cast<int32_t>(tableId_), slot, false);
}

bool PgDataFile::SlotLockedElsewhere(int slot) {
  return connection_.LockedElsewhere(-static_cast<int32_t>(tableId_), slot);
}

int32_t PgDataFile::Open(uint8_t mode) {
  if (open_) return Failure(ErrorFileAlreadyOpen);
  StorageName name;
  if (int32_t code = Parse(&name); code != ErrorNone) return code;
  connection_.SetLockWait(recoverSeconds_);
  bool found = false;
  int32_t code = FindTable(name, &found);
  if (code == ErrorNone && !found) code = Failure(ErrorFileNotFound);
  if (code == ErrorNone) code = CheckTable();
  if (code == ErrorNone) code = Share(mode);
  if (code != ErrorNone) {
    sql_.reset();
    return code;
  }
  ahead_.clear();
  Opened(mode);
  return ErrorNone;
}

int32_t PgDataFile::Close() {
  if (!open_) return ErrorNone;
  EndNumbering(false);
  Release();
  Unreserve();
  Unshare();
  sql_.reset();
  ahead_.clear();
  Closed();
  return ErrorNone;
}

// ---- making and mending ----

int32_t PgDataFile::MakeTable(bool keepExisting) {
  if (open_) return Failure(ErrorFileAlreadyOpen);
  StorageName name;
  if (int32_t code = Parse(&name); code != ErrorNone) return code;
  connection_.SetLockWait(recoverSeconds_);
  // One transaction (or a savepoint in the caller's), serialised with
  // every other station's making, looks for the table and makes it.
  bool nested = connection_.inTransaction();
  int32_t code = connection_.Execute(nested ? "SAVEPOINT ledora_create" : "BEGIN");
  if (code == ErrorNone) code = MakeTableOnce(name, keepExisting);
  if (code == ErrorNone) {
    code = connection_.Execute(nested ? "RELEASE SAVEPOINT ledora_create" : "COMMIT");
  } else {
    ErrorState noted = CurrentError();
    connection_.Execute(nested ? "ROLLBACK TO SAVEPOINT ledora_create; "
                                 "RELEASE SAVEPOINT ledora_create"
                               : "ROLLBACK");
    SetFileError(noted.code, noted.fileErrorCode, noted.fileErrorText);
  }
  sql_.reset();
  if (code == ErrorNone) ClearError();
  return code;
}

int32_t PgDataFile::MakeTableOnce(const StorageName& name, bool keepExisting) {
  int32_t code = connection_.Execute("SELECT pg_advisory_xact_lock(1818521456)");
  bool found = false;
  if (code == ErrorNone) code = FindTable(name, &found);
  if (code != ErrorNone || (found && keepExisting)) return code;
  if (!found) {
    std::string file = std::filesystem::path(name.file).filename().string();
    std::string key = AsciiLower(file + "!" + name.table);
    PgParams params;
    params.Text(key);
    if (connection_.Run("INSERT INTO ledora_tables(name) VALUES($1)", params) == nullptr) {
      return CurrentError().code;
    }
    if (code = FindTable(name, &found); code != ErrorNone) return code;
  }
  code = connection_.Execute(sql_->DropTable());
  if (code == ErrorNone) code = connection_.Execute(sql_->CreateTable());
  for (size_t k = 0; code == ErrorNone && k < declaration_.keys.size(); ++k) {
    code = connection_.Execute(sql_->CreateIndex(static_cast<int>(k)));
  }
  return code;
}

int32_t PgDataFile::BuildKeys() {
  if (open_) {
    if (readOnly_) return Failure(ErrorAccessDenied);
    return RebuildIndexes();
  }
  StorageName name;
  if (int32_t code = Parse(&name); code != ErrorNone) return code;
  bool found = false;
  int32_t code = FindTable(name, &found);
  if (code == ErrorNone && !found) code = Failure(ErrorFileNotFound);
  if (code == ErrorNone) code = RebuildIndexes();
  sql_.reset();
  return code;
}

// In a transaction of its own: a unique key that meets duplicates leaves the
// indexes as they were.
int32_t PgDataFile::RebuildIndexes() {
  connection_.SetLockWait(recoverSeconds_);
  bool nested = connection_.inTransaction();
  std::string sql = nested ? "SAVEPOINT ledora_build; " : "BEGIN; ";
  for (size_t k = 0; k < declaration_.keys.size(); ++k) {
    sql +=
        sql_->DropIndex(static_cast<int>(k)) + "; " + sql_->CreateIndex(static_cast<int>(k)) + "; ";
  }
  int32_t code = connection_.Execute(sql + (nested ? "RELEASE SAVEPOINT ledora_build" : "COMMIT"));
  if (code != ErrorNone) {
    ErrorState noted = CurrentError();
    connection_.Execute(nested ? "ROLLBACK TO SAVEPOINT ledora_build; "
                                 "RELEASE SAVEPOINT ledora_build"
                               : "ROLLBACK");
    SetFileError(noted.code, noted.fileErrorCode, noted.fileErrorText);
    return code;
  }
  ClearError();
  return ErrorNone;
}

// ---- reading ----

void PgDataFile::WaitForLocks(int seconds) { connection_.SetLockWait(seconds); }

void PgDataFile::BindKey(PgParams& params, const char* image, int key, int components) const {
  const auto& fields = declaration_.layout->fields();
  for (int i = 0; i < components; ++i) {
    const FieldDescriptor& f = fields[declaration_.keys[key].components[i].field];
    if (sql_->Folded(key, i)) {
      std::string folded = FoldedText(Clipped(image + f.offset, f.size));
      params.Bytes(folded.data(), folded.size());
    } else if (f.type == FieldDecimal) {
      std::string ordered = DecimalOrderBytes({image + f.offset, f.size});
      params.Bytes(ordered.data(), ordered.size());
    } else {
      BindField(params, image, f);
    }
  }
}

void PgDataFile::BindFields(PgParams& params, const char* image) const {
  for (const FieldDescriptor& f : declaration_.layout->fields()) BindField(params, image, f);
}

void PgDataFile::BindFolded(PgParams& params, const char* image) const {
  for (int field : sql_->FoldedFields()) {
    const FieldDescriptor& f = declaration_.layout->fields()[field];
    std::string folded = FoldedText(Clipped(image + f.offset, f.size));
    params.Bytes(folded.data(), folded.size());
  }
}

int32_t PgDataFile::Query(const std::string& sql, const PgParams& params, std::vector<Row>* rows) {
  PgResult result = connection_.Run(sql, params);
  if (result == nullptr) return CurrentError().code;
  const char* buffer = static_cast<const char*>(declaration_.buffer);
  const auto& fields = declaration_.layout->fields();
  for (int r = 0; r < PQntuples(result.get()); ++r) {
    Row row;
    row.pos = PgInteger(result.get(), r, 0);
    row.version = PgInteger(result.get(), r, 1);
    row.image.assign(buffer, buffer + declaration_.layout->recordSize());
    for (size_t i = 0; i < fields.size(); ++i) {
      ReadField(result.get(), r, static_cast<int>(i) + 2, row.image.data(), fields[i]);
    }
    rows->push_back(std::move(row));
  }
  return ErrorNone;
}

int32_t PgDataFile::Read(bool forward) {
  if (int32_t code = Ready(false); code != ErrorNone) return code;
  if (!sequence_.IsSet()) return Failure(ErrorEntryNotFound);
  if (ahead_.empty() || aheadForward_ != forward || holdArmed_) {
    ahead_.clear();
    if (sequence_.IsPastEnd(forward)) return Failure(ErrorRecordNotAvailable);
    if (int32_t code = Fill(forward); code != ErrorNone) return code;
    if (ahead_.empty()) {
      sequence_.PastEnd(forward);
      return Failure(ErrorRecordNotAvailable);
    }
  }
  Row row = std::move(ahead_.front());
  ahead_.pop_front();
  return Accept(row, true);
}

// The keyset query from the anchor on. Every parameter is sent, used or
// not, so their numbers stay those of TableSql.
int32_t PgDataFile::Fill(bool forward) {
  int key = sequence_.key();
  int batch = quickScan_ && !holdArmed_ ? kQuickScanBatch : 1;
  int components = sql_->ComponentCount(key);
  PgParams params;
  const char* anchor = sequence_.image().empty() ? static_cast<const char*>(declaration_.buffer)
                                                 : sequence_.image().data();
  BindKey(params, anchor, key, components);
  params.Integer(sequence_.pos());
  const KeyLimit& first = sequence_.first();
  const KeyLimit& last = sequence_.last();
  if (first.components > 0 || last.components > 0) {
    for (const KeyLimit& end : {first, last}) {
      BindKey(params, end.components > 0 ? static_cast<const char*>(end.record) : anchor, key,
              components);
    }
  }
  std::vector<Row> rows;
  int32_t code =
      Query(sql_->Read(key, sequence_.Seek(), forward, batch, first.components, last.components),
            params, &rows);
  if (code != ErrorNone) return code;
  for (Row& row : rows) ahead_.push_back(std::move(row));
  aheadForward_ = forward;
  return ErrorNone;
}

int32_t PgDataFile::RowAt(int64_t pos, std::vector<Row>* rows) {
  PgParams params;
  params.Integer(pos);
  return Query(sql_->FetchAt(), params, rows);
}

int32_t PgDataFile::RowsWithKey(int key, std::vector<Row>* rows) {
  PgParams params;
  BindKey(params, static_cast<const char*>(declaration_.buffer), key, sql_->ComponentCount(key));
  return Query(sql_->Fetch(key), params, rows);
}

// ---- holds: session advisory locks on (table, position) ----

int32_t PgDataFile::TakeHold(int64_t pos) {
  holdArmed_ = false;
  Release();
  int32_t table = static_cast<int32_t>(tableId_);
  int32_t item = static_cast<int32_t>(pos);
  auto take = [&] {
    return driver_.HolderOf(tableId_, pos) == nullptr && connection_.TryLock(table, item, true);
  };
  if (!RetryUntil(holdSeconds_, take)) return Failure(ErrorRecordHeld);
  driver_.SetHolder(tableId_, pos, this);
  heldPos_ = pos;
  return ErrorNone;
}

void PgDataFile::Release() {
  if (heldPos_ != 0 && open_) {
    connection_.Unlock(static_cast<int32_t>(tableId_), static_cast<int32_t>(heldPos_), true);
    driver_.SetHolder(tableId_, heldPos_, nullptr);
  }
  heldPos_ = 0;
}

bool PgDataFile::HeldElsewhere(int64_t pos) {
  const PgDataFile* holder = driver_.HolderOf(tableId_, pos);
  if (holder != nullptr) return holder != this;
  return connection_.LockedElsewhere(static_cast<int32_t>(tableId_), static_cast<int32_t>(pos));
}

// ---- writing ----

int32_t PgDataFile::AddRow(bool reserved) {
  if (int32_t code = Ready(true); code != ErrorNone) return code;
  ahead_.clear();
  PgParams params;
  const char* buffer = static_cast<const char*>(declaration_.buffer);
  BindFields(params, buffer);
  BindFolded(params, buffer);
  // Nothing was added, so nothing is current: a later Duplicate counts every
  // record, and a Put cannot overwrite the record read before.
  currentPos_ = 0;
  PgResult result = connection_.Write(sql_->Insert(reserved), params);
  if (result == nullptr) return CurrentError().code;
  currentPos_ = PgInteger(result.get(), 0, 0);
  currentVersion_ = reserved ? kUnwritten : 1;
  ClearError();
  return ErrorNone;
}

// Writes or deletes the current record, provided it still has the version
// this file read: otherwise another station changed it (89).
int32_t PgDataFile::ChangeCurrent(bool remove) {
  if (int32_t code = ReadyToChange(); code != ErrorNone) return code;
  ahead_.clear();
  PgParams params;
  const char* buffer = static_cast<const char*>(declaration_.buffer);
  if (!remove) BindFields(params, buffer);
  params.Integer(currentPos_);
  params.Integer(currentVersion_);
  if (!remove) BindFolded(params, buffer);
  PgResult result = connection_.Write(remove ? sql_->Delete() : sql_->Update(), params);
  if (result == nullptr) return CurrentError().code;
  if (std::strcmp(PQcmdTuples(result.get()), "0") == 0) return Failure(ErrorRecordChanged);
  Changed(remove);
  return ErrorNone;
}

// ---- questions ----

bool PgDataFile::Duplicate(int key) {
  if (!AsksDuplicate(key)) return false;
  PgParams params;
  BindKey(params, static_cast<const char*>(declaration_.buffer), key, sql_->ComponentCount(key));
  params.Integer(currentPos_);
  PgResult result = connection_.Run(sql_->Duplicate(key), params);
  if (result == nullptr) return false;
  ClearError();
  return PQntuples(result.get()) > 0;
}

int64_t PgDataFile::Records() {
  if (Ready(false) != ErrorNone) return -1;
  PgResult result = connection_.Run(sql_->Count());
  if (result == nullptr) return -1;
  ClearError();
  return PgInteger(result.get(), 0, 0);
}

// ---- numbering: a transaction-scoped advisory lock of the table ----

int32_t PgDataFile::BeginNumbering() {
  if (int32_t code = Ready(true); code != ErrorNone) return code;
  if (numbering_) return ErrorNone;
  ahead_.clear();
  numberingNested_ = connection_.inTransaction();
  if (!numberingNested_) {
    if (int32_t code = connection_.Execute("BEGIN"); code != ErrorNone) return code;
  }
  PgParams params;
  params.Integer(-static_cast<int32_t>(tableId_));
  params.Integer(kNumberingSlot);
  if (connection_.Write("SELECT pg_advisory_xact_lock($1::int4, $2::int4)", params) == nullptr) {
    ErrorState noted = CurrentError();
    if (!numberingNested_) connection_.Execute("ROLLBACK");
    SetFileError(noted.code, noted.fileErrorCode, noted.fileErrorText);
    return noted.code;
  }
  numbering_ = true;
  ClearError();
  return ErrorNone;
}

// A transaction the server has given up must not read as kept.
int32_t PgDataFile::EndNumbering(bool keep) {
  if (!numbering_) return ErrorNone;
  numbering_ = false;
  if (numberingNested_) return ErrorNone;
  if (!keep) {
    connection_.Execute("ROLLBACK");
    return ErrorNone;
  }
  PgResult result = connection_.Run("COMMIT");
  if (result == nullptr || std::string(PQcmdStatus(result.get())) != "COMMIT") {
    currentPos_ = 0;
    if (result != nullptr) return Failure(ErrorUnableToLogTransaction);
    return CurrentError().code;
  }
  ClearError();
  return ErrorNone;
}

// Reservation marks are session advisory locks on (table, -position), apart
// from the holds on (table, position).
bool PgDataFile::TakeReservation(int64_t pos) {
  int32_t item = -static_cast<int32_t>(pos);
  if (!connection_.TryLock(static_cast<int32_t>(tableId_), item, true)) return false;
  driver_.SetHolder(tableId_, -pos, this);
  return true;
}

void PgDataFile::DropReservation(int64_t pos) {
  connection_.Unlock(static_cast<int32_t>(tableId_), -static_cast<int32_t>(pos), true);
  driver_.SetHolder(tableId_, -pos, nullptr);
}

bool PgDataFile::ReservedAnywhere(int64_t pos) {
  if (driver_.HolderOf(tableId_, -pos) != nullptr) return true;
  return connection_.LockedElsewhere(static_cast<int32_t>(tableId_), -static_cast<int32_t>(pos));
}

int32_t PgDataFile::UnwrittenRows(std::vector<int64_t>* positions) {
  PgResult result = connection_.Run(sql_->Unwritten());
  if (result == nullptr) return CurrentError().code;
  for (int r = 0; r < PQntuples(result.get()); ++r) {
    positions->push_back(PgInteger(result.get(), r, 0));
  }
  return ErrorNone;
}

}  // namespace ledora::runtime
