#include "runtime/system/runtime_error.h"

#include <gtest/gtest.h>

#include <string>

namespace ledora::runtime {
namespace {

TEST(RuntimeErrorTextTest, StorageCodesReadAsTheUserKnowsThem) {
  EXPECT_EQ(RuntimeErrorText(2), "File Not Found");
  EXPECT_EQ(RuntimeErrorText(33), "Record Not Available");
  EXPECT_EQ(RuntimeErrorText(40), "Creates Duplicate Key");
  EXPECT_EQ(RuntimeErrorText(56), "LOGOUT Already Active");
  EXPECT_EQ(RuntimeErrorText(65), "Unable To ROLLBACK Transaction");
  EXPECT_EQ(RuntimeErrorText(89), "Record Changed By Another Station");
  EXPECT_EQ(RuntimeErrorText(90), "File System Error");
  EXPECT_EQ(RuntimeErrorText(96), "Remote Object Not Found");
}

TEST(RuntimeErrorTextTest, TrailingBlankOfParameterCountTextIsKept) {
  EXPECT_EQ(RuntimeErrorText(ErrorInvalidParameterCount), "Invalid Number Of Parameters ");
}

TEST(RuntimeErrorTextTest, CodesWithoutTextAreUnknownAndNoErrorIsEmpty) {
  for (int32_t code : {1, 6, 31, 94, 97, 300, 335, 390, 391, 400, 411, 516, 545, 606, 803, -1}) {
    EXPECT_EQ(RuntimeErrorText(code), "Unknown Error") << code;
  }
  EXPECT_EQ(RuntimeErrorText(ErrorNone), "");
}

TEST(RuntimeErrorTextTest, OperatingSystemErrorsAreOffsetByThreeHundred) {
  EXPECT_EQ(RuntimeErrorText(ErrorSystemBase + 1), "Invalid Function");
  EXPECT_EQ(RuntimeErrorText(ErrorSystemBase + 2), "File Not Found");
  EXPECT_EQ(RuntimeErrorText(ErrorSystemBase + 32), "Sharing Violation");
  EXPECT_EQ(RuntimeErrorText(ErrorSystemBase + 33), "Lock Violation");
  EXPECT_EQ(RuntimeErrorText(ErrorSystemBase + 65), "Network Access Denied");
  EXPECT_EQ(RuntimeErrorText(ErrorSystemBase + 80), "File Already Exists");
}

TEST(RuntimeErrorTextTest, FurtherGroupsHaveTextsForEveryCode) {
  struct Range {
    int32_t first, last;
  };
  for (Range r :
       {Range{401, 410}, Range{501, 515}, Range{521, 544}, Range{601, 605}, Range{800, 802}}) {
    for (int32_t code = r.first; code <= r.last; ++code) {
      EXPECT_NE(RuntimeErrorText(code), "Unknown Error") << code;
      EXPECT_FALSE(RuntimeErrorText(code).empty()) << code;
    }
  }
  EXPECT_EQ(RuntimeErrorText(401), "Stack overflow");
  EXPECT_EQ(RuntimeErrorText(409), "Pure Virtual Function Called");
  EXPECT_EQ(RuntimeErrorText(501), "Internal error 01");
  EXPECT_EQ(RuntimeErrorText(515), "Internal error 15");
  EXPECT_EQ(RuntimeErrorText(522), "Report is already open");
  EXPECT_EQ(RuntimeErrorText(530), "Window is not open");
  EXPECT_EQ(RuntimeErrorText(601), "Invalid DDE channel");
  EXPECT_EQ(RuntimeErrorText(605), "DDE transaction timed out");
}

TEST(ErrorStateTest, SetErrorTakesTextFromTableAndClearsDriverValues) {
  SetFileError(ErrorFileSystem, "14", "unable to open database file");
  SetError(ErrorRecordHeld);
  EXPECT_EQ(CurrentError().code, 43);
  EXPECT_EQ(CurrentError().text, "Record Is Already Held");
  EXPECT_EQ(CurrentError().fileErrorCode, "");
  EXPECT_EQ(CurrentError().fileErrorText, "");
}

TEST(ErrorStateTest, FileErrorMayBeRaisedAgainWithItsOwnDriverTexts) {
  SetFileError(ErrorFileSystem, "SQLITE_BUSY", "database is locked by another station");
  SetFileError(ErrorUnableToLogTransaction, CurrentError().fileErrorCode,
               CurrentError().fileErrorText);
  EXPECT_EQ(CurrentError().code, 48);
  EXPECT_EQ(CurrentError().fileErrorCode, "SQLITE_BUSY");
  EXPECT_EQ(CurrentError().fileErrorText, "database is locked by another station");
}

TEST(ErrorStateTest, FileErrorKeepsDriverCodeAndText) {
  SetFileError(ErrorFileSystem, "SQLITE_CORRUPT", "database disk image is malformed");
  EXPECT_EQ(CurrentError().code, 90);
  EXPECT_EQ(CurrentError().text, "File System Error");
  EXPECT_EQ(CurrentError().fileErrorCode, "SQLITE_CORRUPT");
  EXPECT_EQ(CurrentError().fileErrorText, "database disk image is malformed");
  ClearError();
  EXPECT_EQ(CurrentError().code, 0);
  EXPECT_EQ(CurrentError().text, "");
  EXPECT_EQ(CurrentError().fileErrorText, "");
}

}  // namespace
}  // namespace ledora::runtime
