#include "runtime/system/ascii_case.h"

#include <gtest/gtest.h>

namespace ledora::runtime {
namespace {

// Names the program spells fold; the Windows-1252 letters of user text keep
// their bytes, whatever the process locale says about them.
TEST(AsciiCaseTest, OnlyAsciiLettersFold) {
  EXPECT_EQ(AsciiUpper("cus:Name_1"), "CUS:NAME_1");
  EXPECT_EQ(AsciiLower("RptDes1.KDS"), "rptdes1.kds");
  EXPECT_EQ(AsciiUpper("\xE9t\xE9"), "\xE9T\xE9");
  EXPECT_TRUE(EqualIgnoringAsciiCase("Browse", "bROWSE"));
  EXPECT_FALSE(EqualIgnoringAsciiCase("\xC9", "\xE9"));
  EXPECT_FALSE(EqualIgnoringAsciiCase("Brow", "Browse"));
  EXPECT_TRUE(StartsIgnoringAsciiCase("September", "sep"));
  EXPECT_FALSE(StartsIgnoringAsciiCase("Sep", "sept"));
}

}  // namespace
}  // namespace ledora::runtime
