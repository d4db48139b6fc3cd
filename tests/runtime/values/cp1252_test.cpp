#include "runtime/values/cp1252.h"

#include <gtest/gtest.h>

namespace ledora::runtime {
namespace {

TEST(Cp1252Test, ConvertsBothWays) {
  EXPECT_EQ(Cp1252ToUtf8("caf\xE9 \x80"
                         "5"),
            "caf\xC3\xA9 \xE2\x82\xAC"
            "5");
  std::string out;
  ASSERT_TRUE(Utf8ToCp1252("M\xC3\xBCller \xE2\x80\x93 \xC5\x93", &out));  // Müller – œ
  EXPECT_EQ(out, "M\xFCller \x96 \x9C");
}

TEST(Cp1252Test, EveryByteRoundTrips) {
  std::string all;
  for (int b = 0; b < 256; ++b) all.push_back(static_cast<char>(b));
  std::string back;
  ASSERT_TRUE(Utf8ToCp1252(Cp1252ToUtf8(all), &back));
  EXPECT_EQ(back, all);
}

TEST(Cp1252Test, RefusesCharactersOutsideTheSetAndBadUtf8) {
  std::string out = "unchanged";
  EXPECT_FALSE(Utf8ToCp1252("\xE4\xB8\xAD", &out));      // 中
  EXPECT_FALSE(Utf8ToCp1252("\xF0\x9F\x98\x80", &out));  // emoji
  EXPECT_FALSE(Utf8ToCp1252("\xC3", &out));              // cut short
  EXPECT_FALSE(Utf8ToCp1252("\xC0\xAF", &out));          // overlong
  EXPECT_FALSE(Utf8ToCp1252("\xED\xA0\x80", &out));      // surrogate
  EXPECT_FALSE(Utf8ToCp1252("\xE9t\xE9", &out));         // Latin-1 bytes, not UTF-8
  EXPECT_EQ(out, "unchanged");
}

}  // namespace
}  // namespace ledora::runtime
