#include "runtime/storage/pg_connection.h"

#include <endian.h>

#include <cstring>

#include "runtime/storage/table_sql.h"
#include "runtime/system/ascii_case.h"
#include "runtime/system/runtime_error.h"

namespace ledora::runtime {

namespace {

constexpr Oid kInt8 = 20;
constexpr Oid kFloat8 = 701;
constexpr Oid kBytea = 17;
constexpr Oid kText = 25;

std::string Sqlstate(const PGresult* result) {
  const char* state = result != nullptr ? PQresultErrorField(result, PG_DIAG_SQLSTATE) : nullptr;
  return state != nullptr ? state : "";
}

bool EndsTransaction(const std::string& sql) {
  return sql.rfind("COMMIT", 0) == 0 || sql.rfind("ROLLBACK", 0) == 0;
}

std::string OneLine(std::string text) {
  while (!text.empty() && (text.back() == '\n' || text.back() == ' ')) text.pop_back();
  for (char& c : text) c = c == '\n' ? ' ' : c;
  return text;
}

}  // namespace

void PgParams::Integer(int64_t value) {
  uint64_t big = htobe64(static_cast<uint64_t>(value));
  values_.emplace_back(reinterpret_cast<const char*>(&big), 8);
  types_.push_back(kInt8);
}

void PgParams::Real(double value) {
  uint64_t bits;
  memcpy(&bits, &value, 8);
  bits = htobe64(bits);
  values_.emplace_back(reinterpret_cast<const char*>(&bits), 8);
  types_.push_back(kFloat8);
}

void PgParams::Bytes(const void* data, size_t size) {
  values_.emplace_back(static_cast<const char*>(data), size);
  types_.push_back(kBytea);
}

void PgParams::Text(const std::string& text) {
  values_.push_back(text);
  types_.push_back(kText);
}

int64_t PgInteger(const PGresult* result, int row, int column) {
  uint64_t big = 0;
  const char* value = PQgetvalue(result, row, column);
  switch (PQgetlength(result, row, column)) {
    case 8:
      memcpy(&big, value, 8);
      return static_cast<int64_t>(be64toh(big));
    case 4: {
      uint32_t small;
      memcpy(&small, value, 4);
      return static_cast<int32_t>(be32toh(small));
    }
    default:
      return 0;
  }
}

double PgReal(const PGresult* result, int row, int column) {
  uint64_t bits = 0;
  if (PQgetlength(result, row, column) == 8) memcpy(&bits, PQgetvalue(result, row, column), 8);
  bits = be64toh(bits);
  double value;
  memcpy(&value, &bits, 8);
  return value;
}

int32_t PgFailure(PGconn* conn, const PGresult* result) {
  std::string state = Sqlstate(result);
  int32_t code = ErrorFileSystem;
  if (state == "23505") {
    code = ErrorDuplicateKey;
  } else if (state == "55P03" || state == "40P01" || state == "40001") {
    code = ErrorFileAlreadyLocked;
  } else if (state == "42501") {
    code = ErrorAccessDenied;
  } else if (conn == nullptr || PQstatus(conn) != CONNECTION_OK) {
    code = ErrorServerNotFound;
  }
  const char* text = result != nullptr ? PQresultErrorMessage(result) : nullptr;
  if (text == nullptr || *text == '\0') text = conn != nullptr ? PQerrorMessage(conn) : "";
  SetFileError(code, state, OneLine(text));
  return code;
}

PgConnection::~PgConnection() {
  if (conn_ != nullptr) PQfinish(conn_);
}

namespace {

// PostgreSQL cuts longer names silently, so that two long names would share
// one data set.
constexpr size_t kLongestName = 63;

bool ServerSchema(const std::string& schema) {
  std::string lower = AsciiLower(schema);
  return lower.starts_with("pg_") || lower == "information_schema";
}

}  // namespace

int32_t PgConnection::Connect(const std::string& url, const std::string& schema, PgSchemaUse use) {
  if (schema.size() > kLongestName || ServerSchema(schema)) {
    SetFileError(ErrorInvalidFilename, "",
                 "the data set name " + schema +
                     (ServerSchema(schema) ? " belongs to the server"
                                           : " is longer than 63 bytes, the server's limit"));
    return ErrorInvalidFilename;
  }
  if (conn_ != nullptr) PQfinish(conn_);
  url_ = url;
  lostTransaction_ = false;
  conn_ = PQconnectdb(url.c_str());
  if (PQstatus(conn_) != CONNECTION_OK) {
    std::string text = OneLine(PQerrorMessage(conn_));
    PQfinish(conn_);
    conn_ = nullptr;
    SetFileError(ErrorServerNotFound, "", "PostgreSQL server " + url + ": " + text);
    return ErrorServerNotFound;
  }
  schema_ = schema;
  // No notices on standard error for IF NOT EXISTS.
  PQsetNoticeProcessor(
      conn_, [](void*, const char*) {}, nullptr);
  std::string quoted = QuoteName(schema);
  if (use == PgSchemaMustExist) {
    PgParams params;
    params.Text(schema);
    PgResult found = Run(
        "SELECT 1 FROM pg_catalog.pg_tables WHERE schemaname = $1 AND tablename = 'ledora_tables'",
        params);
    if (found == nullptr) return CurrentError().code;
    if (PQntuples(found.get()) == 0) {
      SetFileError(ErrorFileNotFound, "", "there is no data set " + schema + " on the server");
      return ErrorFileNotFound;
    }
    return Execute("SET search_path TO " + quoted);
  }
  // Two stations making the schema at once would collide in the catalogue.
  std::string sql =
      "BEGIN; SELECT pg_advisory_xact_lock(1818521455); "
      "CREATE SCHEMA IF NOT EXISTS " +
      quoted +
      "; "
      "CREATE TABLE IF NOT EXISTS " +
      quoted +
      ".ledora_tables"
      "(name text PRIMARY KEY, id bigserial NOT NULL UNIQUE); "
      "COMMIT; SET search_path TO " +
      quoted;
  return Execute(sql);
}

// A dropped connection has no transaction any more (UNKNOWN).
bool PgConnection::inTransaction() const {
  if (conn_ == nullptr) return false;
  PGTransactionStatusType status = PQtransactionStatus(conn_);
  return status == PQTRANS_INTRANS || status == PQTRANS_INERROR || status == PQTRANS_ACTIVE;
}

bool PgConnection::Available(const std::string& sql) {
  if (conn_ == nullptr) {
    SetFileError(ErrorServerNotFound, "", "There is no connection to the PostgreSQL server");
    return false;
  }
  if (PQstatus(conn_) == CONNECTION_OK) return true;
  if (lostTransaction_) {
    if (EndsTransaction(sql)) lostTransaction_ = false;
    SetFileError(ErrorServerNotFound, "",
                 "The connection to the PostgreSQL server was lost: the changes of the "
                 "transaction then open were not saved");
    return false;
  }
  return Reconnect();
}

bool PgConnection::Reconnect() {
  PQreset(conn_);
  if (PQstatus(conn_) != CONNECTION_OK) {
    SetFileError(ErrorServerNotFound, "",
                 "The connection to the PostgreSQL server was lost and cannot be made again: " +
                     OneLine(PQerrorMessage(conn_)));
    return false;
  }
  lockWait_ = -1;
  if (Execute("SET search_path TO " + QuoteName(schema_)) != ErrorNone) return false;
  if (retake_) retake_();
  return true;
}

void PgConnection::Lost(const std::string& sql, PGTransactionStatusType before) {
  if (PQstatus(conn_) == CONNECTION_OK) return;
  bool open = before == PQTRANS_INTRANS || before == PQTRANS_INERROR || before == PQTRANS_ACTIVE;
  if (open && !EndsTransaction(sql)) lostTransaction_ = true;
  ErrorState noted = CurrentError();
  SetFileError(ErrorServerNotFound, noted.fileErrorCode,
               "The connection to the PostgreSQL server was lost" +
                   std::string(open ? " and the changes of the open transaction with it: " : ": ") +
                   noted.fileErrorText);
}

PgResult PgConnection::Run(const std::string& sql, const PgParams& params) {
  if (!Available(sql)) return nullptr;
  PGTransactionStatusType before = PQtransactionStatus(conn_);
  std::vector<const char*> values;
  std::vector<int> lengths, formats;
  for (const std::string& value : params.values_) {
    values.push_back(value.data());
    lengths.push_back(static_cast<int>(value.size()));
    formats.push_back(1);
  }
  PgResult result(PQexecParams(conn_, sql.c_str(), params.count(), params.types_.data(),
                               values.data(), lengths.data(), formats.data(), 1));
  ExecStatusType status = PQresultStatus(result.get());
  if (status == PGRES_COMMAND_OK || status == PGRES_TUPLES_OK) return result;
  PgFailure(conn_, result.get());
  Lost(sql, before);
  return nullptr;
}

PgResult PgConnection::Write(const std::string& sql, const PgParams& params) {
  if (!Available(sql)) return nullptr;
  if (!inTransaction()) return Run(sql, params);
  // Through Execute, so that a connection lost here is known to have taken
  // the transaction along.
  if (Execute("SAVEPOINT ledora_write") != ErrorNone) return nullptr;
  PgResult result = Run(sql, params);
  if (result != nullptr) {
    Execute("RELEASE SAVEPOINT ledora_write");
    return result;
  }
  ErrorState noted = CurrentError();
  if (connected()) {
    PgResult(PQexec(conn_, "ROLLBACK TO SAVEPOINT ledora_write"));
    PgResult(PQexec(conn_, "RELEASE SAVEPOINT ledora_write"));
  }
  SetFileError(noted.code, noted.fileErrorCode, noted.fileErrorText);
  return nullptr;
}

int32_t PgConnection::Execute(const std::string& sql) {
  if (!Available(sql)) return ErrorServerNotFound;
  PGTransactionStatusType before = PQtransactionStatus(conn_);
  PgResult result(PQexec(conn_, sql.c_str()));
  ExecStatusType status = PQresultStatus(result.get());
  if (status == PGRES_COMMAND_OK || status == PGRES_TUPLES_OK) return ErrorNone;
  int32_t code = PgFailure(conn_, result.get());
  Lost(sql, before);
  return code;
}

void PgConnection::SetLockWait(int seconds) {
  if (seconds == lockWait_ || conn_ == nullptr) return;
  // SET LOCAL would end with the transaction; a session value stays.
  if (Execute("SET lock_timeout = " + std::to_string(seconds > 0 ? seconds * 1000 : 1)) ==
      ErrorNone) {
    lockWait_ = seconds;
  }
}

bool PgConnection::TryLock(int32_t group, int32_t item, bool exclusive) {
  PgParams params;
  params.Integer(group);
  params.Integer(item);
  PgResult result = Run(exclusive ? "SELECT pg_try_advisory_lock($1::int4, $2::int4)"
                                  : "SELECT pg_try_advisory_lock_shared($1::int4, $2::int4)",
                        params);
  return result != nullptr && PQntuples(result.get()) == 1 &&
         PQgetvalue(result.get(), 0, 0)[0] == 1;
}

void PgConnection::Unlock(int32_t group, int32_t item, bool exclusive) {
  PgParams params;
  params.Integer(group);
  params.Integer(item);
  Run(exclusive ? "SELECT pg_advisory_unlock($1::int4, $2::int4)"
                : "SELECT pg_advisory_unlock_shared($1::int4, $2::int4)",
      params);
}

// Two-key advisory locks show the keys as classid and objid, objsubid 2.
bool PgConnection::LockedElsewhere(int32_t group, int32_t item) {
  PgParams params;
  params.Integer(group);
  params.Integer(item);
  PgResult result = Run(
      "SELECT 1 FROM pg_locks WHERE locktype = 'advisory' AND objsubid = 2 AND granted AND "
      "classid = ($1::int4)::oid AND objid = ($2::int4)::oid AND pid <> pg_backend_pid() LIMIT 1",
      params);
  return result != nullptr && PQntuples(result.get()) > 0;
}

}  // namespace ledora::runtime
