#include "layout/design_transfer.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <set>

#include "runtime/storage/sqlite_driver.h"
#include "runtime/system/file_names.h"
#include "runtime/system/runtime_error.h"
#include "runtime/values/fixed_string.h"
#include "tests/layout/layout_fixture.h"
#include "tests/support/scripted_messages.h"
#include "tests/support/temp_folder.h"

namespace ledora::layout {
namespace {

using runtime::ButtonNo;
using runtime::ButtonOk;
using runtime::ButtonYes;
using testing::ScriptedMessages;

std::string Bytes(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), {});
}

bool Exists(const std::string& path) { return std::filesystem::exists(path); }

// ---- update from the new-reports file ----

// A definitions file with two types and a new-reports file with other
// definitions, in a fresh folder.
class UpdateFiles {
 public:
  UpdateFiles() : designs_(driver_) {
    designs_.DefinitionsFile = folder_.File("RptDes1.KDS");
    designs_.DesignsFile = folder_.File("NewRpt.KDS");
    designs_.BuildTableNames();
    for (DesignTable table : {R_Types, R_Bands, R_Fields, R_TypeFields, R_Pformats}) {
      EXPECT_EQ(designs_.File(table)->Create(), 0);
    }
    AddType(R_Types, 1, "Customers");
    AddType(R_Types, 2, "Items");
    AddField(R_Fields, 10, "CUS:NAME");
    AddPair(R_TypeFields, 1, 10);
    AddBand(R_Bands, 1, "Customer");
  }

  // The new-reports file; with = false leaves out one table.
  void WriteNewReports(bool withFields = true, bool empty = false) {
    const std::pair<DesignTable, const char*> mirrors[] = {{I_Types, "LTypes"},
                                                           {I_Bands, "BonTypes"},
                                                           {I_Fields, "AllFields"},
                                                           {I_TypeFields, "FonTypes"}};
    for (const auto& [table, name] : mirrors) {
      if (table == I_Fields && !withFields) continue;
      designs_.File(table)->SetName(folder_.File("RPTNEW1.KDS") + "\\!" + name);
      EXPECT_EQ(designs_.File(table)->Create(), 0);
    }
    if (empty) return;
    AddType(I_Types, 5, "Invoice");
    AddType(I_Types, 6, "Invoice List");
    AddType(I_Types, 7, "Items");
    if (withFields) AddField(I_Fields, 20, "INV:NUMBER");
    AddPair(I_TypeFields, 5, 20);
    AddBand(I_Bands, 5, "Line");
  }

  std::set<int32_t> TypeNumbers() {
    std::set<int32_t> numbers;
    runtime::DataFile& file = *designs_.File(R_Types);
    EXPECT_EQ(file.Open(runtime::AccessReadOnly | runtime::DenyNone), 0);
    file.SetOrder(kRecordOrderKey);
    while (file.Next() == 0) numbers.insert(R_T.TYPENUMBER);
    file.Close();
    return numbers;
  }

  int64_t Count(DesignTable table) {
    runtime::DataFile& file = *designs_.File(table);
    EXPECT_EQ(file.Open(runtime::AccessReadOnly | runtime::DenyNone), 0);
    int64_t records = file.Records();
    file.Close();
    return records;
  }

  std::string File(const char* name) { return folder_.File(name); }
  DesignDatabase& designs() { return designs_; }

 private:
  static constexpr int kRecordOrderKey = runtime::kRecordOrder;

  void Add(DesignTable table) {
    runtime::DataFile& file = *designs_.File(table);
    ASSERT_EQ(file.Open(), 0);
    EXPECT_EQ(file.Add(), 0);
    file.Close();
  }
  void AddType(DesignTable table, int32_t number, const char* name) {
    auto& record = *static_cast<ReportTypeRecord*>(DesignTableBuffer(table));
    record = {};
    record.TYPENUMBER = number;
    runtime::AssignPadded(record.TYPENAME, name);
    Add(table);
  }
  void AddField(DesignTable table, int32_t number, const char* name) {
    auto& record = *static_cast<DataFieldRecord*>(DesignTableBuffer(table));
    record = {};
    record.FIELDNUMBER = number;
    runtime::AssignPadded(record.FIELDNAME, name);
    runtime::AssignPadded(record.USERFIELDNAME, name);
    runtime::AssignPadded(record.PICTURE, "@s20");
    Add(table);
  }
  void AddPair(DesignTable table, int32_t type, int32_t field) {
    auto& record = *static_cast<TypeFieldRecord*>(DesignTableBuffer(table));
    record = {type, field};
    Add(table);
  }
  void AddBand(DesignTable table, int32_t type, const char* name) {
    auto& record = *static_cast<BandRecord*>(DesignTableBuffer(table));
    record = {};
    record.TYPENUMBER = type;
    record.DETAILNUMBER = 1;
    runtime::AssignPadded(record.DETAILNAME, name);
    Add(table);
  }

  testing::TempFolder folder_;
  runtime::SqliteDriver driver_;
  DesignDatabase designs_;
};

TEST(NewReportsUpdateTest, NothingToDoShowsNothing) {
  UpdateFiles files;
  ScriptedMessages messages;
  int reports = 0;
  DesignTransfer transfer(files.designs(), {}, [&](const TransferProgress&) { ++reports; });
  EXPECT_EQ(transfer.UpdateFromNewReports(), UpdateCompleted);
  EXPECT_EQ(reports, 0);
  EXPECT_FALSE(Exists(files.File("RPTDES1.KDB")));
  EXPECT_EQ(files.TypeNumbers(), (std::set<int32_t>{1, 2}));
}

TEST(NewReportsUpdateTest, ReplacesDefinitionsAndRemovesBothFiles) {
  UpdateFiles files;
  files.WriteNewReports();
  ScriptedMessages messages;
  std::vector<std::string> steps;
  std::vector<int> finalPercent;
  DesignTransfer transfer(files.designs(), {}, [&](const TransferProgress& progress) {
    if (steps.empty() || steps.back() != progress.step) {
      steps.push_back(progress.step);
      finalPercent.push_back(0);
    }
    EXPECT_LE(progress.done, progress.total);
    finalPercent.back() = progress.percent;
  });
  EXPECT_EQ(transfer.UpdateFromNewReports(), UpdateCompleted);
  EXPECT_EQ(files.TypeNumbers(), (std::set<int32_t>{5, 6, 7}));
  EXPECT_EQ(files.Count(R_Fields), 1);
  EXPECT_EQ(files.Count(R_Bands), 1);
  EXPECT_EQ(files.Count(R_TypeFields), 1);
  EXPECT_EQ(steps, (std::vector<std::string>{"Updating Types", "Updating Fields on Types",
                                             "Updating Bands on Types", "Updating Fields"}));
  EXPECT_EQ(finalPercent, (std::vector<int>{100, 100, 100, 100}));
  EXPECT_FALSE(Exists(files.File("RPTNEW1.KDS")));
  EXPECT_FALSE(Exists(files.File("RPTDES1.KDB")));
}

TEST(NewReportsUpdateTest, EmptySourceTablesEmptyTheDefinitions) {
  UpdateFiles files;
  files.WriteNewReports(true, true);
  ScriptedMessages messages;
  DesignTransfer transfer(files.designs());
  EXPECT_EQ(transfer.UpdateFromNewReports(), UpdateCompleted);
  for (DesignTable table : {R_Types, R_Bands, R_Fields, R_TypeFields}) {
    EXPECT_EQ(files.Count(table), 0) << DesignTableLabel(table);
  }
  EXPECT_FALSE(Exists(files.File("RPTNEW1.KDS")));
}

// Every operation of the table copy, failed once in turn, must lead to the
// restore question and a definitions file equal to the original; the next
// start offers the restore again and then retries the update.
TEST(NewReportsUpdateTest, FailureAtEachStepOffersRestoreOfTheOriginal) {
  const TransferStep steps[] = {StepOpenTarget, StepOpenSource, StepDelete, StepAdd, StepClose};
  const std::pair<DesignTable, DesignTable> pairs[] = {
      {R_Types, I_Types}, {R_TypeFields, I_TypeFields}, {R_Bands, I_Bands}, {R_Fields, I_Fields}};
  for (TransferStep step : steps) {
    for (auto [target, source] : pairs) {
      DesignTable failing = step == StepOpenSource ? source : target;
      if (step == StepClose) failing = source;
      SCOPED_TRACE(std::to_string(step) + " " + std::string(DesignTableLabel(failing)));
      UpdateFiles files;
      files.WriteNewReports();
      const std::string original = Bytes(files.File("RptDes1.KDS"));
      ScriptedMessages messages;
      DesignTransfer transfer(files.designs());
      bool fired = false;
      transfer.SetFaultHook([&](TransferStep at, DesignTable table) -> int32_t {
        if (fired || at != step || table != failing) return 0;
        fired = true;
        return runtime::ErrorAccessDenied;
      });
      messages.Expect("Error during import", "The import did not complete sucessfully", ButtonYes);
      EXPECT_EQ(transfer.UpdateFromNewReports(), UpdateCancelled);
      EXPECT_TRUE(fired);
      EXPECT_EQ(Bytes(files.File("RptDes1.KDS")), original);
      EXPECT_TRUE(Exists(files.File("RPTDES1.KDB")));
      EXPECT_TRUE(Exists(files.File("RPTNEW1.KDS")));

      messages.Expect("Error during import", "Last import did not complete sucessfully", ButtonYes);
      EXPECT_EQ(transfer.UpdateFromNewReports(), UpdateCompleted);
      EXPECT_EQ(files.TypeNumbers(), (std::set<int32_t>{5, 6, 7}));
      EXPECT_FALSE(Exists(files.File("RPTDES1.KDB")));
    }
  }
}

TEST(NewReportsUpdateTest, MissingSourceTableIsAFailure) {
  UpdateFiles files;
  files.WriteNewReports(false);
  const std::string original = Bytes(files.File("RptDes1.KDS"));
  ScriptedMessages messages;
  messages.Expect("Error during import", "The import did not complete", ButtonYes);
  DesignTransfer transfer(files.designs());
  EXPECT_EQ(transfer.UpdateFromNewReports(), UpdateCancelled);
  EXPECT_EQ(Bytes(files.File("RptDes1.KDS")), original);
}

TEST(NewReportsUpdateTest, DecliningTheRestoreKeepsBothFiles) {
  UpdateFiles files;
  files.WriteNewReports();
  ScriptedMessages messages;
  DesignTransfer transfer(files.designs());
  transfer.SetFaultHook([](TransferStep at, DesignTable table) -> int32_t {
    return at == StepAdd && table == R_Fields ? runtime::ErrorAccessDenied : 0;
  });
  messages.Expect("Error during import", "The import did not complete", ButtonNo);
  EXPECT_EQ(transfer.UpdateFromNewReports(), UpdateCancelled);
  EXPECT_EQ(files.TypeNumbers(), (std::set<int32_t>{5, 6, 7}));

  // No at the next start: nothing is restored or retried.
  messages.Expect("Error during import", "Last import did not complete", ButtonNo);
  EXPECT_EQ(transfer.UpdateFromNewReports(), UpdateCancelled);
  EXPECT_EQ(files.Count(R_Fields), 0);
  EXPECT_TRUE(Exists(files.File("RPTDES1.KDB")));
  EXPECT_TRUE(Exists(files.File("RPTNEW1.KDS")));
}

TEST(NewReportsUpdateTest, FailedRestoreIsReportedWithItsError) {
  UpdateFiles files;
  files.WriteNewReports();
  ScriptedMessages messages;
  DesignTransfer transfer(files.designs());
  transfer.SetFaultHook([](TransferStep at, DesignTable table) -> int32_t {
    if (at == StepOpenTarget && table == R_Bands) return runtime::ErrorAccessDenied;
    return at == StepRestore ? runtime::ErrorAccessDenied : 0;
  });
  messages.Expect("Error during import", "The import did not complete", ButtonYes);
  messages.Expect("Error during import", "Could not restore backup.  Error reported: 5, Access",
                  ButtonOk);
  EXPECT_EQ(transfer.UpdateFromNewReports(), UpdateCancelled);
  // The restore failed at start-up too: the update is not retried.
  messages.Expect("Error during import", "Last import", ButtonYes);
  messages.Expect("Error during import", "Could not restore backup", ButtonOk);
  EXPECT_EQ(transfer.UpdateFromNewReports(), UpdateCancelled);
  EXPECT_TRUE(Exists(files.File("RPTNEW1.KDS")));
}

TEST(NewReportsUpdateTest, FailedBackupStopsTheUpdateAndLeavesNoBackup) {
  UpdateFiles files;
  files.WriteNewReports();
  const std::string original = Bytes(files.File("RptDes1.KDS"));
  ScriptedMessages messages;
  DesignTransfer transfer(files.designs());
  transfer.SetFaultHook([](TransferStep at, DesignTable) -> int32_t {
    return at == StepBackup ? runtime::ErrorAccessDenied : 0;
  });
  messages.Expect("Error during import", "backup", ButtonOk);
  EXPECT_EQ(transfer.UpdateFromNewReports(), UpdateCancelled);
  EXPECT_EQ(Bytes(files.File("RptDes1.KDS")), original);
  EXPECT_FALSE(Exists(files.File("RPTDES1.KDB")));
  EXPECT_TRUE(Exists(files.File("RPTNEW1.KDS")));
}

// ---- export and import ----

class TransferTest : public ::testing::Test {
 protected:
  void SetUp() override {
    files_.AddType(1, "Customers");
    files_.AddType(2, "Items");
    files_.AddDesign(3, 1, "Standard");
    files_.AddDesign(4, 2, "Standard");
    files_.AddDesign(7, 1, "Wide");
    for (int32_t design : {3, 4, 7}) {
      for (int32_t sequence = 1; sequence <= design; ++sequence) {
        ContentRecord record = BlankContent(design, sequence, sequence == 1 ? 'A' : 'C', 5);
        PutLong(record, 0, design * 100 + sequence);
        files_.AddContent(record);
      }
    }
  }

  std::vector<int32_t> ExportedNumbers() {
    std::vector<int32_t> numbers;
    runtime::DataFile& file = files_.File(E_Design);
    EXPECT_EQ(file.Open(), 0);
    file.SetOrder(DesignRecord::DESIGNNUMBERKEY);
    while (file.Next() == 0) numbers.push_back(E_D.DESIGNNUMBER);
    file.Close();
    return numbers;
  }

  void SelectExported(int32_t number) {
    runtime::DataFile& file = files_.File(E_Design);
    ASSERT_EQ(file.Open(), 0);
    E_D = {};
    E_D.DESIGNNUMBER = number;
    ASSERT_EQ(file.Fetch(DesignRecord::DESIGNNUMBERKEY), 0);
    file.Close();
  }

  DesignFiles files_;
  testing::TempFolder exportFolder_;
  std::string exportFile_ = exportFolder_.File("export.kds");
  ScriptedMessages messages_;
  DesignTransfer transfer_{files_.designs()};
};

TEST_F(TransferTest, ExportWithoutTagsSaysSoAndWritesNothing) {
  messages_.Expect("No design selected", "nothing to export", ButtonOk);
  EXPECT_EQ(transfer_.ExportDesigns({}, exportFile_, true), 0);
  EXPECT_FALSE(Exists(exportFile_));
}

TEST_F(TransferTest, ExportCopiesDesignsAndContentsSkippingMissingOnes) {
  EXPECT_EQ(transfer_.ExportDesigns({7, 99, 3}, exportFile_, true), 2);
  EXPECT_EQ(ExportedNumbers(), (std::vector<int32_t>{3, 7}));
  SelectExported(7);
  EXPECT_EQ(transfer_.ImportDesign(exportFile_, "Copy"), ImportDone);
  EXPECT_EQ(R_D.DESIGNNUMBER, 8);
  std::vector<ContentRecord> copied = files_.Contents(8);
  std::vector<ContentRecord> original = files_.Contents(7);
  ASSERT_EQ(copied.size(), 7u);
  for (size_t i = 0; i < copied.size(); ++i) {
    EXPECT_EQ(int32_t{copied[i].SEQUENCENUMBER}, int32_t{original[i].SEQUENCENUMBER});
    EXPECT_EQ(copied[i].RECORDTYPE[0], original[i].RECORDTYPE[0]);
    EXPECT_EQ(std::string(copied[i].THEDATA, 500), std::string(original[i].THEDATA, 500));
  }
}

TEST_F(TransferTest, AppendReportsAnExistingNumberAndExportsTheRest) {
  EXPECT_EQ(transfer_.ExportDesigns({3}, exportFile_, true), 1);
  messages_.Expect("Can not export the design, error:", "Can not export the design, error: 40,",
                   ButtonOk);
  EXPECT_EQ(transfer_.ExportDesigns({3, 4}, exportFile_, false), 1);
  EXPECT_EQ(ExportedNumbers(), (std::vector<int32_t>{3, 4}));
}

TEST_F(TransferTest, NewFileReplacesWhatTheExportFileHeld) {
  EXPECT_EQ(transfer_.ExportDesigns({3, 4}, exportFile_, true), 2);
  EXPECT_EQ(transfer_.ExportDesigns({7}, exportFile_, true), 1);
  EXPECT_EQ(ExportedNumbers(), (std::vector<int32_t>{7}));
  SelectExported(7);
  EXPECT_EQ(transfer_.ImportDesign(exportFile_, "Again"), ImportDone);
  EXPECT_EQ(files_.Contents(R_D.DESIGNNUMBER).size(), 7u);
}

TEST_F(TransferTest, ImportRefusesAnExistingNameUnderItsType) {
  EXPECT_EQ(transfer_.ExportDesigns({3, 4}, exportFile_, true), 2);
  SelectExported(3);
  messages_.Expect("Standard Design already exists", "Please type in a new name", ButtonOk);
  EXPECT_EQ(transfer_.ImportDesign(exportFile_, "  "), ImportNameExists);
  messages_.Expect("Standard Design already exists", "already exists", ButtonOk);
  EXPECT_EQ(transfer_.ImportDesign(exportFile_, "Wide"), ImportNameExists);
  EXPECT_TRUE(files_.Contents(8).empty());
  // A name taken only under another type is free.
  SelectExported(4);
  EXPECT_EQ(transfer_.ImportDesign(exportFile_, "Wide"), ImportDone);
  EXPECT_EQ(R_D.DESIGNNUMBER, 8);
  EXPECT_EQ(R_D.TYPENUMBER, 2);
  EXPECT_EQ(files_.Contents(8).size(), 4u);
}

TEST(DesignImportTest, IntoNoDesignsGivesNumberOneUnderAnotherType) {
  testing::TempFolder exportFolder;
  std::string exportFile = exportFolder.File("moved.KDS");
  {
    DesignFiles source;
    ScriptedMessages messages;
    source.AddType(2, "Items");
    source.AddDesign(12, 2, "Standard");
    source.AddContent(BlankContent(12, 1, 'A', 0));
    DesignTransfer transfer(source.designs());
    ASSERT_EQ(transfer.ExportDesigns({12}, exportFile, true), 1);
  }
  DesignFiles target;
  target.AddType(1, "Customers");
  target.AddType(2, "Items");
  ScriptedMessages messages;
  DesignTransfer transfer(target.designs());
  runtime::DataFile& exported = *target.designs().File(E_Design);
  target.designs().SetExportFile(exportFile);
  ASSERT_EQ(exported.Open(), 0);
  E_D = {};
  E_D.DESIGNNUMBER = 12;
  ASSERT_EQ(exported.Fetch(DesignRecord::DESIGNNUMBERKEY), 0);
  exported.Close();
  EXPECT_EQ(transfer.ImportDesign(exportFile, ""), ImportDone);
  EXPECT_EQ(R_D.DESIGNNUMBER, 1);
  EXPECT_EQ(R_D.TYPENUMBER, 2);
  EXPECT_EQ(runtime::ClippedField(R_D.DESIGNNAME), "Standard");
  EXPECT_EQ(target.Contents(1).size(), 1u);
}

TEST(DesignImportTest, MissingExportFileImportsNothing) {
  DesignFiles files;
  testing::TempFolder folder;
  ScriptedMessages messages;
  DesignTransfer transfer(files.designs());
  E_D = {};
  E_D.DESIGNNUMBER = 1;
  EXPECT_EQ(transfer.ImportDesign(folder.File("none.kds"), "X"), ImportNoFile);
  EXPECT_FALSE(Exists(folder.File("none.kds")));
}

}  // namespace
}  // namespace ledora::layout
