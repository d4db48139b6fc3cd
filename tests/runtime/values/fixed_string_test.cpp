#include "runtime/values/fixed_string.h"

#include <gtest/gtest.h>

namespace ledora::runtime {
namespace {

TEST(FixedStringTest, ClipAndJoin) {
  EXPECT_EQ(Clip("ab  "), "ab");
  EXPECT_EQ(Clip("    "), "");
  EXPECT_EQ(Clip(" a"), " a");
  EXPECT_EQ(ClippedJoin("Smith   ", ", John"), "Smith, John");
  char field[4];
  AssignPadded(field, "abcdef");
  EXPECT_EQ(ClippedField(field), "abcd");
  AssignPadded(nullptr, 3, "x");  // harmless
}

TEST(FixedStringTest, CaseInsensitiveCompareCoversAccentedLetters) {
  EXPECT_EQ(CompareNoCase("smith  ", "SMITH"), 0);
  EXPECT_EQ(CompareNoCase("\xE9t\xE9", "\xC9T\xC9"), 0);  // été / ÉTÉ
  EXPECT_EQ(CompareNoCase("\x9A", "\x8A"), 0);            // š / Š
  EXPECT_EQ(CompareNoCase("\xFF", "\x9F"), 0);            // ÿ / Ÿ
  EXPECT_NE(CompareNoCase("\xF7", "\xD7"), 0);            // ÷ is not ×
  EXPECT_EQ(ToUpper1252('\xDF'), '\xDF');                 // ß stays
  EXPECT_LT(CompareNoCase("abc", "ABD"), 0);
  EXPECT_LT(CompareNoCase("ab", "abc"), 0);
  EXPECT_GT(CompareNoCase("\xE0", "Z"), 0);  // bytes above ASCII sort after it
}

TEST(FixedStringTest, ClippedCompareIsCaseSensitive) {
  EXPECT_EQ(CompareClipped("ab ", "ab"), 0);
  EXPECT_LT(CompareClipped("AB", "ab"), 0);
}

}  // namespace
}  // namespace ledora::runtime
