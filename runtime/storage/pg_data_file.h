// A declared data file of the PostgreSQL driver: one table of the data
// set's schema, found through the schema's catalogue (ledora_tables, which
// maps a file's name to its table and number). Reading in key order is a
// keyset query from the last record read (row-value comparison and LIMIT,
// never OFFSET), so a page deep in a large table costs what the first one
// does. Made by PgDriver::Declare; the contract is DataFile's.
#pragma once

#include <libpq-fe.h>

#include <cstdint>
#include <deque>
#include <memory>
#include <string>
#include <vector>

#include "runtime/storage/data_file.h"
#include "runtime/storage/keyed_data_file.h"
#include "runtime/storage/record_codec.h"
#include "runtime/storage/storage_name.h"
#include "runtime/storage/table_sql.h"

namespace ledora::runtime {

class PgDriver;
class PgConnection;
class PgParams;

class PgDataFile final : public KeyedDataFile {
 public:
  PgDataFile(PgDriver& driver, FileDeclaration declaration);
  ~PgDataFile() override;
  PgDataFile(const PgDataFile&) = delete;
  PgDataFile& operator=(const PgDataFile&) = delete;

  StorageDriver& driver() override;

  int32_t Open(uint8_t mode) override;
  int32_t Create() override { return MakeTable(false); }
  int32_t CreateIfMissing() override { return MakeTable(true); }
  int32_t Close() override;
  int32_t BuildKeys() override;

  int32_t Next() override { return Read(true); }
  int32_t Previous() override { return Read(false); }

  int32_t Put() override { return ChangeCurrent(false); }
  int32_t Delete() override { return ChangeCurrent(true); }

  void Release() override;

  bool Duplicate(int key) override;
  int64_t Records() override;
  int32_t BeginNumbering() override;
  int32_t EndNumbering(bool keep) override;

  // The table's number in the catalogue, which names its advisory locks.
  int64_t tableId() const { return tableId_; }

 protected:
  void WaitForLocks(int seconds) override;
  bool MayHold() const override { return !readOnly_; }
  int ComponentCount(int key) const override { return sql_->ComponentCount(key); }
  int32_t RowAt(int64_t pos, std::vector<Row>* rows) override;
  int32_t RowsWithKey(int key, std::vector<Row>* rows) override;
  void SequenceChanged() override { ahead_.clear(); }
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
  int32_t Parse(StorageName* name);
  int32_t FindTable(const StorageName& name, bool* found);
  int32_t CheckTable();
  int32_t MakeTable(bool keepExisting);
  int32_t MakeTableOnce(const StorageName& name, bool keepExisting);
  int32_t RebuildIndexes();

  void BindKey(PgParams& params, const char* image, int key, int components) const;
  void BindFields(PgParams& params, const char* image) const;
  void BindFolded(PgParams& params, const char* image) const;
  int32_t Query(const std::string& sql, const PgParams& params, std::vector<Row>* rows);
  int32_t Read(bool forward);
  int32_t Fill(bool forward);
  int32_t ChangeCurrent(bool remove);

  PgDriver& driver_;
  PgConnection& connection_;
  RecordCodec codec_;
  std::unique_ptr<TableSql> sql_;
  std::string table_;
  int64_t tableId_ = 0;

  // Rows fetched ahead in one direction (QUICKSCAN): served until the
  // sequence changes direction, is set again, or this station writes.
  std::deque<Row> ahead_;
  bool aheadForward_ = true;
  bool numbering_ = false;
  bool numberingNested_ = false;
};

}  // namespace ledora::runtime
