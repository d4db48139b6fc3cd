// Random garbage and damaged KDS files must give error codes, never a crash
// or a read outside a buffer; random changes must keep every key's order.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <map>
#include <random>
#include <set>

#include "runtime/storage/sqlite_driver.h"
#include "runtime/system/runtime_error.h"
#include "tests/runtime/storage/item_file.h"
#include "tests/support/temp_folder.h"

namespace ledora::runtime {
namespace {

using testing::ItemFile;
using testing::TempFolder;

std::string ReadBytes(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), {});
}

void WriteBytes(const std::string& path, const std::string& bytes) {
  std::ofstream(path, std::ios::binary | std::ios::trunc) << bytes;
}

bool KnownCode(int32_t code) {
  static const std::set<int32_t> known = {ErrorNone,
                                          ErrorFileNotFound,
                                          ErrorAccessDenied,
                                          ErrorInsufficientMemory,
                                          ErrorEntryNotFound,
                                          ErrorFileAlreadyLocked,
                                          ErrorRecordNotAvailable,
                                          ErrorRecordNotFound,
                                          ErrorInvalidDataFile,
                                          ErrorFileNotOpen,
                                          ErrorDuplicateKey,
                                          ErrorKeyMustBeRebuilt,
                                          ErrorInvalidRecordDeclaration,
                                          ErrorRecordChanged,
                                          ErrorFileSystem};
  return known.count(code) > 0;
}

// Everything a program might do with a file it managed to open.
void Exercise(ItemFile& items, std::mt19937& random) {
  for (int key = kRecordOrder; key <= testing::ExactKey; ++key) {
    EXPECT_TRUE(KnownCode(items->SetOrder(key)));
    for (int i = 0; i < 300 && items->Next() == ErrorNone; ++i) {
    }
    EXPECT_TRUE(KnownCode(CurrentError().code));
    EXPECT_TRUE(KnownCode(items->SetOrder(key)));
    for (int i = 0; i < 300 && items->Previous() == ErrorNone; ++i) {
    }
  }
  items.Fill(static_cast<int32_t>(random() % 300), "item" + std::to_string(random() % 300));
  EXPECT_TRUE(KnownCode(items->Fetch(testing::NameKey)));
  EXPECT_TRUE(KnownCode(items->FetchAt(std::to_string(random() % 300 + 1))));
  items->Records();
  if (random() % 4 == 0) {
    EXPECT_TRUE(KnownCode(items->Put()));
    EXPECT_TRUE(KnownCode(items.Add(static_cast<int32_t>(random()), "fuzz")));
  }
}

TEST(StorageFuzzTest, GarbageFilesAreRefusedWithErrorCodes) {
  TempFolder folder;
  SqliteDriver driver;
  std::mt19937 random(1234);
  const std::string header("SQLite format 3\0", 16);
  for (int round = 0; round < 200; ++round) {
    std::string bytes(random() % 9000, '\0');
    for (char& c : bytes) c = static_cast<char>(random());
    if (round % 2 == 0 && bytes.size() >= 100) bytes.replace(0, 16, header);
    WriteBytes(folder.File("GARBAGE.KDS"), bytes);
    ItemFile items(driver, folder.File("GARBAGE"));
    int32_t code = items->Open();
    EXPECT_NE(code, ErrorNone);
    EXPECT_TRUE(KnownCode(code)) << code;
    EXPECT_TRUE(KnownCode(items->Create()));
  }
}

TEST(StorageFuzzTest, DamagedFilesGiveErrorCodesOrConsistentReads) {
  TempFolder folder;
  SqliteDriver driver;
  std::string good;
  {
    ItemFile items(driver, folder.File("GOOD"));
    ASSERT_EQ(items->Create(), 0);
    ASSERT_EQ(items->Open(), 0);
    ASSERT_EQ(driver.Mark(items.file()), 0);
    ASSERT_EQ(driver.Logout(1), 0);
    for (int i = 1; i <= 250; ++i) {
      ASSERT_EQ(items.Add(i, "item" + std::to_string(i), "G" + std::to_string(i % 7), i % 13), 0);
    }
    ASSERT_EQ(driver.Commit(), 0);
    ASSERT_EQ(items->Close(), 0);
    good = ReadBytes(folder.File("GOOD.KDS"));
  }
  std::mt19937 random(99);
  int opened = 0;
  for (int round = 0; round < 60; ++round) {
    std::string bytes = good;
    switch (round % 3) {
      case 0:
        bytes.resize(random() % bytes.size());
        break;
      case 1:
        for (int i = 0; i < 1 + round % 20; ++i)
          bytes[random() % bytes.size()] ^= 1 << (random() % 8);
        break;
      default: {
        size_t page = random() % (bytes.size() / 4096);
        std::fill_n(bytes.begin() + page * 4096, 4096, static_cast<char>(random()));
      }
    }
    WriteBytes(folder.File("DAMAGED.KDS"), bytes);
    ItemFile items(driver, folder.File("DAMAGED"));
    int32_t code = items->Open();
    EXPECT_TRUE(KnownCode(code)) << code;
    if (code == ErrorNone) {
      ++opened;
      Exercise(items, random);
    }
    EXPECT_TRUE(KnownCode(items->BuildKeys()));
  }
  EXPECT_GT(opened, 0);  // else the reads above were never tried
}

// Random adds, writes and deletes against a plain model of the records: the
// case-insensitive dups key must list them by clipped upper-case name, then
// in the order they were added.
TEST(StorageFuzzTest, RandomChangesKeepKeyOrder) {
  TempFolder folder;
  SqliteDriver driver;
  ItemFile items(driver, folder.File("ITEMS"));
  ASSERT_EQ(items->Create(), 0);
  ASSERT_EQ(items->Open(), 0);
  std::mt19937 random(7);
  std::map<int64_t, std::string> model;  // position -> name as written
  const char* names[] = {"", "a", "A", "b", "B ", "ab", "Ab", "a b", "\xe9", "zz", "Z"};
  auto upper = [](std::string name) {
    while (!name.empty() && name.back() == ' ') name.pop_back();
    for (char& c : name) c = static_cast<char>(toupper(static_cast<unsigned char>(c)));
    return name;
  };
  ASSERT_EQ(driver.Mark(items.file()), 0);
  ASSERT_EQ(driver.Logout(1), 0);
  int32_t nextNumber = 1;
  for (int step = 0; step < 1500; ++step) {
    std::string name = names[random() % std::size(names)];
    int action = static_cast<int>(random() % 3);
    if (action == 0 || model.empty()) {
      items.Fill(nextNumber++, name, "g" + std::to_string(step));
      ASSERT_EQ(items->Add(), 0);
      model[std::stoll(items->Position())] = name;
      continue;
    }
    auto it = std::next(model.begin(), static_cast<long>(random() % model.size()));
    ASSERT_EQ(items->FetchAt(std::to_string(it->first)), 0);
    if (action == 1) {
      items.Fill(items.r.number, name, "h" + std::to_string(step));
      ASSERT_EQ(items->Put(), 0);
      it->second = name;
    } else {
      ASSERT_EQ(items->Delete(), 0);
      model.erase(it);
    }
  }
  ASSERT_EQ(driver.Commit(), 0);
  std::vector<std::pair<std::string, int64_t>> expected;
  for (const auto& [pos, name] : model) {
    if (!upper(name).empty()) expected.emplace_back(upper(name), pos);
  }
  std::sort(expected.begin(), expected.end());
  ASSERT_EQ(items->SetOrder(testing::NameKey), 0);
  std::vector<std::pair<std::string, int64_t>> actual;
  while (items->Next() == 0)
    actual.emplace_back(upper(items.Name()), std::stoll(items->Position()));
  EXPECT_EQ(actual, expected);
  EXPECT_EQ(items->Records(), static_cast<int64_t>(model.size()));
}

}  // namespace
}  // namespace ledora::runtime
