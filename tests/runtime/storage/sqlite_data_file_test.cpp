#include "runtime/storage/sqlite_data_file.h"

#include <gtest/gtest.h>

#include <filesystem>

#include "runtime/storage/sqlite_driver.h"
#include "runtime/system/runtime_error.h"
#include "tests/runtime/storage/item_file.h"
#include "tests/support/temp_folder.h"

namespace ledora::runtime {
namespace {

using testing::ItemFile;
using testing::ItemRecord;
using testing::TempFolder;
using Numbers = std::vector<int32_t>;

TEST(DataFileOpenTest, MissingFileIsNotFoundUntilCreated) {
  TempFolder folder;
  SqliteDriver driver;
  ItemFile items(driver, folder.File("ITEMS"));
  EXPECT_EQ(items->Open(), ErrorFileNotFound);
  EXPECT_EQ(CurrentError().code, ErrorFileNotFound);
  EXPECT_EQ(CurrentError().text, "File Not Found");
  ASSERT_EQ(items->Create(), 0);
  EXPECT_FALSE(items->IsOpen());
  EXPECT_TRUE(std::filesystem::exists(folder.File("ITEMS.KDS")));
  ASSERT_EQ(items->Open(), 0);
  EXPECT_EQ(items->Open(), ErrorFileAlreadyOpen);
  EXPECT_EQ(items->Records(), 0);
}

TEST(DataFileOpenTest, CreateIfMissingKeepsWhatAnotherStationMade) {
  TempFolder folder;
  SqliteDriver mine;
  SqliteDriver theirs;
  ItemFile items(mine, folder.File("ITEMS"));
  ItemFile other(theirs, folder.File("ITEMS"));
  ASSERT_EQ(other->CreateIfMissing(), 0);
  ASSERT_EQ(other->Open(), 0);
  ASSERT_EQ(other.Add(1, "one"), 0);
  ASSERT_EQ(other->Close(), 0);
  // Both stations found the file missing; the later create must not empty it.
  ASSERT_EQ(items->CreateIfMissing(), 0);
  ASSERT_EQ(items->Open(), 0);
  EXPECT_EQ(items->Records(), 1);
  ASSERT_EQ(items->Close(), 0);
  ASSERT_EQ(items->Create(), 0);
  ASSERT_EQ(items->Open(), 0);
  EXPECT_EQ(items->Records(), 0);
}

TEST(DataFileOpenTest, NameIgnoresLetterCaseOfExistingFile) {
  TempFolder folder;
  SqliteDriver driver;
  ItemFile created(driver, folder.File("Items.kds"));
  ASSERT_EQ(created->Create(), 0);
  ItemFile items(driver, folder.File("ITEMS"));
  EXPECT_EQ(items->Open(), 0);
}

TEST(DataFileOpenTest, TablesOfOneFileAreSeparateAndCreateReplacesOnlyItsOwn) {
  TempFolder folder;
  SqliteDriver driver;
  ItemFile first(driver, folder.File("Design.KDS") + "\\!First");
  ItemFile second(driver, folder.File("DESIGN.kds") + "\\!Second");
  ASSERT_EQ(first->Create(), 0);
  EXPECT_EQ(second->Open(), ErrorFileNotFound);  // the file exists, the table does not
  ASSERT_EQ(second->Create(), 0);
  ASSERT_EQ(first->Open(), 0);
  ASSERT_EQ(second->Open(), 0);
  ASSERT_EQ(first.Add(1, "one"), 0);
  ASSERT_EQ(second.Add(1, "uno"), 0);
  ASSERT_EQ(second.Add(2, "due"), 0);
  EXPECT_EQ(first->Records(), 1);
  EXPECT_EQ(second->Records(), 2);
  ASSERT_EQ(second->Close(), 0);
  ASSERT_EQ(second->Create(), 0);
  ASSERT_EQ(second->Open(), 0);
  EXPECT_EQ(second->Records(), 0);
  EXPECT_EQ(first->Records(), 1);
}

TEST(DataFileOpenTest, BadNamesAndClosedFilesAreRefused) {
  TempFolder folder;
  SqliteDriver driver;
  ItemFile blank(driver, "   ");
  EXPECT_EQ(blank->Open(), ErrorInvalidFilename);
  ItemFile noTable(driver, folder.File("X.KDS") + "\\!");
  EXPECT_EQ(noTable->Create(), ErrorInvalidFilename);
  ItemFile folderName(driver, folder.path() + "/.");
  EXPECT_EQ(folderName->Open(), ErrorInvalidFilename);
  ItemFile closed(driver, folder.File("CLOSED"));
  EXPECT_EQ(closed->Next(), ErrorFileNotOpen);
  EXPECT_EQ(closed->Add(), ErrorFileNotOpen);
  EXPECT_EQ(closed->Records(), -1);
  EXPECT_EQ(closed->Close(), 0);
}

TEST(DataFileOpenTest, TenFilesOpenAtOnceAndTheEleventhIsRefused) {
  TempFolder folder;
  SqliteDriver driver;
  std::vector<std::unique_ptr<ItemFile>> files;
  for (int i = 0; i < 11; ++i) {
    files.push_back(std::make_unique<ItemFile>(driver, folder.File("F" + std::to_string(i))));
    ASSERT_EQ(files.back()->file().Create(), 0);
  }
  for (int i = 0; i < 10; ++i) ASSERT_EQ(files[i]->file().Open(), 0);
  EXPECT_EQ(files[10]->file().Open(), ErrorTooManyOpenFiles);
  ASSERT_EQ(files[0]->file().Close(), 0);
  EXPECT_EQ(files[10]->file().Open(), 0);
}

TEST(DataFileOpenTest, ARelativeAndAnAbsoluteNameOfOneFileAreOneFile) {
  TempFolder folder;
  std::filesystem::path before = std::filesystem::current_path();
  std::filesystem::current_path(folder.path());
  {
    SqliteDriver driver;
    ItemFile relative(driver, "ITEMS");
    ItemFile absolute(driver, folder.File("items.kds"));
    ASSERT_EQ(relative->Create(), 0);
    ASSERT_EQ(relative->Open(), 0);
    ASSERT_EQ(absolute->Open(), 0);
    ASSERT_EQ(driver.Mark(relative.file()), 0);
    ASSERT_EQ(driver.Logout(0), 0);
    ASSERT_EQ(relative.Add(1, "one"), 0);
    EXPECT_EQ(absolute.Add(2, "two"), 0);  // one transaction, not a rival lock
    ASSERT_EQ(driver.Commit(), 0);
    EXPECT_EQ(absolute->Records(), 2);
  }
  std::filesystem::current_path(before);
}

TEST(DataFileOpenTest, AReaderAndThenAWriterOfOneFileBothWork) {
  TempFolder folder;
  SqliteDriver driver;
  ItemFile reader(driver, folder.File("ITEMS"));
  ItemFile writer(driver, folder.File("ITEMS"));
  ASSERT_EQ(reader->Create(), 0);
  ASSERT_EQ(reader->Open(AccessReadOnly | DenyNone), 0);
  ASSERT_EQ(writer->Open(), 0);
  ASSERT_EQ(writer.Add(1, "one"), 0);
  EXPECT_EQ(reader->Records(), 1);
  EXPECT_EQ(reader.Add(2, "two"), ErrorAccessDenied);
}

}  // namespace
}  // namespace ledora::runtime
