#include "designer/form_routines.h"

#include <gtest/gtest.h>

#include "layout/design_records.h"
#include "runtime/storage/sqlite_driver.h"
#include "runtime/system/runtime_error.h"
#include "runtime/values/fixed_string.h"
#include "tests/designer/paper_formats_table.h"
#include "tests/support/scripted_messages.h"
#include "tests/support/temp_folder.h"

namespace ledora::designer {
namespace {

using layout::R_P;
using runtime::ButtonCancel;
using runtime::ButtonOk;
using testing::PaperFormats;

// The paper formats table with "A4", read into the buffer, plus a second
// station on the same file.
class FormRoutinesTest : public ::testing::Test {
 protected:
  FormRoutinesTest()
      : file(driver.Declare(PaperFormats(folder.path()))),
        other(otherDriver.Declare(PaperFormats(folder.path()))) {
    EXPECT_EQ(file->Create(), 0);
    EXPECT_EQ(file->Open(), 0);
    EXPECT_EQ(other->Open(), 0);
    Put("A4", 210);
    EXPECT_EQ(file->Add(), 0);
    form = {file.get(), "R_Pformats", "Format order"};
  }
  ~FormRoutinesTest() override {
    file->Close();
    other->Close();
  }
  void Put(const char* name, int32_t width) {
    R_P = {};
    runtime::AssignPadded(R_P.FORMATNAME, name);
    R_P.PAPERWIDTH = width;
  }
  void ReadIn(runtime::DataFile& f, const char* name) {
    Put(name, 0);
    ASSERT_EQ(f.Fetch(layout::PaperFormatRecord::FORMATKEY), 0);
  }

  testing::TempFolder folder;
  runtime::SqliteDriver driver;
  runtime::SqliteDriver otherDriver;
  std::unique_ptr<runtime::DataFile> file;
  std::unique_ptr<runtime::DataFile> other;
  testing::ScriptedMessages messages;
  FormFile form;
};

TEST_F(FormRoutinesTest, AChangeIsWrittenInsideItsTransaction) {
  ReadIn(*file, "A4");
  R_P.PAPERWIDTH = 211;
  EXPECT_TRUE(ChangeFormRecord(form, true).done());
  EXPECT_FALSE(driver.InTransaction());
  ReadIn(*other, "A4");
  EXPECT_EQ(R_P.PAPERWIDTH, 211);
}

TEST_F(FormRoutinesTest, ARecordChangedElsewhereIsWarnedAboutAndReadBack) {
  ReadIn(*file, "A4");
  ReadIn(*other, "A4");
  R_P.PAPERWIDTH = 300;
  ASSERT_EQ(other->Put(), 0);
  ReadIn(*file, "A4");
  ReadIn(*other, "A4");
  R_P.PAPERWIDTH = 301;
  ASSERT_EQ(other->Put(), 0);
  R_P.PAPERWIDTH = 999;
  messages.Expect("Record Was Not Updated", "changed by another station", ButtonOk);
  EXPECT_EQ(ChangeFormRecord(form, true).error, runtime::ErrorRecordChanged);
  EXPECT_EQ(R_P.PAPERWIDTH, 301);  // the stored record, read back
  ReadIn(*file, "A4");
  R_P.PAPERWIDTH = 5;
  ReadIn(*other, "A4");
  R_P.PAPERWIDTH = 302;
  ASSERT_EQ(other->Put(), 0);
  messages.Expect("Update Operation Error", "Probable Cause: Record Changed by Another Station.",
                  ButtonOk);
  EXPECT_EQ(ChangeFormRecord(form, false).error, runtime::ErrorRecordChanged);
}

TEST_F(FormRoutinesTest, ATransactionThatCannotBeginIsWarnedAbout) {
  ASSERT_EQ(driver.Mark(*file), 0);
  ASSERT_EQ(driver.Logout(1), 0);
  ReadIn(*file, "A4");
  messages.Expect("Transaction Framing Error", "the Update transaction on R_Pformats.  Update",
                  ButtonOk);
  EXPECT_EQ(ChangeFormRecord(form, true).outcome, FormFailed);
  messages.Expect("Confirm Delete", "", ButtonOk);
  messages.Expect("Transaction Framing Error", "Delete transaction cancelled.", ButtonOk);
  EXPECT_EQ(DeleteFormRecord(form).outcome, FormFailed);
  driver.Rollback();
}

TEST_F(FormRoutinesTest, DeleteAsksFirstAndInsertWarnsOfADuplicateKey) {
  ReadIn(*file, "A4");
  messages.Expect("Confirm Delete", "Press OK to confirm", ButtonCancel);
  EXPECT_EQ(DeleteFormRecord(form).outcome, FormDeclined);
  Put("A4", 1);
  messages.Expect("Duplicate Key Error", "duplicate entry for the key:Format order", ButtonOk);
  EXPECT_EQ(InsertFormRecord(form).error, runtime::ErrorDuplicateKey);
  ReadIn(*file, "A4");
  messages.Expect("Confirm Delete", "", ButtonOk);
  EXPECT_TRUE(DeleteFormRecord(form).done());
  EXPECT_EQ(file->Records(), 0);
}

}  // namespace
}  // namespace ledora::designer
