// The libpq connection of one PostgreSQL driver (one station): statements
// with binary parameters and results, the lock wait, session advisory locks
// for holds and sharing, and the mapping of server errors to runtime codes.
// Used by PgDriver and PgDataFile.
#pragma once

#include <libpq-fe.h>

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "runtime/storage/pg_driver.h"

namespace ledora::runtime {

// Parameters of one statement, sent in binary.
class PgParams {
 public:
  void Integer(int64_t value);
  void Real(double value);
  void Bytes(const void* data, size_t size);
  void Text(const std::string& text);
  int count() const { return static_cast<int>(values_.size()); }

 private:
  friend class PgConnection;
  std::vector<std::string> values_;
  std::vector<Oid> types_;
};

struct PgResultDeleter {
  void operator()(PGresult* result) const { PQclear(result); }
};
using PgResult = std::unique_ptr<PGresult, PgResultDeleter>;

// Binary result values.
int64_t PgInteger(const PGresult* result, int row, int column);
double PgReal(const PGresult* result, int row, int column);

class PgConnection {
 public:
  PgConnection() = default;
  ~PgConnection();
  PgConnection(const PgConnection&) = delete;
  PgConnection& operator=(const PgConnection&) = delete;

  // Connects and makes or finds the schema the data set lives in; 95 (with
  // the server's message naming it) when the server cannot be reached, 45
  // for a name the server would cut (over 63 bytes) or that belongs to the
  // server (pg_..., information_schema), 2 for a data set not there.
  int32_t Connect(const std::string& url, const std::string& schema,
                  PgSchemaUse use = PgMakeSchema);
  bool connected() const { return conn_ != nullptr && PQstatus(conn_) == CONNECTION_OK; }
  bool begun() const { return conn_ != nullptr; }  // a Connect succeeded once
  // Whether statements can be sent now: a connection the server dropped
  // (a restart) is made again here, with its holds and reservations taken
  // again (TakeBack), unless a transaction was open when it dropped. Its
  // changes are gone, so until its end (COMMIT or ROLLBACK, which fail as
  // well) every statement fails with 95 saying so. False notes why.
  bool Available(const std::string& sql = "");
  // Run after a connection is made again, to take the session's locks again.
  void OnReconnect(std::function<void()> retake) { retake_ = std::move(retake); }
  const std::string& schema() const { return schema_; }

  // Runs one statement; null after a failure, which is noted (PgFailure).
  PgResult Run(const std::string& sql, const PgParams& params = PgParams());
  // As Run, for a statement that may fail inside a transaction (a write):
  // it is undone alone, as in SQLite, instead of spoiling the transaction.
  PgResult Write(const std::string& sql, const PgParams& params = PgParams());
  // Runs statements without parameters or results; the runtime code.
  int32_t Execute(const std::string& sql);
  bool inTransaction() const;

  // The lock wait ("Recover=" seconds) for the statements that follow.
  void SetLockWait(int seconds);

  // Session advisory locks on (group, item), without waiting; they go with
  // the session, also when the station dies.
  bool TryLock(int32_t group, int32_t item, bool exclusive);
  void Unlock(int32_t group, int32_t item, bool exclusive);
  // Whether another session holds the lock (shared or exclusive).
  bool LockedElsewhere(int32_t group, int32_t item);

 private:
  bool Reconnect();
  // Notes a statement that failed because the connection went, and whether
  // a transaction went with it.
  void Lost(const std::string& sql, PGTransactionStatusType before);

  PGconn* conn_ = nullptr;
  std::string url_;
  std::string schema_;
  bool lostTransaction_ = false;
  std::function<void()> retake_;
  int lockWait_ = -1;  // applied seconds
};

// Notes a failure in the runtime error state and answers its code: 40 a
// unique key, 32 a lock wait that ran out or a deadlock, 5 refused, 90
// otherwise; SQLSTATE and message as the driver values.
int32_t PgFailure(PGconn* conn, const PGresult* result);

}  // namespace ledora::runtime
