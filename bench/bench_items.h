// The items file that the storage, view and file manager benchmarks read:
// numbered records with a description in shuffled order and a price, made in
// a fresh temporary folder in one transaction, and the raw SQLite reads they
// are compared with.
#pragma once

#include <benchmark/benchmark.h>
#include <sqlite3.h>
#include <stdlib.h>

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <filesystem>
#include <string>

#include "runtime/storage/sqlite_driver.h"

namespace ledora::bench {

#pragma pack(push, 1)
struct BenchItem {
  int32_t number;
  char name[30];
  uint8_t price[5];
};
#pragma pack(pop)

enum BenchItemKey { NumberKey, DescriptionKey };

inline const runtime::RecordLayout& BenchItemLayout() {
  static const runtime::RecordLayout layout("ITE", sizeof(BenchItem),
                                            {{"ITE:ITEMNR", runtime::FieldLong, 0, 4, 0},
                                             {"ITE:DESCRIPTION", runtime::FieldString, 4, 30, 0},
                                             {"ITE:PRICE", runtime::FieldDecimal, 34, 5, 2}});
  return layout;
}

// optionalKeys: a record whose key fields are blank has no key entry, as in
// the invoicing files; the raw reads then need the matching WHERE terms.
inline runtime::FileDeclaration BenchItemDeclaration(const std::string& name, BenchItem* buffer,
                                                     bool optionalKeys) {
  runtime::FileDeclaration file;
  file.label = "ITEMS";
  file.name = name;
  file.layout = &BenchItemLayout();
  file.buffer = buffer;
  file.keys = {{"ITE:ITEMNRKEY", {{0, false}}, true, true, false, optionalKeys},
               {"ITE:DESCRIPTIONKEY", {{1, false}}, false, false, true, optionalKeys}};
  return file;
}

// A temporary folder that goes with the object.
class BenchFolder {
 public:
  BenchFolder() {
    char pattern[] = "/tmp/ledora-bench-XXXXXX";
    path_ = mkdtemp(pattern);
  }
  ~BenchFolder() { std::filesystem::remove_all(path_); }
  BenchFolder(const BenchFolder&) = delete;
  BenchFolder& operator=(const BenchFolder&) = delete;

  const std::string& path() const { return path_; }

 private:
  std::string path_;
};

// Makes the file and adds items 1..count to it, in one transaction.
inline void MakeBenchItems(runtime::SqliteDriver& driver, runtime::DataFile& file, BenchItem& item,
                           int count) {
  file.Create();
  file.Open();
  driver.Mark(file);
  driver.Logout(10);
  for (int i = 1; i <= count; ++i) {
    item.number = i;
    std::string name = "Item " + std::to_string((i * 7919) % count);
    std::memset(item.name, ' ', sizeof item.name);
    std::memcpy(item.name, name.data(), std::min(name.size(), sizeof item.name));
    runtime::PackDecimal(runtime::Decimal::FromUnits(i, 2), item.price, 5, 2);
    file.Add();
  }
  driver.Commit();
}

// The raw read of a row whose columns ITEMNR, DESCRIPTION and PRICE start at
// column first, into item as the driver would fill it (the price packed by
// the same function the driver's reading uses).
inline void ReadRawItem(sqlite3_stmt* statement, int first, BenchItem* item) {
  item->number = sqlite3_column_int(statement, first);
  int length = sqlite3_column_bytes(statement, first + 1);
  std::memcpy(item->name, sqlite3_column_text(statement, first + 1), length);
  std::memset(item->name + length, ' ', sizeof item->name - length);
  runtime::PackDecimalFromDouble(sqlite3_column_double(statement, first + 2), item->price, 5, 2);
}

// Fetches items 1..count in turn by number with a raw prepared statement
// that reads the whole row, as the driver's fetch does: what a fetch through
// the driver or a file manager is measured against.
inline void RawFetchItems(benchmark::State& state, sqlite3* db, int count) {
  sqlite3_stmt* statement = nullptr;
  sqlite3_prepare_v2(db,
                     "SELECT _pos, _version, ITEMNR, DESCRIPTION, PRICE FROM ITEMS WHERE "
                     "ITEMNR <> 0 AND ITEMNR = ?1",
                     -1, &statement, nullptr);
  BenchItem item;
  int i = 0;
  for (auto _ : state) {
    sqlite3_bind_int(statement, 1, i++ % count + 1);
    if (sqlite3_step(statement) == SQLITE_ROW) ReadRawItem(statement, 2, &item);
    sqlite3_reset(statement);
  }
  sqlite3_finalize(statement);
  state.SetItemsProcessed(state.iterations());
}

// The same fetches through a driver's file of items, item its buffer.
inline void DriverFetchItems(benchmark::State& state, runtime::DataFile& file, BenchItem& item,
                             int count) {
  file.Open();
  int i = 0;
  for (auto _ : state) {
    item.number = i++ % count + 1;
    if (file.Fetch(NumberKey) != 0) state.SkipWithError("fetch failed");
  }
  state.SetItemsProcessed(state.iterations());
}

}  // namespace ledora::bench
