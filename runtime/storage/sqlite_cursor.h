// A key-order read statement that a data file keeps open across its Next and
// Previous calls, so that reading on costs one step instead of a new query
// (each new query takes and drops SQLite's file lock, which costs far more
// than the step itself).
//
// While a cursor is open its connection holds SQLite's shared lock on the
// file: nothing it reads can be stale, but another station cannot commit
// until the lock goes. So it goes early: the connection finishes every open
// cursor before it writes, ends a transaction or detaches (a write of this
// station could otherwise slip past or behind a pending statement); the
// program finishes them all whenever it goes idle (StorageDriver::EndReads);
// and a cursor that has been open for kHoldLimit finishes itself at its next
// step, so another station's writer waits at most that long while this one
// reads on. A finished cursor is begun again from the data file's anchor.
#pragma once

#include <sqlite3.h>

#include <chrono>
#include <cstdint>

namespace ledora::runtime {

class SqliteConnection;

class SqliteCursor {
 public:
  static constexpr std::chrono::milliseconds kHoldLimit{50};

  explicit SqliteCursor(SqliteConnection& connection) : connection_(connection) {}
  ~SqliteCursor() { Finish(); }
  SqliteCursor(const SqliteCursor&) = delete;
  SqliteCursor& operator=(const SqliteCursor&) = delete;

  // Takes a prepared statement, bound and not yet stepped, that reads the
  // key's order in the given direction; the caller keeps owning it.
  void Begin(sqlite3_stmt* statement, int key, bool forward);
  // Open on that key and direction, and not yet past its hold limit.
  bool Serves(int key, bool forward);
  // sqlite3_step's answer; a cursor that has no more rows finishes, one
  // that failed stays open until the caller has read the error.
  int Step();
  sqlite3_stmt* statement() const { return statement_; }
  bool open() const { return statement_ != nullptr; }
  // Resets the statement, which drops the read lock; nothing when not open.
  void Finish();

 private:
  static constexpr int kClockEvery = 32;  // steps between looks at the clock

  SqliteConnection& connection_;
  sqlite3_stmt* statement_ = nullptr;
  int key_ = 0;
  bool forward_ = true;
  int steps_ = 0;
  std::chrono::steady_clock::time_point begun_;
};

}  // namespace ledora::runtime
