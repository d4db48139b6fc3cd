#include "runtime/values/field_ref.h"

#include <gtest/gtest.h>

#include <cstring>

#include "tests/runtime/values/test_values.h"

namespace ledora::runtime {
namespace {

TEST(FieldRefTest, StringsArePaddedOnAssignAndClippedOnRead) {
  char name[8];
  SetText(FieldRef::Of(name), "Bob");
  EXPECT_EQ(std::string(name, 8), "Bob     ");
  EXPECT_EQ(GetText(FieldRef::Of(name)), "Bob");
  SetText(FieldRef::Of(name), "Bartholomew");
  EXPECT_EQ(std::string(name, 8), "Bartholo");
  Clear(FieldRef::Of(name));
  EXPECT_EQ(std::string(name, 8), "        ");
}

TEST(FieldRefTest, IntegerTargetsRoundThenWrap) {
  uint8_t b = 0;
  int16_t s = 0;
  uint32_t ul = 0;
  int32_t l = 0;
  SetNumber(FieldRef::Of(b), D("2.5"));
  EXPECT_EQ(b, 3);
  SetNumber(FieldRef::Of(b), Decimal(256 + 7));
  EXPECT_EQ(b, 7);
  SetNumber(FieldRef::Of(s), Decimal(-1));
  EXPECT_EQ(s, -1);
  SetNumber(FieldRef::Of(s), Decimal(40000));
  EXPECT_EQ(s, static_cast<int16_t>(40000));
  SetNumber(FieldRef::Of(ul), Decimal(-1));
  EXPECT_EQ(ul, 0xFFFFFFFFu);
  EXPECT_EQ(GetNumber(FieldRef::Of(ul)), Decimal(4294967295LL));
  SetNumber(FieldRef::Of(l), D("-2.5"));
  EXPECT_EQ(l, -3);
}

TEST(FieldRefTest, PackedDecimalFieldsRoundToTheirPlaces) {
  uint8_t price[5];
  FieldRef f = FieldRef::Packed(price, 5, 2);
  SetNumber(f, D("19.995"));
  EXPECT_EQ(GetText(f), "20.00");
  double d = 3.14159;
  Assign(f, FieldRef::Of(d));
  EXPECT_EQ(GetNumber(f), D("3.14"));
  Clear(f);
  EXPECT_TRUE(GetNumber(f).IsZero());
}

TEST(FieldRefTest, ConversionsBetweenStringsAndNumbers) {
  char text[10];
  int32_t n = 0;
  SetText(FieldRef::Of(text), "  42abc");
  Assign(FieldRef::Of(n), FieldRef::Of(text));
  EXPECT_EQ(n, 42);
  SetText(FieldRef::Of(n), "junk");
  EXPECT_EQ(n, 0);
  uint8_t price[5];
  PackDecimal(D("-7.5"), price, 5, 2);
  Assign(FieldRef::Of(text), FieldRef::Packed(price, 5, 2));
  EXPECT_EQ(std::string(text, 10), "-7.50     ");
  double r = 0.1;
  std::string s;
  Assign(FieldRef::Of(s), FieldRef::Of(r));
  EXPECT_EQ(s, "0.1");
  SetNumber(FieldRef::Of(s), D("1.20"));
  EXPECT_EQ(s, "1.20");
}

TEST(FieldRefTest, RealToRealKeepsEveryDigit) {
  double a = 1.0 / 3.0, b = 0;
  Assign(FieldRef::Of(b), FieldRef::Of(a));
  EXPECT_EQ(a, b);
}

TEST(FieldRefTest, CompareStringsClippedAndMixedAsNumbers) {
  char a[6], b[3];
  std::string c = "ab";
  SetText(FieldRef::Of(a), "ab");
  SetText(FieldRef::Of(b), "ab");
  EXPECT_TRUE(Equal(FieldRef::Of(a), FieldRef::Of(b)));
  EXPECT_TRUE(Equal(FieldRef::Of(a), FieldRef::Of(c)));
  SetText(FieldRef::Of(b), "AB");
  EXPECT_NE(Compare(FieldRef::Of(a), FieldRef::Of(b)), 0);  // case counts
  SetText(FieldRef::Of(a), "10");
  int32_t nine = 9;
  EXPECT_GT(Compare(FieldRef::Of(a), FieldRef::Of(nine)), 0);  // "10" > 9 as numbers
  uint8_t price[5];
  PackDecimal(D("9.00"), price, 5, 2);
  EXPECT_EQ(Compare(FieldRef::Packed(price, 5, 2), FieldRef::Of(nine)), 0);
}

TEST(FieldRefTest, NullReferencesAreHarmless) {
  FieldRef none;
  EXPECT_EQ(GetText(none), "");
  EXPECT_TRUE(GetNumber(none).IsZero());
  SetNumber(none, Decimal(5));
  SetText(none, "x");
  Clear(none);
  int32_t n = 5;
  Assign(FieldRef::Of(n), none);
  EXPECT_EQ(n, 0);
}

TEST(FieldRefTest, DatesAndTimesAreTheirStandardNumbers) {
  int32_t date = 0, time = 0;
  SetText(FieldRef::Date(date), "58000");
  EXPECT_EQ(date, 58000);
  SetNumber(FieldRef::Time(time), Decimal(360001));
  EXPECT_EQ(GetText(FieldRef::Time(time)), "360001");
}

}  // namespace
}  // namespace ledora::runtime
