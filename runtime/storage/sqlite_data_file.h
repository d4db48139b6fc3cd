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
#include <vector>

#include "runtime/storage/data_file.h"
#include "runtime/storage/record_codec.h"
#include "runtime/storage/sqlite_cursor.h"
#include "runtime/storage/storage_name.h"
#include "runtime/storage/table_sql.h"

namespace ledora::runtime {

class SqliteDriver;
class SqliteConnection;
struct Attachment;

class SqliteDataFile final : public DataFile {
 public:
  SqliteDataFile(SqliteDriver& driver, FileDeclaration declaration);
  ~SqliteDataFile() override;
  SqliteDataFile(const SqliteDataFile&) = delete;
  SqliteDataFile& operator=(const SqliteDataFile&) = delete;

  StorageDriver& driver() override;
  const FileDeclaration& declaration() const override { return declaration_; }
  void SetName(std::string name) override { declaration_.name = std::move(name); }

  int32_t Open(uint8_t mode) override;
  int32_t Create() override;
  int32_t CreateIfMissing() override;
  int32_t Close() override;
  bool IsOpen() const override { return open_; }
  int32_t BuildKeys() override;
  int32_t Send(std::string_view command) override;

  int32_t SetOrder(int key) override;
  int32_t SetOnKey(int key) override;
  int32_t SetOnPosition(int key, std::string_view position) override;
  int32_t SetAfterPosition(int key, std::string_view position) override;
  int32_t SetLimits(KeyLimit first, KeyLimit last) override;
  int32_t Next() override { return Read(true); }
  int32_t Previous() override { return Read(false); }
  int32_t Fetch(int key) override;
  int32_t FetchAt(std::string_view position) override;
  std::string Position() const override;

  int32_t Add() override;
  int32_t Put() override;
  int32_t Delete() override;

  int32_t Hold(int seconds) override;
  void Release() override;
  bool IsHeld() const override { return heldPos_ != 0 && heldPos_ == currentPos_; }
  void Watch() override { watched_ = true; }
  bool IsWatched() const override { return watched_; }

  bool Duplicate(int key) override;
  int64_t Records() override;

  // The attached database's name on the driver's connection.
  const std::string& schema() const;
  // Rows SQLite has handed this file, for tests and benchmarks.
  int64_t rowsStepped() const { return rowsStepped_; }

 private:
  struct Row {
    int64_t pos = 0;
    int64_t version = 0;
    std::vector<char> image;
  };
  enum Anchor { AnchorNone, AnchorEnds, AnchorValues, AnchorRecord, AnchorAfter, AnchorPastEnd };

  // Opening pieces.
  int32_t AttachFile(bool write, bool create, StorageName* name);
  int32_t FindTable(const StorageName& name);
  int32_t CheckColumns();
  int32_t CheckKeys();
  int32_t Share(uint8_t mode);
  void Unshare();
  void DetachFile();
  int32_t MakeTable(bool keepExisting);
  int32_t RecreateTable(const StorageName& name, bool keepExisting);
  int32_t MakeTableOnce(const StorageName& name, bool keepExisting);
  int32_t Abandon(bool nested, int32_t code);
  int Catalogue(const std::string& table);
  int32_t RebuildIndexes();
  bool OthersUseTable();

  // Operation pieces.
  int32_t Ready(bool write);
  bool ValidKey(int key) const;
  sqlite3_stmt* Prepare(const std::string& sql, int32_t* code);
  int32_t Query(const std::string& sql, const char* keyImage, int key, int64_t pos, int limit,
                std::vector<Row>* rows);
  int32_t Read(bool forward);
  int32_t ReadOne(bool forward);
  int32_t BeginCursor(bool forward);
  SeekKind AnchorSeek() const;
  sqlite3_stmt* SequenceStatement(bool forward, int limit, int32_t* code);
  int32_t SetAtPosition(int key, std::string_view position, Anchor anchor);
  Row TakeRow(sqlite3_stmt* statement);
  int32_t Accept(const Row& row, bool inSequence);
  int32_t TakeHold(int64_t pos);
  bool HeldElsewhere(int64_t pos);
  int32_t ChangeCurrent(bool remove);

  SqliteDriver& driver_;
  SqliteConnection& connection_;
  FileDeclaration declaration_;
  RecordCodec codec_;
  std::unique_ptr<TableSql> sql_;
  Attachment* attachment_ = nullptr;
  std::string table_;
  int64_t tableId_ = 0;
  std::map<std::string, sqlite3_stmt*> statements_;

  bool open_ = false;
  bool readOnly_ = false;
  std::vector<int> sharedSlots_;
  int recoverSeconds_ = 5;
  bool quickScan_ = false;

  int sequenceKey_ = kRecordOrder;
  Anchor anchor_ = AnchorNone;
  bool pastEndForward_ = true;
  std::vector<char> anchorImage_;
  int64_t anchorPos_ = 0;
  KeyLimit limitFirst_, limitLast_;  // records point into the images below
  std::vector<char> limitFirstImage_, limitLastImage_;
  int64_t rowsStepped_ = 0;
  SqliteCursor cursor_;

  int64_t currentPos_ = 0;
  int64_t currentVersion_ = 0;
  bool holdArmed_ = false;
  int holdSeconds_ = 0;
  int64_t heldPos_ = 0;
  bool watched_ = false;
};

}  // namespace ledora::runtime
