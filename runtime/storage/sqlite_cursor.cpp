#include "runtime/storage/sqlite_cursor.h"

#include "runtime/storage/sqlite_connection.h"

namespace ledora::runtime {

void SqliteCursor::Begin(sqlite3_stmt* statement, int key, bool forward) {
  Finish();
  statement_ = statement;
  key_ = key;
  forward_ = forward;
  steps_ = 0;
  begun_ = std::chrono::steady_clock::now();
  connection_.CursorBegun(this);
}

bool SqliteCursor::Serves(int key, bool forward) {
  if (statement_ == nullptr || key != key_ || forward != forward_) return false;
  // The clock is read now and then only: a step costs less than reading it.
  if (steps_ % kClockEvery == kClockEvery - 1 &&
      std::chrono::steady_clock::now() - begun_ >= kHoldLimit) {
    Finish();
    return false;
  }
  return true;
}

int SqliteCursor::Step() {
  ++steps_;
  int rc = sqlite3_step(statement_);
  // An error stays for the caller to read before it finishes the cursor.
  if (rc == SQLITE_DONE) Finish();
  return rc;
}

void SqliteCursor::Finish() {
  if (statement_ == nullptr) return;
  sqlite3_reset(statement_);
  sqlite3_clear_bindings(statement_);
  statement_ = nullptr;
  connection_.CursorFinished(this);
}

}  // namespace ledora::runtime
