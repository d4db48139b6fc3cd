// Building keys on a file another station filled after this one last looked
// at it: a build that fails must undo only itself, never the other station's
// records.
#include <gtest/gtest.h>

#include <memory>
#include <string>

#include "runtime/storage/sqlite_driver.h"
#include "runtime/system/runtime_error.h"
#include "tests/runtime/storage/item_file.h"
#include "tests/support/temp_folder.h"

namespace ledora::runtime {
namespace {

using testing::ItemFile;
using testing::ItemRecord;

constexpr int kRecords = 300;

int64_t Count(const std::string& name) {
  SqliteDriver driver;
  ItemRecord record;
  RecordLayout layout = testing::ItemLayout();
  FileDeclaration declaration = testing::ItemDeclaration(name, &layout, &record);
  declaration.keys.pop_back();  // whatever the exact key's index is, the rows count
  std::unique_ptr<DataFile> file = driver.Declare(declaration);
  if (file->Open() != ErrorNone) return -1;
  int64_t records = file->Records();
  file->Close();
  return records;
}

TEST(RebuildKeysStationsTest, FailedBuildKeepsRecordsAnotherStationAddedMeanwhile) {
  testing::TempFolder folder;
  std::string items = folder.File("SHARED.KDS") + "\\!Items";
  // This station has the file in use (another table of it) while it is small.
  SqliteDriver mine;
  ItemFile other(mine, folder.File("SHARED.KDS") + "\\!Other");
  ASSERT_EQ(other->Create(), ErrorNone);
  ASSERT_EQ(other->Open(), ErrorNone);
  ASSERT_EQ(other.Add(1, "one"), ErrorNone);

  // Another station makes the items table with duplicates allowed on the
  // exact key, and fills it with names that repeat.
  {
    SqliteDriver theirs;
    ItemRecord record;
    RecordLayout layout = testing::ItemLayout();
    FileDeclaration declaration = testing::ItemDeclaration(items, &layout, &record);
    declaration.keys.back().unique = false;
    std::unique_ptr<DataFile> file = theirs.Declare(declaration);
    ASSERT_EQ(file->Create(), ErrorNone);
    ASSERT_EQ(file->Open(), ErrorNone);
    for (int n = 1; n <= kRecords; ++n) {
      memset(&record, ' ', sizeof record);
      record.number = n;
      memcpy(record.name, "same", 4);
      ASSERT_EQ(file->Add(), ErrorNone);
    }
    ASSERT_EQ(file->Close(), ErrorNone);
  }

  // Here the exact key is unique: its index cannot be built over that data.
  ItemFile mineItems(mine, items);
  EXPECT_NE(mineItems->BuildKeys(), ErrorNone);
  EXPECT_EQ(Count(items), kRecords);
  EXPECT_EQ(other->Close(), ErrorNone);
  EXPECT_EQ(Count(items), kRecords);
}

}  // namespace
}  // namespace ledora::runtime
