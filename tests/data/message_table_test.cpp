#include "data/message_table.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace ledora::data {
namespace {

std::vector<MessageEntry> ReadDefault() {
  std::vector<MessageEntry> entries;
  EXPECT_EQ(ReadMessageTable(DefaultMessageTable(), &entries), MessageTableOk);
  return entries;
}

const MessageEntry* Find(const std::vector<MessageEntry>& entries, uint16_t number) {
  for (const MessageEntry& e : entries) {
    if (e.number == number) return &e;
  }
  return nullptr;
}

TEST(DefaultMessageTableTest, HoldsEveryMessageInTableOrderWithItsSeverity) {
  const std::vector<uint16_t> order = {27, 26, 10, 24, 17, 18, 16, 14, 31, 30, 4,  6,  7,
                                       34, 33, 20, 38, 12, 8,  13, 32, 19, 36, 37, 23, 25,
                                       11, 9,  35, 21, 1,  40, 3,  28, 5,  15, 22, 2,  39};
  std::vector<MessageEntry> entries = ReadDefault();
  ASSERT_EQ(entries.size(), order.size());
  for (size_t i = 0; i < order.size(); ++i) EXPECT_EQ(entries[i].number, order[i]) << i;

  const std::vector<uint16_t> stops = {26, 10, 23}, questions = {34, 33, 8, 32, 36, 37, 9, 35, 3};
  for (const MessageEntry& e : entries) {
    uint8_t expected = SeverityInform;
    if (std::find(stops.begin(), stops.end(), e.number) != stops.end()) expected = SeverityStop;
    if (std::find(questions.begin(), questions.end(), e.number) != questions.end())
      expected = SeverityQuestion;
    if (e.number == 39) expected = SeverityInternal;
    EXPECT_EQ(e.severity, expected) << e.number;
  }
}

TEST(DefaultMessageTableTest, TextsKeepTheirExactSpacing) {
  std::vector<MessageEntry> entries = ReadDefault();
  EXPECT_EQ(Find(entries, 32)->text,
            "Attempts to automatically number this record have failed.  Error: %ErrorText. Try "
            "Again?");
  EXPECT_EQ(Find(entries, 19)->text, "%File File Load Error.  Error: %ErrorText.");
  EXPECT_EQ(Find(entries, 23)->text, "File (%File) could not be opened.  Error: %ErrorText.");
  EXPECT_EQ(Find(entries, 1)->text,
            "Error: (%ErrorText) attempting to access a record from the %File file.  Returning "
            "to previous window.");
  EXPECT_EQ(Find(entries, 7)->text,
            "This record was changed by another station. Those changes will now be displayed. "
            "Use the Ditto Button or Ctrl+' to recall your changes.");
  EXPECT_EQ(Find(entries, 15)->text, "The value of %Field must be in the list : %Message.");
  EXPECT_EQ(Find(entries, 20)->text, "This form cannot be used to insert a record");
  EXPECT_EQ(Find(entries, 9)->title, "Confirm Delete");
  EXPECT_EQ(Find(entries, 25)->title, "Record was not updated");
  EXPECT_EQ(Find(entries, 6)->title, "Record Was Not Updated");
  EXPECT_EQ(Find(entries, 39)->text, "Attempt to use file (%File) before it was opened");
}

TEST(DefaultMessageTableTest, BlockIsPackedLittleEndianWithoutPadding) {
  std::span<const uint8_t> block = DefaultMessageTable();
  std::string title = "Invalid Key";
  ASSERT_GT(block.size(), 6 + title.size());
  EXPECT_EQ(block[0], 39);
  EXPECT_EQ(block[1], 0);
  EXPECT_EQ(block[2], 27);  // first number, low byte first
  EXPECT_EQ(block[3], 0);
  EXPECT_EQ(block[4], SeverityInform);
  EXPECT_EQ(block[5], title.size());
  EXPECT_EQ(std::string(block.begin() + 6, block.begin() + 6 + title.size()), title);
}

TEST(DefaultMessageTableTest, EntriesPointIntoTheBlock) {
  std::span<const uint8_t> block = DefaultMessageTable();
  const char* begin = reinterpret_cast<const char*>(block.data());
  for (const MessageEntry& e : ReadDefault()) {
    EXPECT_GE(e.text.data(), begin);
    EXPECT_LE(e.text.data() + e.text.size(), begin + block.size());
  }
}

std::vector<uint8_t> Pack(std::vector<MessageDefinition> definitions) {
  std::vector<uint8_t> block;
  EXPECT_EQ(PackMessageTable(definitions, &block), MessageTableOk);
  return block;
}

TEST(MessageTableReaderTest, RoundTripsPackedDefinitionsWithAnySeverityByte) {
  std::vector<uint8_t> block =
      Pack({{300, 9, "Odd", "Severity nine"}, {0xABCD, SeverityNone, "", ""}});
  std::vector<MessageEntry> entries;
  ASSERT_EQ(ReadMessageTable(block, &entries), MessageTableOk);
  ASSERT_EQ(entries.size(), 2u);
  EXPECT_EQ(entries[0].number, 300);
  EXPECT_EQ(entries[0].severity, 9);
  EXPECT_EQ(entries[0].text, "Severity nine");
  EXPECT_EQ(entries[1].number, 0xABCD);
  EXPECT_EQ(entries[1].title, "");
}

TEST(MessageTableReaderTest, EmptyTableAddsNothing) {
  std::vector<MessageEntry> entries;
  EXPECT_EQ(ReadMessageTable(Pack({}), &entries), MessageTableOk);
  EXPECT_TRUE(entries.empty());
}

TEST(MessageTableReaderTest, RejectsEveryTruncationWithoutAppending) {
  std::vector<uint8_t> block = Pack({{1, SeverityInform, "Title", "Text"}, {2, 1, "T", "X"}});
  for (size_t size = 0; size < block.size(); ++size) {
    std::vector<uint8_t> cut(block.begin(), block.begin() + size);  // exact size for ASan
    std::vector<MessageEntry> entries(1);
    EXPECT_EQ(ReadMessageTable(cut, &entries), MessageTableTruncated) << size;
    EXPECT_EQ(entries.size(), 1u) << size;
  }
}

TEST(MessageTableReaderTest, RejectsInconsistentCountsAndLengths) {
  std::vector<uint8_t> block = Pack({{1, SeverityInform, "Title", "Text"}});
  std::vector<MessageEntry> entries;

  std::vector<uint8_t> moreCounted = block;
  moreCounted[0] = 2;
  EXPECT_EQ(ReadMessageTable(moreCounted, &entries), MessageTableTruncated);

  std::vector<uint8_t> fewerCounted = block;
  fewerCounted[0] = 0;
  EXPECT_EQ(ReadMessageTable(fewerCounted, &entries), MessageTableTrailingBytes);

  std::vector<uint8_t> longText = block;
  longText[6 + 5] = 200;  // the text's length byte, after the five-letter title
  EXPECT_EQ(ReadMessageTable(longText, &entries), MessageTableTruncated);

  std::vector<uint8_t> hugeCount = {0xFF, 0xFF};
  EXPECT_EQ(ReadMessageTable(hugeCount, &entries), MessageTableTruncated);
  EXPECT_TRUE(entries.empty());
}

TEST(MessageTablePackerTest, RefusesWhatTheFormatCannotHold) {
  std::string longest(255, 'x'), tooLong(256, 'x');
  std::vector<uint8_t> block = {1, 2, 3};
  EXPECT_EQ(PackMessageTable(std::vector<MessageDefinition>{{1, 5, longest, longest}}, &block),
            MessageTableOk);
  EXPECT_EQ(PackMessageTable(std::vector<MessageDefinition>{{1, 5, "t", tooLong}}, &block),
            MessageTableTextTooLong);
  EXPECT_TRUE(block.empty());
  std::vector<MessageDefinition> many(65536, MessageDefinition{1, 5, "", ""});
  EXPECT_EQ(PackMessageTable(many, &block), MessageTableTooManyEntries);
}

}  // namespace
}  // namespace ledora::data
