// What every storage driver does the same, run on each: records byte for
// byte, key orders, sequences, positions and writes.
#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <limits>

#include "runtime/system/runtime_error.h"
#include "tests/runtime/storage/engines.h"
#include "tests/runtime/storage/item_file.h"
#include "tests/support/temp_folder.h"

namespace ledora::runtime {
namespace {

using testing::ItemFile;
using testing::ItemRecord;
using testing::TempFolder;
using Numbers = std::vector<int32_t>;

class DataFileTest : public ::testing::TestWithParam<testing::Engine> {
 protected:
  DataFileTest() : driver(testing::MakeDriver(GetParam())), items(*driver, folder.File("ITEMS")) {}
  void SetUp() override {
    ASSERT_EQ(items->Create(), 0) << CurrentError().fileErrorText;
    ASSERT_EQ(items->Open(), 0) << CurrentError().fileErrorText;
  }

  TempFolder folder;
  std::unique_ptr<StorageDriver> driver;
  ItemFile items;
};

INSTANTIATE_TEST_SUITE_P(Engines, DataFileTest,
                         ::testing::Values(testing::EngineSqlite, testing::EnginePostgres),
                         testing::EngineName);

TEST_P(DataFileTest, EveryFieldComesBackByteForByte) {
  items.Fill(7, "Caf\xe9 na\xefve");
  const char binary[12] = {'\0',   '\x01', '\xff', ' ', 'A',  '\0',
                           '\x7f', '\x80', '\x0a', ' ', '\0', ' '};
  memcpy(items.r.data, binary,
         sizeof binary);  // ends in a blank that is padding, and NULs that are not
  items.r.stock = -32768;
  items.r.flag = 255;
  items.r.weight = -0.0;
  ItemRecord written = items.r;
  ASSERT_EQ(items->Add(), 0);
  items.Clear();
  ASSERT_EQ(items->FetchAt("1"), 0);
  EXPECT_EQ(memcmp(&items.r, &written, sizeof written), 0);
  EXPECT_TRUE(std::signbit(items.r.weight));

  // Values that no typed column keeps exactly: NaN, a packed decimal with a
  // stray sign nibble, and more digits than a double holds.
  items.r.weight = std::numeric_limits<double>::quiet_NaN();
  memcpy(items.r.price, "\xf0\x00\x00\x00\x00", 5);
  written = items.r;
  ASSERT_EQ(items->Put(), 0);
  items.Clear();
  ASSERT_EQ(items->FetchAt("1"), 0);
  EXPECT_EQ(memcmp(&items.r, &written, sizeof written), 0);
}

TEST_P(DataFileTest, KeyOrderIgnoresCaseAndTrailingBlanksAndKeepsDuplicatesInAddOrder) {
  ASSERT_EQ(items.Add(1, "beta"), 0);
  ASSERT_EQ(items.Add(2, "Alpha"), 0);
  ASSERT_EQ(items.Add(3, "ALPHA"), 0);
  ASSERT_EQ(items.Add(4, "alpha"), 0);
  ASSERT_EQ(items.Add(5, "alph"), 0);
  ASSERT_EQ(items->SetOrder(testing::NameKey), 0);
  EXPECT_EQ(items.ReadAll(), (Numbers{5, 2, 3, 4, 1}));
  ASSERT_EQ(items->SetOrder(testing::NameKey), 0);
  EXPECT_EQ(items.ReadAll(false), (Numbers{1, 4, 3, 2, 5}));
  // Put keeps a record's place among its equals.
  ASSERT_EQ(items->FetchAt("2"), 0);
  items.r.stock = 9;
  ASSERT_EQ(items->Put(), 0);
  ASSERT_EQ(items->SetOrder(testing::NameKey), 0);
  EXPECT_EQ(items.ReadAll(), (Numbers{5, 2, 3, 4, 1}));
}

TEST_P(DataFileTest, SetOnKeyStartsAtPartialValueInBothDirections) {
  for (int i = 1; i <= 6; ++i) ASSERT_EQ(items.Add(i * 10, "n" + std::to_string(i)), 0);
  items.Clear();
  items.r.number = 35;
  ASSERT_EQ(items->SetOnKey(testing::NumberKey), 0);
  EXPECT_EQ(items.ReadAll(), (Numbers{40, 50, 60}));
  items.r.number = 30;
  ASSERT_EQ(items->SetOnKey(testing::NumberKey), 0);
  EXPECT_EQ(items.ReadAll(false), (Numbers{30, 20, 10}));
  // Past the end the sequence stays there; turning round reads the last one.
  ASSERT_EQ(items->SetOrder(testing::NumberKey), 0);
  EXPECT_EQ(items.ReadAll().size(), 6u);
  EXPECT_EQ(items->Next(), ErrorRecordNotAvailable);
  ASSERT_EQ(items->Previous(), 0);
  EXPECT_EQ(items.Number(), 60);
  // Changing direction after a read continues from that record.
  ASSERT_EQ(items->Previous(), 0);
  ASSERT_EQ(items->Next(), 0);
  EXPECT_EQ(items.Number(), 60);
}

TEST_P(DataFileTest, MixedDirectionKeyOrdersEachComponentItsOwnWay) {
  ASSERT_EQ(items.Add(1, "a", "B", 5), 0);
  ASSERT_EQ(items.Add(2, "b", "A", 1), 0);
  ASSERT_EQ(items.Add(3, "c", "A", 7), 0);
  ASSERT_EQ(items.Add(4, "d", "B", 5), 0);
  ASSERT_EQ(items.Add(5, "e", "B", 9), 0);
  ASSERT_EQ(items->SetOrder(testing::GroupKey), 0);
  EXPECT_EQ(items.ReadAll(), (Numbers{3, 2, 5, 1, 4}));
  ASSERT_EQ(items->SetOrder(testing::GroupKey), 0);
  EXPECT_EQ(items.ReadAll(false), (Numbers{4, 1, 5, 2, 3}));
  items.Fill(0, "", "B", 5);
  ASSERT_EQ(items->SetOnKey(testing::GroupKey), 0);
  EXPECT_EQ(items.ReadAll(), (Numbers{1, 4}));
}

// Both engines read a decimal key in the numbers' order, negatives first
// and a zero price left out of an optional key.
TEST_P(DataFileTest, DecimalKeysReadInNumericOrder) {
  testing::ItemRecord& r = items.r;
  FileDeclaration declaration =
      testing::ItemDeclaration(folder.File("PRICES"), items->declaration().layout, &r);
  declaration.keys = {{"ITM:PRICEKEY", {{3, false}}, false, false, false, true}};
  std::unique_ptr<DataFile> prices = driver->Declare(declaration);
  ASSERT_EQ(prices->Create(), 0) << CurrentError().fileErrorText;
  ASSERT_EQ(prices->Open(), 0) << CurrentError().fileErrorText;
  for (int32_t number : {5, -3, 0, -12, 40, -1}) {
    items.Fill(number, "");
    ASSERT_EQ(prices->Add(), 0);
  }
  items.Fill(7, "");
  std::memset(r.price, 0, sizeof r.price);
  ASSERT_EQ(prices->Add(), 0);
  auto read = [&](bool forward) {
    Numbers numbers;
    while ((forward ? prices->Next() : prices->Previous()) == 0) numbers.push_back(r.number);
    return numbers;
  };
  ASSERT_EQ(prices->SetOrder(0), 0);
  EXPECT_EQ(read(true), (Numbers{-12, -3, -1, 0, 5, 40}));
  ASSERT_EQ(prices->SetOrder(0), 0);
  EXPECT_EQ(read(false), (Numbers{40, 5, 0, -1, -3, -12}));
  items.Fill(-2, "");  // -1.95: between -2.95 and -0.95
  ASSERT_EQ(prices->SetOnKey(0), 0);
  EXPECT_EQ(read(true), (Numbers{-1, 0, 5, 40}));
  items.Fill(-3, "");
  ASSERT_EQ(prices->Fetch(0), 0);
  EXPECT_EQ(r.number, -3);
}

TEST_P(DataFileTest, OptionalKeyLeavesOutBlankRecords) {
  ASSERT_EQ(items.Add(1, "named"), 0);
  ASSERT_EQ(items.Add(2, ""), 0);
  ASSERT_EQ(items.Add(0, "numberless"), 0);
  ASSERT_EQ(items.Add(0, "another"), 0);  // a second zero is no duplicate: it has no entry
  ASSERT_EQ(items->SetOrder(testing::NameKey), 0);
  EXPECT_EQ(items.ReadAll(), (Numbers{0, 1, 0}));  // another, named, numberless
  ASSERT_EQ(items->SetOrder(testing::NumberKey), 0);
  EXPECT_EQ(items.ReadAll(), (Numbers{1, 2}));
  items.Fill(0, "");
  EXPECT_EQ(items->Fetch(testing::NumberKey), ErrorRecordNotFound);
  ASSERT_EQ(items->SetOrder(kRecordOrder), 0);
  EXPECT_EQ(items.ReadAll().size(), 4u);
}

TEST_P(DataFileTest, UniqueKeysRefuseDuplicatesAndDuplicateNamesTheKey) {
  ASSERT_EQ(items.Add(1, "Same", "G"), 0);
  EXPECT_EQ(items.Add(1, "Other", "G"), ErrorDuplicateKey);
  EXPECT_EQ(CurrentError().text, "Creates Duplicate Key");
  EXPECT_TRUE(items->Duplicate(testing::NumberKey));
  EXPECT_FALSE(items->Duplicate(testing::ExactKey));
  EXPECT_FALSE(items->Duplicate(testing::NameKey));  // dups key
  // The exact key tells case apart; the record does not duplicate itself.
  ASSERT_EQ(items.Add(2, "SAME", "G"), 0);
  EXPECT_FALSE(items->Duplicate(testing::ExactKey));
  items.Fill(3, "Same", "G");
  EXPECT_TRUE(items->Duplicate(testing::ExactKey));
  EXPECT_EQ(items->Records(), 2);
}

TEST_P(DataFileTest, FetchFindsExactValuesWithoutMovingTheSequence) {
  ASSERT_EQ(items.Add(1, "Anna"), 0);
  ASSERT_EQ(items.Add(2, "Bert"), 0);
  ASSERT_EQ(items.Add(3, "Carl"), 0);
  ASSERT_EQ(items->SetOrder(testing::NumberKey), 0);
  ASSERT_EQ(items->Next(), 0);
  items.Fill(0, "bert   ");
  ASSERT_EQ(items->Fetch(testing::NameKey), 0);
  EXPECT_EQ(items.Number(), 2);
  ASSERT_EQ(items->Next(), 0);
  EXPECT_EQ(items.Number(), 2);  // the sequence went on from record 1
  items.Fill(0, "Bernd");
  ItemRecord before = items.r;
  EXPECT_EQ(items->Fetch(testing::NameKey), ErrorRecordNotFound);
  EXPECT_EQ(memcmp(&before, &items.r, sizeof before), 0);
  EXPECT_EQ(items->Fetch(99), ErrorInvalidIndexString);
}

// An open file keeps its read statements; a file made anew and reopened, or
// keys rebuilt in the middle of a read, must not be read through stale ones.
TEST_P(DataFileTest, ReadsAfterReopeningOrRebuildingKeysSeeTheFileAsItIs) {
  auto fetch = [&](int32_t number) {
    items.Fill(number, "");
    return items->Fetch(testing::NumberKey) == 0 ? items.Name() : "(none)";
  };
  auto byName = [&](bool forward) {
    EXPECT_EQ(items->SetOrder(testing::NameKey), 0);
    return items.ReadAll(forward);
  };
  ASSERT_EQ(items.Add(1, "Anna"), 0);
  ASSERT_EQ(items.Add(2, "Bert"), 0);
  EXPECT_EQ(fetch(2), "Bert");
  EXPECT_EQ(byName(true), (Numbers{1, 2}));
  ASSERT_EQ(items->Close(), 0);
  ASSERT_EQ(items->Create(), 0);
  ASSERT_EQ(items->Open(), 0);
  ASSERT_EQ(items.Add(2, "Zoe"), 0);
  ASSERT_EQ(items.Add(3, "Adam"), 0);
  EXPECT_EQ(fetch(2), "Zoe");
  EXPECT_EQ(fetch(1), "(none)");
  EXPECT_EQ(byName(true), (Numbers{3, 2}));
  ASSERT_EQ(items->SetOrder(testing::NameKey), 0);
  ASSERT_EQ(items->Next(), 0);
  ASSERT_EQ(items->BuildKeys(), 0);
  EXPECT_EQ(items.ReadAll(), (Numbers{2}));
  EXPECT_EQ(byName(false), (Numbers{2, 3}));
  EXPECT_EQ(fetch(3), "Adam");
}

TEST_P(DataFileTest, PositionsSurviveOtherRecordsComingAndGoing) {
  ASSERT_EQ(items.Add(1, "a"), 0);
  ASSERT_EQ(items.Add(2, "b"), 0);
  std::string second = items->Position();
  ASSERT_EQ(items.Add(3, "c"), 0);
  std::string third = items->Position();
  ASSERT_EQ(items->Delete(), 0);
  EXPECT_EQ(items->FetchAt(third), ErrorRecordNotFound);
  ASSERT_EQ(items.Add(4, "d"), 0);
  EXPECT_NE(items->Position(), third);  // a deleted position is not given out again
  ASSERT_EQ(items->FetchAt("1"), 0);
  ASSERT_EQ(items->Delete(), 0);
  ASSERT_EQ(items->FetchAt(second), 0);
  EXPECT_EQ(items.Number(), 2);
  EXPECT_EQ(items->FetchAt("nonsense"), ErrorRecordNotFound);
  EXPECT_EQ(items->FetchAt(""), ErrorRecordNotFound);
}

TEST_P(DataFileTest, SetOnPositionResumesAtThatRecordEvenAfterItsDeletion) {
  for (int i = 1; i <= 5; ++i) ASSERT_EQ(items.Add(i, std::string(1, char('a' + i))), 0);
  ASSERT_EQ(items->FetchAt("3"), 0);
  ASSERT_EQ(items->SetOnPosition(testing::NameKey, "3"), 0);
  EXPECT_EQ(items.ReadAll(), (Numbers{3, 4, 5}));
  ASSERT_EQ(items->SetOnPosition(testing::NameKey, "3"), 0);
  EXPECT_EQ(items.ReadAll(false), (Numbers{3, 2, 1}));
  ASSERT_EQ(items->FetchAt("3"), 0);
  ASSERT_EQ(items->Delete(), 0);
  ASSERT_EQ(items->SetOnPosition(testing::NameKey, "3"), 0);
  EXPECT_EQ(items.ReadAll(), (Numbers{4, 5}));
}

TEST_P(DataFileTest, SequenceNeitherSkipsNorRepeatsWhenRecordsChangeBetweenReads) {
  for (int i = 1; i <= 4; ++i) ASSERT_EQ(items.Add(i * 10, "x" + std::to_string(i)), 0);
  ASSERT_EQ(items->SetOrder(testing::NumberKey), 0);
  ASSERT_EQ(items->Next(), 0);
  ASSERT_EQ(items->Next(), 0);
  EXPECT_EQ(items.Number(), 20);
  ASSERT_EQ(items->Delete(), 0);
  ItemFile other(*driver, folder.File("ITEMS"));
  ASSERT_EQ(other->Open(), 0);
  ASSERT_EQ(other.Add(25, "new"), 0);
  EXPECT_EQ(items.ReadAll(), (Numbers{25, 30, 40}));
}

TEST_P(DataFileTest, PutAndDeleteNeedACurrentRecord) {
  EXPECT_EQ(items->Put(), ErrorRecordNotAvailable);
  EXPECT_EQ(items->Delete(), ErrorRecordNotAvailable);
  ASSERT_EQ(items.Add(1, "a"), 0);
  ASSERT_EQ(items->Delete(), 0);
  EXPECT_EQ(items->Delete(), ErrorRecordNotAvailable);
  EXPECT_EQ(items->Next(), ErrorEntryNotFound);  // no sequence set
}

TEST_P(DataFileTest, QuickScanReadsTheSameRecordsInBlocks) {
  ASSERT_EQ(driver->Logout(1), 0);  // one commit instead of 150
  for (int i = 1; i <= 150; ++i) ASSERT_EQ(items.Add(i, "n" + std::to_string(i)), 0);
  ASSERT_EQ(driver->Commit(), 0);
  ASSERT_EQ(items->Send("QUICKSCAN=on"), 0);
  ASSERT_EQ(items->SetOrder(testing::NumberKey), 0);
  Numbers forward = items.ReadAll();
  ASSERT_EQ(forward.size(), 150u);
  for (int i = 0; i < 150; ++i) EXPECT_EQ(forward[i], i + 1);
  // Turning round inside a block continues from the last record handed out.
  ASSERT_EQ(items->SetOrder(testing::NumberKey), 0);
  for (int i = 0; i < 10; ++i) ASSERT_EQ(items->Next(), 0);
  ASSERT_EQ(items->Previous(), 0);
  EXPECT_EQ(items.Number(), 9);
  EXPECT_EQ(items->Send("QUICKSCAN=maybe"), ErrorUnsupportedFunction);
  EXPECT_EQ(items->Send("Recover=abc"), ErrorInvalidIndexString);
  EXPECT_EQ(items->Send("NOSUCH=1"), ErrorUnsupportedFunction);
}

TEST_P(DataFileTest, ReadOnlyOpenRefusesWrites) {
  ASSERT_EQ(items.Add(1, "a"), 0);
  ASSERT_EQ(items->Close(), 0);
  ASSERT_EQ(items->Open(AccessReadOnly | DenyNone), 0);
  ASSERT_EQ(items->FetchAt("1"), 0);
  EXPECT_EQ(items->Put(), ErrorAccessDenied);
  EXPECT_EQ(items->Add(), ErrorAccessDenied);
  EXPECT_EQ(items->Delete(), ErrorAccessDenied);
  EXPECT_EQ(items->Records(), 1);
}

}  // namespace
}  // namespace ledora::runtime
