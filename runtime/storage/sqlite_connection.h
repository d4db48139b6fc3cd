// The SQLite connection of one driver: a private main database in the data
// folder (a real file, which SQLite needs to commit across attached files
// atomically; see ConnectionFile) with every open KDS file attached to it. Used by SqliteDriver
// and SqliteDataFile; all attached files share its busy wait.
#pragma once

#include <sqlite3.h>

#include <cstdint>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "runtime/storage/connection_file.h"
#include "runtime/storage/data_file_helpers.h"
#include "runtime/storage/lock_file.h"

namespace ledora::runtime {

class SqliteCursor;

struct Attachment {
  std::string path;    // absolute
  std::string schema;  // "k1"; one per path for the connection's life
  bool writable = false;
  bool attached = false;
  int users = 0;
  std::unique_ptr<LockFile> locks;
  // Record bytes held through this attachment, by holder: the lock itself
  // cannot tell this station's data files apart.
  std::map<int64_t, const void*> holders;
};

class SqliteConnection {
 public:
  SqliteConnection();
  ~SqliteConnection();
  SqliteConnection(const SqliteConnection&) = delete;
  SqliteConnection& operator=(const SqliteConnection&) = delete;

  // Attaches an existing file (or a new one when create), counting one user.
  // Error codes as for opening a data file.
  int32_t Attach(const std::string& path, bool writable, bool create, Attachment** out);
  // One user less; an unused file is detached, after the transaction when
  // one is active.
  void Release(Attachment* attachment);
  void DetachUnused();

  sqlite3* db() const { return db_; }
  void SetBusyWait(int seconds);
  // Runs SQL without results; returns SQLite's code. Whatever it runs may
  // write or end a transaction, so it first calls BeforeWrite.
  int Execute(const std::string& sql);
  // The data files' kept-open read statements (SqliteCursor). EndReads
  // finishes all of them, dropping the read locks they hold (the program
  // calls it whenever it goes idle).
  void CursorBegun(SqliteCursor* cursor);
  void CursorFinished(SqliteCursor* cursor);
  void EndReads();
  // Ends the kept reads of every connection of this process: a pending read
  // of this connection could miss or repeat what it writes, and one of
  // another driver here (another station with no idle moment of its own in
  // between) would keep the write waiting for its lock.
  void BeforeWrite();
  bool inTransaction() const { return db_ != nullptr && !sqlite3_get_autocommit(db_); }
  // Starts a transaction of its own, or the named savepoint inside the one
  // that is active; *nested tells which. Returns SQLite's code.
  int Begin(const std::string& savepoint, bool* nested);
  // Ends what Begin started, keeping or undoing its changes. Answers the
  // runtime code of a keep that failed (then undone), else 0.
  int32_t End(const std::string& savepoint, bool nested, bool keep);

 private:
  int32_t Start(const std::string& firstFile);
  int32_t AttachAs(Attachment& attachment, bool writable, bool create);
  void Detach(Attachment& attachment);
  int AttachedCount() const;

  sqlite3* db_ = nullptr;
  std::unique_ptr<ConnectionFile> mainFile_;
  std::map<std::string, std::unique_ptr<Attachment>> attachments_;  // by path
  int nextSchema_ = 1;
  int busyMilliseconds_ = 5000;  // wanted
  int appliedMilliseconds_ = -1;
  std::vector<SqliteCursor*> cursors_;  // open ones, not owned
};

// Notes an SQLite failure in the runtime error state and answers its runtime
// code: 40 duplicate key, 32 (or lockedCode) busy, 36 not a database or
// damaged, 46 damaged index, 5 refused, 8 memory, otherwise 90.
int32_t SqliteFailure(sqlite3* db, int rc, int32_t lockedCode = 32);

}  // namespace ledora::runtime
