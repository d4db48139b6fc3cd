// A declared data file of the SQLite driver: one table of an attached KDS
// file, read in key order through a kept-open cursor (SqliteCursor) and a
// remembered anchor, the last record read, from which a finished cursor
// begins again. Made by SqliteDriver::Declare; the contract is DataFile's.
#pragma once

#include <sqlite3.h>

#include <cstdint>
#include <map>
#include <memory>
#include <string>
#include <unordered_map>
#include <vector>

#include "runtime/storage/data_file.h"
#include "runtime/storage/keyed_data_file.h"
#include "runtime/storage/record_codec.h"
#include "runtime/storage/sqlite_cursor.h"
#include "runtime/storage/storage_name.h"
#include "runtime/storage/table_sql.h"

namespace ledora::runtime {

class SqliteDriver;
class SqliteConnection;
struct Attachment;

class SqliteDataFile final : public KeyedDataFile {
 public:
  SqliteDataFile(SqliteDriver& driver, FileDeclaration declaration);
  ~SqliteDataFile() override;
  SqliteDataFile(const SqliteDataFile&) = delete;
  SqliteDataFile& operator=(const SqliteDataFile&) = delete;

  StorageDriver& driver() override;

  int32_t Open(uint8_t mode) override;
  int32_t Create() override;
  int32_t CreateIfMissing() override;
  int32_t Close() override;
  int32_t BuildKeys() override;

  int32_t Next() override { return Read(true); }
  int32_t Previous() override { return Read(false); }

  int32_t Put() override;
  int32_t Delete() override;

  void Release() override;

  bool Duplicate(int key) override;
  int64_t Records() override;
  int32_t BeginNumbering() override;
  int32_t EndNumbering(bool keep) override;

  // The attached database's name on the driver's connection.
  const std::string& schema() const;
  // Rows SQLite has handed this file, for tests and benchmarks.
  int64_t rowsStepped() const { return rowsStepped_; }

 protected:
  void WaitForLocks(int seconds) override;
  bool MayHold() const override;
  int ComponentCount(int key) const override;
  int32_t RowAt(int64_t pos, std::vector<Row>* rows) override;
  int32_t RowsWithKey(int key, std::vector<Row>* rows) override;
  void SequenceChanged() override;
  int32_t TakeHold(int64_t pos) override;
  bool HeldElsewhere(int64_t pos) override;
  bool LockSlot(int slot) override;
  void UnlockSlot(int slot) override;
  bool SlotLockedElsewhere(int slot) override;
  int32_t AddRow(bool reserved) override;
  bool TakeReservation(int64_t pos) override;
  void DropReservation(int64_t pos) override;
  bool ReservedAnywhere(int64_t pos) override;
  int32_t UnwrittenRows(std::vector<int64_t>* positions) override;

 private:
  // Opening pieces.
  int32_t AttachFile(bool write, bool create, StorageName* name);
  int32_t FindTable(const StorageName& name);
  int32_t CheckColumns();
  int32_t CheckKeys();
  void DetachFile();
  int32_t MakeTable(bool keepExisting);
  int32_t RecreateTable(const StorageName& name, bool keepExisting);
  int32_t MakeTableOnce(const StorageName& name, bool keepExisting);
  int32_t Abandon(bool nested, int32_t code);
  int Catalogue(const std::string& table);
  int32_t RebuildIndexes();
  bool OthersUseTable();

  // Operation pieces.
  struct StatementShape {
    enum Kind : uint8_t { KindRead, KindFetch, KindFetchAt } kind;
    int key = kRecordOrder;
    SeekKind seek = SeekFromEnd;
    bool forward = true;
    int limit = 0;
    int first = 0;
    int last = 0;
  };
  sqlite3_stmt* Prepare(const std::string& sql, int32_t* code);
  sqlite3_stmt* Shaped(const StatementShape& shape, int32_t* code);
  int32_t Query(const StatementShape& shape, const char* keyImage, int key, int64_t pos, int limit,
                std::vector<Row>* rows);
  int32_t Read(bool forward);
  bool InRecordOrder(int64_t pos, bool forward) const;
  int32_t ReadOne(bool forward);
  int32_t BeginCursor(bool forward);
  sqlite3_stmt* SequenceStatement(bool forward, int limit, int32_t* code);
  Row TakeRow(sqlite3_stmt* statement);
  int32_t ChangeCurrent(bool remove);
  int64_t ReservationByte(int64_t pos) const;

  SqliteDriver& driver_;
  SqliteConnection& connection_;
  RecordCodec codec_;
  std::unique_ptr<TableSql> sql_;
  Attachment* attachment_ = nullptr;
  std::string table_;
  int64_t tableId_ = 0;
  std::map<std::string, sqlite3_stmt*> statements_;
  std::unordered_map<uint64_t, sqlite3_stmt*> shaped_;  // into statements_

  int64_t rowsStepped_ = 0;
  SqliteCursor cursor_;
  bool numbering_ = false;
  bool numberingNested_ = false;
};

}  // namespace ledora::runtime
