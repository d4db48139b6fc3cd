// Files that are not what the program declares, and writes that cannot finish.
#include <gtest/gtest.h>
#include <sqlite3.h>
#include <sys/resource.h>
#include <sys/stat.h>

#include <filesystem>
#include <fstream>

#include "runtime/storage/sqlite_driver.h"
#include "runtime/system/runtime_error.h"
#include "tests/runtime/storage/child_process.h"
#include "tests/runtime/storage/item_file.h"
#include "tests/support/temp_folder.h"

namespace ledora::runtime {
namespace {

using testing::ChildProcess;
using testing::ItemFile;
using testing::TempFolder;

void WriteFile(const std::string& path, const std::string& bytes) {
  std::ofstream(path, std::ios::binary) << bytes;
}

std::string ReadFile(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), {});
}

// Runs SQL on a file the way another program would.
void Sql(const std::string& path, const std::string& sql) {
  sqlite3* db = nullptr;
  ASSERT_EQ(sqlite3_open(path.c_str(), &db), SQLITE_OK);
  char* message = nullptr;
  EXPECT_EQ(sqlite3_exec(db, sql.c_str(), nullptr, nullptr, &message), SQLITE_OK) << message;
  sqlite3_free(message);
  sqlite3_close(db);
}

class FaultsTest : public ::testing::Test {
 protected:
  FaultsTest() : items(driver, folder.File("ITEMS")) {}
  void MakeItems(int count) {
    ASSERT_EQ(items->Create(), 0);
    ASSERT_EQ(items->Open(), 0);
    for (int i = 1; i <= count; ++i) ASSERT_EQ(items.Add(i, "item" + std::to_string(i)), 0);
    ASSERT_EQ(items->Close(), 0);
  }

  TempFolder folder;
  SqliteDriver driver;
  ItemFile items;
};

TEST_F(FaultsTest, AFileThatIsNotADatabaseIsInvalidAndNeverOverwritten) {
  std::string garbage = "This is a text file, not a data file.\n" + std::string(5000, 'x');
  WriteFile(folder.File("ITEMS.KDS"), garbage);
  EXPECT_EQ(items->Open(), ErrorInvalidDataFile);
  EXPECT_EQ(CurrentError().text, "Invalid Data File");
  EXPECT_EQ(items->Create(), ErrorInvalidDataFile);
  EXPECT_EQ(items->BuildKeys(), ErrorInvalidDataFile);
  EXPECT_EQ(ReadFile(folder.File("ITEMS.KDS")), garbage);
}

TEST_F(FaultsTest, AnEmptyFileIsAFileStillToBeMade) {
  WriteFile(folder.File("ITEMS.KDS"), "");
  EXPECT_EQ(items->Open(), ErrorFileNotFound);
  ASSERT_EQ(items->Create(), 0);
  EXPECT_EQ(items->Open(), 0);
}

TEST_F(FaultsTest, AnotherProgramsDatabaseIsInvalid) {
  Sql(folder.File("ITEMS.KDS"), "CREATE TABLE ITEMS(NUMBER INTEGER); INSERT INTO ITEMS VALUES(1)");
  EXPECT_EQ(items->Open(), ErrorInvalidDataFile);
  EXPECT_EQ(items->Create(), ErrorInvalidDataFile);
}

TEST_F(FaultsTest, ColumnsThatDoNotMatchTheRecordAreAnInvalidDeclaration) {
  MakeItems(1);
  RecordLayout layout = testing::ItemLayout();
  std::vector<FieldDescriptor> fields = layout.fields();
  fields[1].size = 19;  // NAME as STRING(19)
  RecordLayout narrower("ITM", layout.recordSize(), fields);
  testing::ItemRecord record;
  SqliteDriver other;
  auto file = other.Declare(testing::ItemDeclaration(folder.File("ITEMS"), &narrower, &record));
  EXPECT_EQ(file->Open(), ErrorInvalidRecordDeclaration);
  EXPECT_EQ(CurrentError().text, "Invalid Record Declaration");
  fields.pop_back();  // one field fewer
  RecordLayout shorter("ITM", layout.recordSize(), fields);
  file = other.Declare(testing::ItemDeclaration(folder.File("ITEMS"), &shorter, &record));
  EXPECT_EQ(file->Open(), ErrorInvalidRecordDeclaration);
  Sql(folder.File("ITEMS.KDS"), "ALTER TABLE ITEMS ADD COLUMN EXTRA INTEGER");
  EXPECT_EQ(items->Open(), ErrorInvalidRecordDeclaration);
}

TEST_F(FaultsTest, DeclarationsThatDescribeNoRecordAreRefused) {
  RecordLayout layout = testing::ItemLayout();
  testing::ItemRecord record;
  auto broken = testing::ItemDeclaration(folder.File("X"), &layout, &record);
  broken.keys[1].components = {{42, false}};
  EXPECT_EQ(driver.Declare(broken)->Create(), ErrorInvalidRecordDeclaration);
  broken = testing::ItemDeclaration(folder.File("X"), &layout, nullptr);
  EXPECT_EQ(driver.Declare(broken)->Open(), ErrorInvalidRecordDeclaration);
  std::vector<FieldDescriptor> fields = layout.fields();
  fields[7].offset = 50;  // runs past the record's end
  RecordLayout overflowing("ITM", layout.recordSize(), fields);
  broken = testing::ItemDeclaration(folder.File("X"), &overflowing, &record);
  EXPECT_EQ(driver.Declare(broken)->Create(), ErrorInvalidRecordDeclaration);
  EXPECT_FALSE(std::filesystem::exists(folder.File("X.KDS")));
}

TEST_F(FaultsTest, AMissingOrAlteredIndexMustBeRebuilt) {
  MakeItems(3);
  Sql(folder.File("ITEMS.KDS"), "DROP INDEX ITEMS_NAMEKEY");
  EXPECT_EQ(items->Open(), ErrorKeyMustBeRebuilt);
  EXPECT_EQ(CurrentError().text, "Key File Must Be Rebuilt");
  ASSERT_EQ(items->BuildKeys(), 0);
  ASSERT_EQ(items->Open(), 0);
  ASSERT_EQ(items->SetOrder(testing::NameKey), 0);
  EXPECT_EQ(items.ReadAll(), (std::vector<int32_t>{1, 2, 3}));
  ASSERT_EQ(items->Close(), 0);
  // The same name but no longer unique, or no longer case-insensitive.
  Sql(folder.File("ITEMS.KDS"),
      "DROP INDEX ITEMS_NUMBERKEY; CREATE INDEX ITEMS_NUMBERKEY ON ITEMS(NUMBER)");
  EXPECT_EQ(items->Open(), ErrorKeyMustBeRebuilt);
  ASSERT_EQ(items->BuildKeys(), 0);
  Sql(folder.File("ITEMS.KDS"),
      "DROP INDEX ITEMS_NAMEKEY; CREATE INDEX ITEMS_NAMEKEY ON ITEMS(NAME) WHERE NAME <> ''");
  EXPECT_EQ(items->Open(), ErrorKeyMustBeRebuilt);
  ASSERT_EQ(items->BuildKeys(), 0);
  EXPECT_EQ(items->Open(), 0);
}

TEST_F(FaultsTest, RebuildingAUniqueKeyOverDuplicatesFailsAndChangesNothing) {
  MakeItems(2);
  Sql(folder.File("ITEMS.KDS"), "DROP INDEX ITEMS_NUMBERKEY; UPDATE ITEMS SET NUMBER = 1");
  EXPECT_EQ(items->BuildKeys(), ErrorDuplicateKey);
  EXPECT_EQ(items->Open(), ErrorKeyMustBeRebuilt);
}

TEST_F(FaultsTest, AReadOnlyFileRefusesWriteAccessButOpensForReading) {
  MakeItems(2);
  ASSERT_EQ(chmod(folder.File("ITEMS.KDS").c_str(), 0444), 0);
  EXPECT_EQ(items->Open(), ErrorAccessDenied);
  EXPECT_EQ(CurrentError().text, "Access Denied");
  ASSERT_EQ(items->Open(AccessReadOnly | DenyNone), 0);
  ASSERT_EQ(items->SetOrder(testing::NumberKey), 0);
  EXPECT_EQ(items.ReadAll(), (std::vector<int32_t>{1, 2}));
  EXPECT_EQ(items.Add(3, "three"), ErrorAccessDenied);
  EXPECT_EQ(items->Create(), ErrorFileAlreadyOpen);
  ASSERT_EQ(items->Close(), 0);
  EXPECT_EQ(items->Create(), ErrorAccessDenied);
  EXPECT_EQ(items->BuildKeys(), ErrorAccessDenied);
}

TEST_F(FaultsTest, CreatingInAMissingFolderNamesThePath) {
  ItemFile nowhere(driver, folder.File("no/such/folder/ITEMS"));
  EXPECT_EQ(nowhere->Create(), ErrorPathNotFound);
}

// The child may write only a little more than the file holds: every later
// write fails as on a full disk.
TEST_F(FaultsTest, AWriteThatCannotFinishLeavesTheFileAsItWas) {
  MakeItems(5);
  std::string name = folder.File("ITEMS");
  std::string before = ReadFile(folder.File("ITEMS.KDS"));
  ChildProcess child([&](const std::function<void()>&) {
    signal(SIGXFSZ, SIG_IGN);
    struct rlimit limit = {before.size() + 4096, before.size() + 4096};
    setrlimit(RLIMIT_FSIZE, &limit);
    SqliteDriver driver;
    ItemFile items(driver, name);
    if (items->Open() != 0) return 1;
    if (driver.Mark(items.file()) != 0 || driver.Logout(1) != 0) return 2;
    for (int i = 100; i < 2000; ++i) {
      items.Fill(i, "big" + std::to_string(i));
      if (int32_t code = items->Add(); code != 0) {
        driver.Rollback();
        return code;
      }
    }
    int32_t code = driver.Commit();
    return code == 0 ? 3 : code;
  });
  EXPECT_EQ(child.Wait(), ErrorFileSystem);
  ASSERT_EQ(items->Open(), 0);
  EXPECT_EQ(items->Records(), 5);
  ASSERT_EQ(items->SetOrder(testing::NameKey), 0);
  EXPECT_EQ(items.ReadAll().size(), 5u);
  EXPECT_EQ(items.Add(6, "six"), 0);
}

}  // namespace
}  // namespace ledora::runtime
