#include "runtime/storage/table_sql.h"

#include <gtest/gtest.h>
#include <sqlite3.h>

#include "tests/runtime/storage/item_file.h"

namespace ledora::runtime {
namespace {

// Reading one record in key order must be one index seek: no scan of the
// table, no sort of it, whatever the key's kind.
class QueryPlanTest : public ::testing::Test {
 protected:
  QueryPlanTest()
      : layout(testing::ItemLayout()),
        declaration(testing::ItemDeclaration("ITEMS", &layout, &record)),
        codec(layout),
        sql(declaration, codec, "main", "ITEMS") {}
  void SetUp() override {
    ASSERT_EQ(sqlite3_open(":memory:", &db), SQLITE_OK);
    ASSERT_EQ(sqlite3_exec(db, sql.CreateTable().c_str(), nullptr, nullptr, nullptr), SQLITE_OK);
    for (size_t k = 0; k < declaration.keys.size(); ++k) {
      ASSERT_EQ(
          sqlite3_exec(db, sql.CreateIndex(static_cast<int>(k)).c_str(), nullptr, nullptr, nullptr),
          SQLITE_OK)
          << sql.CreateIndex(static_cast<int>(k));
    }
  }
  void TearDown() override { sqlite3_close(db); }

  std::string Plan(const std::string& query) {
    sqlite3_stmt* statement = nullptr;
    std::string plan;
    if (sqlite3_prepare_v2(db, ("EXPLAIN QUERY PLAN " + query).c_str(), -1, &statement, nullptr) !=
        SQLITE_OK) {
      return "does not prepare: " + query;
    }
    while (sqlite3_step(statement) == SQLITE_ROW) {
      plan += reinterpret_cast<const char*>(sqlite3_column_text(statement, 3));
      plan += "; ";
    }
    sqlite3_finalize(statement);
    return plan;
  }

  testing::ItemRecord record{};
  RecordLayout layout;
  FileDeclaration declaration;
  RecordCodec codec;
  TableSql sql;
  sqlite3* db = nullptr;
};

TEST_F(QueryPlanTest, EveryKeyReadSeeksItsIndexWithoutSorting) {
  for (int key = 0; key < static_cast<int>(declaration.keys.size()); ++key) {
    std::string index = sql.IndexName(key);
    for (bool forward : {true, false}) {
      for (SeekKind seek : {SeekAtValues, SeekAtRecord, SeekAfterRecord}) {
        std::string plan = Plan(sql.Read(key, seek, forward, 1));
        EXPECT_NE(plan.find("SEARCH main.ITEMS USING INDEX " + index), std::string::npos)
            << key << " " << forward << " " << seek << ": " << plan;
        EXPECT_EQ(plan.find("TEMP B-TREE"), std::string::npos) << plan;
      }
      std::string plan = Plan(sql.Read(key, SeekFromEnd, forward, 1));
      EXPECT_NE(plan.find("INDEX " + index), std::string::npos) << plan;
      EXPECT_EQ(plan.find("TEMP B-TREE"), std::string::npos) << plan;
    }
    std::string fetch = Plan(sql.Fetch(key));
    EXPECT_NE(fetch.find("SEARCH main.ITEMS USING INDEX " + index), std::string::npos) << fetch;
  }
}

TEST_F(QueryPlanTest, RecordOrderReadsByRowId) {
  std::string plan = Plan(sql.Read(kRecordOrder, SeekAfterRecord, true, 1));
  EXPECT_NE(plan.find("SEARCH main.ITEMS USING INTEGER PRIMARY KEY"), std::string::npos) << plan;
  EXPECT_EQ(plan.find("TEMP B-TREE"), std::string::npos) << plan;
}

}  // namespace
}  // namespace ledora::runtime
