#include "runtime/values/decimal.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <random>

#include "tests/runtime/values/test_values.h"

namespace ledora::runtime {
namespace {

TEST(DecimalTest, ParseAcceptsOnlySignDigitsAndOnePoint) {
  EXPECT_EQ(D("-12.50").ToString(), "-12.50");
  EXPECT_EQ(D("+7").ToString(), "7");
  EXPECT_EQ(D(".5").ToString(), "0.5");
  EXPECT_EQ(D("5.").ToString(), "5");
  for (const char* bad : {"", "-", ".", "1.2.3", " 1", "1 ", "1e5", "12a", "--1", "0x10"}) {
    EXPECT_FALSE(Decimal::Parse(bad).has_value()) << bad;
  }
}

TEST(DecimalTest, ParseOfHugeOrVeryPreciseText) {
  EXPECT_FALSE(Decimal::Parse(std::string(40, '9')).has_value());
  EXPECT_EQ(D(std::string(38, '9')).ToString(), std::string(38, '9'));
  // Places beyond the maximum round half away from zero.
  Decimal d = D(("0." + std::string(29, '0') + "15").c_str());
  EXPECT_EQ(d.places(), Decimal::kMaxPlaces);
  EXPECT_EQ(d.units(), 2);
}

TEST(DecimalTest, RoundsHalfAwayFromZero) {
  EXPECT_EQ(D("2.345").Rescaled(2).ToString(), "2.35");
  EXPECT_EQ(D("-2.345").Rescaled(2).ToString(), "-2.35");
  EXPECT_EQ(D("2.344").Rescaled(2).ToString(), "2.34");
  EXPECT_EQ(D("0.5").Rescaled(0).ToString(), "1");
  EXPECT_EQ(D("-0.5").Rescaled(0).ToString(), "-1");
  EXPECT_EQ(D("-0.4").Rescaled(0).ToString(), "0");
  EXPECT_EQ(D("9.999").Rescaled(2).ToString(), "10.00");
  EXPECT_EQ(D("-2.349").Truncated(1).ToString(), "-2.3");
  EXPECT_EQ(D("1.5").Rescaled(3).ToString(), "1.500");
}

TEST(DecimalTest, ArithmeticIsExact) {
  Decimal sum;
  for (int i = 0; i < 10; ++i) sum = sum + D("0.10");
  EXPECT_EQ(sum, Decimal(1));
  EXPECT_EQ((D("19.99") * Decimal(3)).ToString(), "59.97");
  EXPECT_EQ((D("1.5") * D("1.5")).ToString(), "2.25");
  EXPECT_EQ((D("10.00") - D("0.01")).ToString(), "9.99");
  EXPECT_EQ((D("1") - D("2.5")).ToString(), "-1.5");
  EXPECT_EQ((-D("3.25")).ToString(), "-3.25");
}

TEST(DecimalTest, DivisionKeepsAtLeastTenPlacesAndByZeroGivesZero) {
  EXPECT_EQ((Decimal(1) / Decimal(3)).ToString(), "0.3333333333");
  EXPECT_EQ((Decimal(2) / Decimal(3)).ToString(), "0.6666666667");
  EXPECT_EQ((Decimal(-2) / Decimal(3)).ToString(), "-0.6666666667");
  EXPECT_EQ((D("1.000000000000") / Decimal(8)).places(), 12);
  EXPECT_EQ(Decimal(5) / Decimal(), Decimal());
  EXPECT_EQ((D("100.00") / D("0.25")), Decimal(400));
}

TEST(DecimalTest, ComparesByValueAcrossPlaces) {
  EXPECT_EQ(D("1.50"), D("1.5"));
  EXPECT_LT(D("-0.01"), Decimal());
  EXPECT_GT(D("2"), D("1.999999"));
  EXPECT_LT(D(std::string(38, '9')) * Decimal(-1), D("0.000001"));
}

TEST(DecimalTest, OverflowSaturatesInsteadOfWrapping) {
  Decimal big = D(std::string(38, '9'));
  EXPECT_EQ((big + Decimal(1)).ToString(), std::string(38, '9'));
  EXPECT_EQ((big * big).ToString(), std::string(38, '9'));
  EXPECT_TRUE((-big * big).IsNegative());
  // A large product gives up places before it saturates.
  Decimal product = D("12345678901234567890.1234567890") * D("1000000.123456789");
  EXPECT_EQ(product.ToString(), "12345680425392443061591344.306146788750");
}

TEST(DecimalTest, DoubleConversions) {
  EXPECT_EQ(Decimal::FromDouble(2.675, 2).ToString(), "2.68");
  EXPECT_EQ(Decimal::FromDouble(-2.675, 2).ToString(), "-2.68");
  EXPECT_EQ(Decimal::FromDouble(0.1).ToString(), "0.1");
  EXPECT_EQ(Decimal::FromDouble(1e20).ToString(), "100000000000000000000");
  EXPECT_EQ(Decimal::FromDouble(std::nan("")), Decimal());
  EXPECT_EQ(Decimal::FromDouble(1e300).ToString(), std::string(38, '9'));
  EXPECT_EQ(Decimal::FromDouble(1e-300), Decimal());
  EXPECT_DOUBLE_EQ(D("12.34").ToDouble(), 12.34);
  EXPECT_EQ(D("-12.99").ToInt64(), -12);
  EXPECT_EQ(D(std::string(30, '9').c_str()).ToInt64(), INT64_MAX);
}

// Reading a stored amount back takes a short cut; it must agree with the
// shortest-text route for every double, stored amounts or not.
TEST(DecimalTest, DoublesAtPlacesAgreeWithTheirShortestText) {
  std::mt19937_64 random(23);
  for (int i = 0; i < 200000; ++i) {
    int places = static_cast<int>(random() % 18);
    double value;
    if (i % 2 == 0) {
      int64_t units = static_cast<int64_t>(random() % 2000000000000000) - 1000000000000000;
      value = static_cast<double>(units) / std::pow(10.0, places);
    } else {
      uint64_t bits = random();
      std::memcpy(&value, &bits, sizeof value);
    }
    ASSERT_EQ(Decimal::FromDouble(value, places), Decimal::FromDouble(value).Rescaled(places))
        << value << " at " << places;
  }
  EXPECT_EQ(Decimal::FromDouble(-0.0, 2).ToString(), "0.00");
  EXPECT_EQ(Decimal::FromDouble(0.285, 2).ToString(), "0.29");  // 0.28499999999999998
}

// Reading a record packs its stored doubles directly; every field shape must
// get the bytes, or the refusal, that packing the converted value gives.
TEST(PackedDecimalTest, PackingADoubleAgreesWithPackingItsDecimal) {
  std::mt19937_64 random(29);
  for (int i = 0; i < 100000; ++i) {
    int size = 1 + static_cast<int>(random() % 16);
    int places = static_cast<int>(random() % (2 * size));
    double value;
    if (i % 2 == 0) {
      int64_t units = static_cast<int64_t>(random() % 2000000000000000) - 1000000000000000;
      value = static_cast<double>(units) / std::pow(10.0, static_cast<int>(random() % 18));
    } else {
      uint64_t bits = random();
      std::memcpy(&value, &bits, sizeof value);
    }
    unsigned char direct[16], through[16];
    std::memset(direct, 0x5A, sizeof direct);
    std::memset(through, 0x5A, sizeof through);
    ASSERT_EQ(PackDecimalFromDouble(value, direct, size, places),
              PackDecimal(Decimal::FromDouble(value, places), through, size, places))
        << value << " in " << size << "," << places;
    ASSERT_EQ(std::memcmp(direct, through, sizeof direct), 0) << value;
  }
}

TEST(DecimalTest, PackingKeepsEveryDigitOfTheWidestFields) {
  char field[16];
  Decimal widest = D("-1234567890123456789.012345678901");
  ASSERT_TRUE(PackDecimal(widest, field, 16, 12));
  EXPECT_EQ(UnpackDecimal(field, 16, 12), widest);
  ASSERT_TRUE(PackDecimal(D("18446744073709551616"), field, 11, 0));  // 2^64
  EXPECT_EQ(UnpackDecimal(field, 11, 0).ToString(), "18446744073709551616");
}

TEST(DecimalTest, LeadingNumberOfText) {
  EXPECT_EQ(ParseLeadingNumber("  12.5kg"), D("12.5"));
  EXPECT_EQ(ParseLeadingNumber("-3 apples"), Decimal(-3));
  EXPECT_EQ(ParseLeadingNumber("abc"), Decimal());
  EXPECT_EQ(ParseLeadingNumber(""), Decimal());
  EXPECT_EQ(ParseLeadingNumber("1.2.3"), D("1.2"));
}

TEST(PackedDecimalTest, RoundTripsAndUsesSignNibble) {
  uint8_t field[5];
  ASSERT_TRUE(PackDecimal(D("1234567.89"), field, 5, 2));
  const uint8_t expected[5] = {0x01, 0x23, 0x45, 0x67, 0x89};
  EXPECT_EQ(std::memcmp(field, expected, 5), 0);
  EXPECT_EQ(UnpackDecimal(field, 5, 2).ToString(), "1234567.89");
  ASSERT_TRUE(PackDecimal(D("-0.5"), field, 5, 2));
  const uint8_t negative[5] = {0xF0, 0x00, 0x00, 0x00, 0x50};
  EXPECT_EQ(std::memcmp(field, negative, 5), 0);
  EXPECT_EQ(UnpackDecimal(field, 5, 2).ToString(), "-0.50");
}

TEST(PackedDecimalTest, NegativeZeroIsStoredAsZero) {
  uint8_t field[3];
  ASSERT_TRUE(PackDecimal(D("-0.001"), field, 3, 2));
  EXPECT_EQ(field[0], 0x00);
  EXPECT_FALSE(UnpackDecimal(field, 3, 2).IsNegative());
}

TEST(PackedDecimalTest, RefusesTooManyWholeDigitsAndLeavesFieldAlone) {
  uint8_t field[5];
  std::memset(field, 0xAB, 5);
  EXPECT_FALSE(PackDecimal(D("10000000"), field, 5, 2));
  EXPECT_FALSE(PackDecimal(D("9999999.995"), field, 5, 2));  // rounds to 8 whole digits
  EXPECT_EQ(field[0], 0xAB);
  EXPECT_TRUE(PackDecimal(D("9999999.994"), field, 5, 2));
  EXPECT_EQ(UnpackDecimal(field, 5, 2).ToString(), "9999999.99");
}

TEST(PackedDecimalTest, BadShapesAndDamagedBytes) {
  uint8_t field[17] = {};
  EXPECT_FALSE(PackDecimal(Decimal(1), field, 0, 0));
  EXPECT_FALSE(PackDecimal(Decimal(1), field, 17, 0));
  EXPECT_FALSE(PackDecimal(Decimal(1), field, 2, 4));
  EXPECT_FALSE(PackDecimal(Decimal(1), nullptr, 2, 0));
  EXPECT_EQ(UnpackDecimal(nullptr, 5, 2), Decimal());
  uint8_t damaged[2] = {0x0A, 0x12};
  Decimal value(7);
  EXPECT_FALSE(TryUnpackDecimal(damaged, 2, 0, &value));
  EXPECT_EQ(value, Decimal(7));
  EXPECT_EQ(UnpackDecimal(damaged, 2, 0), Decimal());
}

TEST(PackedDecimalTest, LargestFieldHoldsThirtyOneDigits) {
  uint8_t field[16];
  Decimal big = D(("-" + std::string(31, '9')).c_str());
  ASSERT_TRUE(PackDecimal(big, field, 16, 0));
  EXPECT_EQ(UnpackDecimal(field, 16, 0), big);
  ASSERT_TRUE(PackDecimal(D("0.5"), field, 16, 30));
  EXPECT_EQ(UnpackDecimal(field, 16, 30), D("0.5"));
}

TEST(PackedDecimalTest, WrappedPackKeepsLowDigits) {
  uint8_t field[2];
  PackDecimalWrapped(Decimal(12345), field, 2, 0);
  EXPECT_EQ(UnpackDecimal(field, 2, 0), Decimal(345));
  PackDecimalWrapped(D("-1234.567"), field, 2, 1);
  EXPECT_EQ(UnpackDecimal(field, 2, 1).ToString(), "-34.6");
}

}  // namespace
}  // namespace ledora::runtime
