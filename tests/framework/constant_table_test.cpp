#include "framework/constant_table.h"

#include <gtest/gtest.h>

#include <string>

namespace ledora::framework {
namespace {

using data::SeverityInform;
using data::SeverityNone;
using runtime::FieldRef;
using namespace std::string_literals;

TEST(ConstantTableTest, EveryItemTypeDecodesLittleEndian) {
  std::string text;
  char name[6];
  uint8_t byte = 0;
  int16_t shortValue = 0;
  int32_t ushortValue = 0;
  int32_t longValue = 0;
  ConstantTable table;
  ASSERT_TRUE(table.Initialize(TerminateAtSourceEnd));
  table.AddItem(ItemCString, FieldRef::Of(text));
  table.AddItem(ItemPString, FieldRef::Of(name));
  table.AddItem(ItemByte, FieldRef::Of(byte));
  table.AddItem(ItemShort, FieldRef::Of(shortValue));
  table.AddItem(ItemUShort, FieldRef::Of(ushortValue));
  table.AddItem(ItemLong, FieldRef::Of(longValue));
  table.SetSource(
      "Z\xE9ro\0"s
      "\x03"
      "abc"
      "\xFF"
      "\xFE\xFF"
      "\xFE\xFF"
      "\x60\x79\xFE\xFF"s);
  ASSERT_EQ(table.Next(), SeverityNone);
  EXPECT_EQ(text, "Z\xE9ro");
  EXPECT_EQ(std::string(name, 6), "abc   ");
  EXPECT_EQ(byte, 255);
  EXPECT_EQ(shortValue, -2);
  EXPECT_EQ(ushortValue, 65534);
  EXPECT_EQ(longValue, -100000);
  EXPECT_EQ(table.RECORDPNT, 2);
  EXPECT_EQ(table.Next(), SeverityInform);
}

TEST(ConstantTableTest, SourceEndModeReadsUpToTheLastByte) {
  int16_t value = 0;
  ConstantTable table;
  table.Initialize(TerminateAtSourceEnd);
  table.AddItem(ItemShort, FieldRef::Of(value));
  table.SetSource("\x01\x00\x02\x00"s);
  EXPECT_EQ(table.Next(), SeverityNone);
  EXPECT_EQ(table.Next(), SeverityNone);
  EXPECT_EQ(value, 2);
  EXPECT_EQ(table.CHARPNT, 5);
  EXPECT_EQ(table.Next(), SeverityInform);
  EXPECT_EQ(table.Next(), SeverityInform);
}

TEST(ConstantTableTest, CallerCountStopsBeforeTheSourceEnds) {
  uint8_t value = 0;
  ConstantTable table;
  table.Initialize(TerminateAfterItems);
  table.ITEMS = 2;
  table.AddItem(ItemByte, FieldRef::Of(value));
  table.SetSource("\x01\x02\x03"s);
  EXPECT_EQ(table.Next(), SeverityNone);
  EXPECT_EQ(table.Next(), SeverityNone);
  EXPECT_EQ(table.Next(), SeverityInform);
  EXPECT_EQ(value, 2);
}

TEST(ConstantTableTest, CountByteOfZeroGivesNoRecords) {
  uint8_t value = 9;
  ConstantTable table;
  table.Initialize(TerminateAfterCountByte);
  table.AddItem(ItemByte, FieldRef::Of(value));
  table.SetSource("\x00\x05"s);
  EXPECT_EQ(table.Next(), SeverityInform);
  EXPECT_EQ(value, 9);
  table.SetSource(""s);
  EXPECT_EQ(table.ITEMS, 0);
  EXPECT_EQ(table.Next(), SeverityInform);
}

TEST(ConstantTableTest, RecordRunningPastTheSourceEndsTheTableUntouched) {
  int32_t number = 7;
  std::string text = "before";
  ConstantTable table;
  table.Initialize(TerminateAfterCountByte);
  table.AddItem(ItemPString, FieldRef::Of(text));
  table.AddItem(ItemLong, FieldRef::Of(number));
  // The count claims three records; the second one's number is cut short.
  table.SetSource(
      "\x03"
      "\x02"
      "ok"
      "\x01\x00\x00\x00"
      "\x02"
      "no"
      "\x01\x00"s);
  ASSERT_EQ(table.Next(), SeverityNone);
  EXPECT_EQ(text, "ok");
  EXPECT_EQ(number, 1);
  EXPECT_EQ(table.Next(), SeverityInform);
  EXPECT_EQ(text, "ok");
  EXPECT_EQ(number, 1);
}

TEST(ConstantTableTest, LengthByteBeyondTheSourceEndsTheTable) {
  std::string text = "kept";
  ConstantTable table;
  table.Initialize(TerminateAtSourceEnd);
  table.AddItem(ItemPString, FieldRef::Of(text));
  table.SetSource(
      "\xFF"
      "abc"s);
  EXPECT_EQ(table.Next(), SeverityInform);
  EXPECT_EQ(text, "kept");
}

TEST(ConstantTableTest, UnterminatedStringEndsTheTable) {
  std::string text;
  ConstantTable table;
  table.Initialize(TerminateAtSourceEnd);
  table.AddItem(ItemCString, FieldRef::Of(text));
  table.SetSource("one\0two"s);
  EXPECT_EQ(table.Next(), SeverityNone);
  EXPECT_EQ(table.Next(), SeverityInform);
  EXPECT_EQ(text, "one");
}

TEST(ConstantTableTest, TerminatorValueEndsTheTableForGood) {
  std::string text;
  uint8_t tail = 0;
  ConstantTable table;
  table.Initialize(TerminateOnValue);
  EXPECT_EQ(table.TERMINATORVALUE, "");
  table.TERMINATORVALUE = "END  ";
  table.AddItem(ItemCString, FieldRef::Of(text));
  table.AddItem(ItemByte, FieldRef::Of(tail));
  table.SetSource(
      "a\0\x01"
      "END\0\x02"
      "b\0\x03"s);
  EXPECT_EQ(table.Next(), SeverityNone);
  EXPECT_EQ(table.Next(), SeverityInform);
  EXPECT_EQ(text, "END");
  EXPECT_EQ(table.Next(), SeverityInform);
  EXPECT_EQ(table.RECORDPNT, 2);
}

TEST(ConstantTableTest, NumericTerminatorAndMissingTerminator) {
  int16_t value = 0;
  ConstantTable table;
  table.Initialize(TerminateOnValue);
  table.TERMINATORVALUE = "-1";
  table.AddItem(ItemShort, FieldRef::Of(value));
  table.SetSource("\x05\x00\xFF\xFF\x06\x00"s);
  EXPECT_EQ(table.Next(), SeverityNone);
  EXPECT_EQ(table.Next(), SeverityInform);
  // Without the terminator the source's end still ends the table.
  table.SetSource("\x05\x00\x06"s);
  EXPECT_EQ(table.Next(), SeverityNone);
  EXPECT_EQ(table.Next(), SeverityInform);
  EXPECT_EQ(value, 5);
}

TEST(ConstantTableTest, TableWithoutItemsHasNoRecords) {
  ConstantTable table;
  table.Initialize(TerminateOnValue);
  table.SetSource("abc"s);
  EXPECT_EQ(table.Next(), SeverityInform);
}

TEST(ConstantTableTest, UnknownModesAndItemTypesAreRefused) {
  uint8_t value = 0;
  ConstantTable table;
  EXPECT_FALSE(table.Initialize(0));
  EXPECT_TRUE(table.AddItem(ItemByte, FieldRef::Of(value)));
  EXPECT_FALSE(table.AddItem(7, FieldRef::Of(value)));
  EXPECT_FALSE(table.AddItem(0, FieldRef::Of(value)));
  EXPECT_EQ(table.DESCRIPTOR.size(), 1u);
  table.SetSource("\x01"s);
  EXPECT_EQ(table.Next(), SeverityInform);
  EXPECT_FALSE(table.Initialize(5));
}

TEST(ConstantTableTest, SourceIsCopiedAndSettingItAgainRestarts) {
  uint8_t value = 0;
  std::string source = "\x01\x02";
  ConstantTable table;
  table.Initialize(TerminateAtSourceEnd);
  table.AddItem(ItemByte, FieldRef{});  // read and dropped
  table.AddItem(ItemByte, FieldRef::Of(value));
  table.SetSource(source.data(), source.size());
  source[1] = 'x';
  EXPECT_EQ(table.Next(), SeverityNone);
  EXPECT_EQ(value, 2);
  EXPECT_EQ(table.Next(), SeverityInform);
  table.SetSource("\x03\x04"s);
  EXPECT_EQ(table.Next(), SeverityNone);
  EXPECT_EQ(value, 4);
}

TEST(ConstantTableTest, CountOf65535RecordsEndsDespiteTheRecordNumberWrapping) {
  uint8_t value = 0;
  ConstantTable table;
  table.Initialize(TerminateAfterItems);
  table.ITEMS = 65535;
  table.AddItem(ItemByte, FieldRef::Of(value));
  table.SetSource(std::string(70000, 'x'));
  int records = 0;
  while (table.Next() == SeverityNone && records <= 70000) ++records;
  EXPECT_EQ(records, 65535);
}

}  // namespace
}  // namespace ledora::framework
