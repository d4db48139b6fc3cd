#include "designer/standard_warnings.h"

#include <gtest/gtest.h>

#include "runtime/system/runtime_error.h"
#include "tests/support/halt_recorder.h"
#include "tests/support/scripted_messages.h"

namespace ledora::testing {
namespace {

using designer::StandardWarning;
using runtime::ButtonCancel;
using runtime::ButtonNo;
using runtime::ButtonOk;
using runtime::ButtonRetry;
using runtime::ButtonYes;

class StandardWarningsTest : public ::testing::Test {
 protected:
  StandardWarningsTest() { runtime::ClearError(); }
  ~StandardWarningsTest() override { runtime::ClearError(); }

  // Shows a warning answered with button and returns what the box said.
  runtime::MessageRequest Show(int number, const char* n, const char* x = "",
                               uint32_t button = ButtonOk) {
    messages.ExpectAny(button);
    EXPECT_EQ(StandardWarning(designer::StandardWarningNumber{number}, n, x), button);
    return messages.last().request;
  }

  HaltRecorder halts;
  ScriptedMessages messages;
};

// ---------------------------------------------------------------- texts

TEST_F(StandardWarningsTest, FileAccessErrorJoinsNameAndErrorWithoutExtraBlanks) {
  runtime::SetError(runtime::ErrorFileNotFound);
  runtime::MessageRequest box = Show(30, "R_Pformats");
  EXPECT_EQ(box.caption, "File Access Error");
  EXPECT_EQ(box.text, "File (R_Pformats) could not be opened.  Error: File Not Found (2).");
  EXPECT_EQ(box.icon, runtime::IconExclamation);
  EXPECT_EQ(box.buttons, ButtonOk);
  EXPECT_FALSE(halts.halted());
}

TEST_F(StandardWarningsTest, TextsKeepTheirOddSpacingAndBothArguments) {
  runtime::SetError(runtime::ErrorRecordHeld);
  EXPECT_EQ(Show(34, "R_Pformats", "Update").text,
            "Error: (Record Is Already Held (43)) attempting to frame the Update transaction on "
            "R_Pformats.  Update transaction cancelled.");
  EXPECT_EQ(Show(10, "Width", "1 and 10").text, "The value of Width must be between 1 and 10.");
  EXPECT_EQ(Show(11, "Type", "Report types").text,
            "The value for Type must be found in the Report types file.");
  EXPECT_EQ(Show(24, "Format order").text,
            "Adding this record creates a duplicate entry for the key:Format order");
  EXPECT_EQ(Show(26, "Layout").text,
            "Layout File Load Error.  Error: Record Is Already Held (43).");
  runtime::MessageRequest unnamed = Show(7, "");
  EXPECT_EQ(unnamed.caption, "");
  EXPECT_EQ(unnamed.text,
            "Unable to read keyed record.  Error: Record Is Already Held (43).  Insert Aborted");
}

TEST_F(StandardWarningsTest, AnArgumentThatLooksLikeAPlaceholderIsShownAsWritten) {
  runtime::SetError(runtime::ErrorFileNotFound);
  EXPECT_EQ(Show(30, "%E%X").text, "File (%E%X) could not be opened.  Error: File Not Found (2).");
}

TEST_F(StandardWarningsTest, TwoFormWarningsChooseTheirFormByTheSecondText) {
  runtime::SetError(runtime::ErrorRecordChanged);
  runtime::MessageRequest end = Show(29, "", "", ButtonYes);
  EXPECT_EQ(end.caption, "End of File Error");
  runtime::MessageRequest beginning = Show(29, "", "Beginning", ButtonNo);
  EXPECT_EQ(beginning.caption, "Beginning of File Error");
  EXPECT_EQ(beginning.text,
            "The beginning of the viewed file was encountered.  Do you want to start again from "
            "the end of the file?");
  EXPECT_EQ(beginning.icon, runtime::IconQuestion);
  EXPECT_EQ(Show(31, "R_Pformats").caption, "Process PUT Error");
  runtime::MessageRequest deleting = Show(31, "R_Pformats", "Delete");
  EXPECT_EQ(deleting.caption, "Process DELETE Error");
  EXPECT_EQ(deleting.text,
            "An error was experienced when deleting a record from the R_Pformats file.  Error: "
            "Record Changed By Another Station (89)");
}

TEST_F(StandardWarningsTest, UpdateErrorWithoutAnyErrorSaysAnotherStationChangedTheRecord) {
  EXPECT_EQ(Show(15, "anything").text, "This record was changed by another station.");
  runtime::SetError(runtime::ErrorRecordHeld);
  EXPECT_EQ(Show(15, "Record Changed by Another Station").text,
            "An error (Record Is Already Held (43)) was experienced when attempting to update a "
            "record from the file.  Probable Cause: Record Changed by Another Station.");
}

// ---------------------------------------------------------------- buttons and icons

TEST_F(StandardWarningsTest, QuestionsAskWithAQuestionIconAndTheirButtons) {
  struct Case {
    int number;
    uint32_t buttons;
    uint32_t answer;
  };
  for (Case c : {Case{23, ButtonYes | ButtonNo, ButtonNo}, Case{27, ButtonOk | ButtonCancel, 64},
                 Case{32, ButtonOk | ButtonCancel, ButtonOk},
                 Case{33, ButtonYes | ButtonNo | ButtonCancel, ButtonCancel},
                 Case{37, ButtonYes | ButtonNo, ButtonYes}}) {
    runtime::MessageRequest box = Show(c.number, "Designs", "", c.answer);
    EXPECT_EQ(box.icon, runtime::IconQuestion) << c.number;
    EXPECT_EQ(box.buttons, c.buttons) << c.number;
  }
  runtime::MessageRequest retry = Show(25, "", "", ButtonRetry);
  EXPECT_EQ(retry.buttons, ButtonRetry | ButtonCancel);
  EXPECT_EQ(retry.icon, runtime::IconExclamation);
  EXPECT_EQ(Show(16, "", "", ButtonYes).buttons, ButtonYes | ButtonNo | ButtonCancel);
  EXPECT_FALSE(halts.halted());
}

TEST_F(StandardWarningsTest, NumbersOutsideTheTableShowNothing) {
  for (int number : {0, -1, 39, 1000})
    EXPECT_EQ(StandardWarning(designer::StandardWarningNumber{number}, "x", "y"), 0u);
  EXPECT_TRUE(messages.shown().empty());
  EXPECT_FALSE(halts.halted());
}

// ---------------------------------------------------------------- stops

TEST_F(StandardWarningsTest, FatalWarningsHaltWithTheirStopText) {
  struct Case {
    int number;
    const char* stop;
  };
  for (Case c :
       {Case{1, "Invalid File!"}, Case{3, "Error Rebuilding Key!"}, Case{4, "File Creation Error!"},
        Case{5, "File Creation Error!"}, Case{22, "File Creation Error!"}}) {
    size_t before = halts.calls().size();
    Show(c.number, "R_Types");
    ASSERT_EQ(halts.calls().size(), before + 1) << c.number;
    EXPECT_EQ(halts.calls().back().text, c.stop);
  }
  EXPECT_EQ(messages.shown()[4].request.text,
            "The File R_Typeswas not found, and creation of the file is not allowed.  Press OK to "
            "end this application.");
}

TEST_F(StandardWarningsTest, InvalidKeyHaltsOnlyWhenTheRebuildIsRefused) {
  runtime::MessageRequest box = Show(2, "R_Types", "", ButtonYes);
  EXPECT_EQ(box.text, "R_Types key file is invalid.  Do you want to rebuild the key?");
  EXPECT_EQ(box.icon, runtime::IconQuestion);
  EXPECT_FALSE(halts.halted());
  Show(2, "R_Types", "", ButtonNo);
  ASSERT_EQ(halts.calls().size(), 1u);
  EXPECT_EQ(halts.calls()[0].text, "Invalid Key!");
}

// ---------------------------------------------------------------- error description

TEST_F(StandardWarningsTest, AFileSystemErrorShowsTheDriversOwnTextAndCode) {
  runtime::SetFileError(runtime::ErrorFileSystem, "SQLITE_IOERR", "disk I/O error");
  EXPECT_EQ(Show(30, "R_Design").text,
            "File (R_Design) could not be opened.  Error: disk I/O error (SQLITE_IOERR).");
}

TEST_F(StandardWarningsTest, ASavedErrorWinsOnceAndIsThenForgotten) {
  runtime::SetError(runtime::ErrorRecordHeld);
  designer::SaveError();
  runtime::SetError(runtime::ErrorFileNotFound);
  EXPECT_EQ(designer::ErrorDescription(), "Record Is Already Held (43)");
  EXPECT_EQ(Show(17, "R_Pformats").text,
            "An error (Record Is Already Held (43)) was experienced when attempting to delete a "
            "record from the file R_Pformats.");
  EXPECT_EQ(Show(17, "R_Pformats").text,
            "An error (File Not Found (2)) was experienced when attempting to delete a record from "
            "the file R_Pformats.");
  designer::SaveError(runtime::ErrorDuplicateKey, "Creates Duplicate Key");
  Show(24, "k");  // a warning without an error clears the saved one too
  EXPECT_EQ(designer::ErrorDescription(), "File Not Found (2)");
}

}  // namespace
}  // namespace ledora::testing
