#include "layout/design_database.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "runtime/storage/sqlite_driver.h"
#include "runtime/system/runtime_error.h"
#include "runtime/values/fixed_string.h"
#include "tests/support/scripted_messages.h"
#include "tests/support/temp_folder.h"

namespace ledora::testing {
namespace {

using layout::ContentRecord;
using layout::DesignRecord;
using layout::DesignTable;
using layout::R_C;
using layout::R_D;
using layout::R_S;
using layout::R_T;

class DesignDatabaseTest : public ::testing::Test {
 protected:
  DesignDatabaseTest() : database(driver) {
    database.DefinitionsFile = folder.File("RptDes1.KDS");
    database.DesignsFile = folder.File("NewRpt.KDS");
    database.BuildTableNames();
  }

  runtime::DataFile& File(DesignTable table) { return *database.File(table); }

  // Creates and opens a table for this test's direct writes.
  void Make(DesignTable table) {
    ASSERT_EQ(File(table).Create(), 0);
    ASSERT_TRUE(database.Use(table));
  }
  int32_t AddType(int32_t number, const char* name) {
    R_T = {};
    R_T.TYPENUMBER = number;
    runtime::AssignPadded(R_T.TYPENAME, name);
    return File(layout::R_Types).Add();
  }
  int32_t AddDesign(int32_t number, int32_t type, const char* name) {
    R_D = {};
    R_D.DESIGNNUMBER = number;
    R_D.TYPENUMBER = type;
    runtime::AssignPadded(R_D.DESIGNNAME, name);
    return File(layout::R_Design).Add();
  }
  int32_t AddContent(int32_t design, int32_t sequence, char recordType, uint8_t kind) {
    R_C = {};
    R_C.DESIGNNUMBER = design;
    R_C.SEQUENCENUMBER = sequence;
    R_C.RECORDTYPE[0] = recordType;
    R_C.BCTYPE = kind;
    std::memset(R_C.THEDATA, ' ', sizeof R_C.THEDATA);
    return File(layout::R_Content).Add();
  }
  int64_t Records(DesignTable table) { return File(table).Records(); }

  TempFolder folder;
  ScriptedMessages messages;
  runtime::SqliteDriver driver;
  layout::DesignDatabase database;
};

// ---------------------------------------------------------------- records and names

TEST(DesignRecordsTest, EveryTableHasItsLabelPrefixAndRecordSize) {
  struct Case {
    DesignTable table;
    const char* label;
    const char* prefix;
    uint32_t size;
  };
  for (Case c : {Case{layout::R_Types, "R_Types", "R_T", 41},
                 {layout::R_Bands, "R_Bands", "R_B", 58},
                 {layout::R_Fields, "R_Fields", "R_F", 328},
                 {layout::R_TypeFields, "R_TypeFields", "R_O", 8},
                 {layout::R_Pformats, "R_Pformats", "R_P", 88},
                 {layout::R_Design, "R_Design", "R_D", 40},
                 {layout::R_Content, "R_Content", "R_C", 510},
                 {layout::R_StdDesign, "R_StdDesign", "R_S", 8},
                 {layout::E_Design, "E_Design", "E_D", 40},
                 {layout::E_Content, "E_Content", "E_C", 510},
                 {layout::I_Types, "I_Types", "I_T", 41},
                 {layout::I_Bands, "I_Bands", "I_B", 58},
                 {layout::I_Fields, "I_Fields", "I_F", 328},
                 {layout::I_TypeFields, "I_TypeFields", "I_O", 8}}) {
    EXPECT_EQ(layout::DesignTableLabel(c.table), c.label);
    EXPECT_EQ(layout::DesignTablePrefix(c.table), c.prefix);
    const runtime::RecordLayout& record = layout::DesignTableLayout(c.table);
    EXPECT_EQ(record.recordSize(), c.size) << c.label;
    uint32_t end = 0;  // fields follow each other without padding
    for (const runtime::FieldDescriptor& field : record.fields()) {
      EXPECT_EQ(field.offset, end) << field.label;
      EXPECT_EQ(field.label.rfind(std::string(c.prefix) + ":", 0), 0u) << field.label;
      end += field.size;
    }
    EXPECT_EQ(end, c.size) << c.label;
  }
  EXPECT_EQ(layout::DesignTableKeys(layout::I_Fields)[2].label, "I_F:USERFIELDKEY");
  EXPECT_EQ(layout::DesignTableLabel(layout::kDesignTableCount), "");
  EXPECT_EQ(layout::DesignTableBuffer(static_cast<DesignTable>(-1)), nullptr);
}

TEST(DesignNamesTest, TablesAreNamedAfterTheTwoFilesAndTheExportFile) {
  runtime::SqliteDriver driver;
  layout::DesignDatabase database(driver);
  EXPECT_EQ(database.TableName(layout::R_Types), "RptDes1.KDS\\!LTypes");
  EXPECT_EQ(database.TableName(layout::R_Pformats), "RptDes1.KDS\\!PaperFor");
  EXPECT_EQ(database.TableName(layout::R_Content), "NewRpt.KDS\\!Contents");
  EXPECT_EQ(database.TableName(layout::R_StdDesign), "NewRpt.KDS\\!StdDesign");
  EXPECT_EQ(database.TableName(layout::I_TypeFields), "RptNew1\\!FonTypes");
  EXPECT_EQ(database.TableName(layout::E_Design), "");

  database.DefinitionsFile = "Other.KDS   ";  // a blank-padded name variable
  database.DesignsFile = "Mine.KDS";
  database.BuildTableNames();
  database.SetExportFile("export.kds ");
  EXPECT_EQ(database.TableName(layout::R_Bands), "Other.KDS\\!BonTypes");
  EXPECT_EQ(database.TableName(layout::R_Design), "Mine.KDS\\!Layouts");
  EXPECT_EQ(database.TableName(layout::E_Content), "export.kds\\!E_Content");
  EXPECT_EQ(database.File(layout::R_Design)->declaration().name, "Mine.KDS\\!Layouts");
  EXPECT_EQ(database.TableName(layout::I_Types), "RptNew1\\!LTypes");  // fixed
}

TEST(DesignNamesTest, NamesFromOverlongBaseNamesAreCutAt255Characters) {
  runtime::SqliteDriver driver;
  layout::DesignDatabase database(driver);
  database.DefinitionsFile = std::string(250, 'd');
  database.DesignsFile = std::string(300, 'n');
  database.BuildTableNames();
  EXPECT_EQ(database.DesignsFile.size(), 255u);
  EXPECT_EQ(database.TableName(layout::R_Types), std::string(250, 'd') + "\\!LTy");
  EXPECT_EQ(database.TableName(layout::R_Design), std::string(255, 'n'));
  database.SetExportFile(std::string(400, 'e'));
  EXPECT_EQ(database.TableName(layout::E_Design).size(), 255u);
}

// ---------------------------------------------------------------- use counters

TEST_F(DesignDatabaseTest, TheFirstUserOpensAndTheLastUserCloses) {
  ASSERT_TRUE(database.Use(layout::R_Design));  // a designs table is created when missing
  EXPECT_TRUE(File(layout::R_Design).IsOpen());
  ASSERT_TRUE(database.Use(layout::R_Design));
  EXPECT_EQ(database.UseCount(layout::R_Design), 2);
  database.Release(layout::R_Design);
  EXPECT_TRUE(File(layout::R_Design).IsOpen());
  database.Release(layout::R_Design);
  EXPECT_FALSE(File(layout::R_Design).IsOpen());
  database.Release(layout::R_Design);  // one release too many changes nothing
  EXPECT_EQ(database.UseCount(layout::R_Design), 0);
  EXPECT_FALSE(database.Use(static_cast<DesignTable>(99)));
}

TEST_F(DesignDatabaseTest, AMissingDefinitionsTableIsNotCreatedAndNotCounted) {
  EXPECT_FALSE(database.Use(layout::R_Types));
  EXPECT_EQ(database.UseCount(layout::R_Types), 0);
  EXPECT_TRUE(database.Use(layout::R_Types, true));
  EXPECT_EQ(database.UseCount(layout::R_Types), 1);
}

TEST_F(DesignDatabaseTest, UsersShareTheOpenerThatTheDesignerInstalls) {
  std::vector<std::string> opened;
  layout::DesignDatabase guarded(driver, [&](runtime::DataFile& file, uint8_t mode, bool create) {
    opened.push_back(file.declaration().label);
    return file.Create() == 0 && file.Open(mode) == 0;
  });
  guarded.SetExportFile(folder.File("export.kds"));
  ASSERT_TRUE(guarded.Use(layout::E_Design, true, runtime::AccessReadWrite | runtime::DenyWrite));
  ASSERT_TRUE(guarded.Use(layout::E_Design));
  EXPECT_EQ(opened, std::vector<std::string>{"E_Design"});
}

// ---------------------------------------------------------------- keys

TEST_F(DesignDatabaseTest, DesignNamesAreUniqueWithinTheirTypeOnlyAndCaseMatters) {
  Make(layout::R_Design);
  EXPECT_EQ(AddDesign(1, 1, "Standard"), 0);
  EXPECT_EQ(AddDesign(2, 1, "Standard"), runtime::ErrorDuplicateKey);
  EXPECT_EQ(AddDesign(3, 2, "Standard"), 0);
  EXPECT_EQ(AddDesign(4, 1, "STANDARD"), 0);
  EXPECT_EQ(AddDesign(1, 3, "Other"), runtime::ErrorDuplicateKey);  // the number is primary
  EXPECT_EQ(Records(layout::R_Design), 3);
}

TEST_F(DesignDatabaseTest, ContentLoadsPaperThenBandsThenControlsByKindInAddedOrder) {
  Make(layout::R_Content);
  // Saved in sequence order as the designer writes them, kinds mixed.
  struct Row {
    int32_t sequence;
    char type;
    uint8_t kind;
  };
  const Row rows[] = {{1, 'A', 0}, {2, 'B', 7}, {3, 'C', 6}, {4, 'B', 5}, {5, 'C', 2},
                      {6, 'c', 6}, {7, 'B', 7}, {8, 'C', 2}, {9, 'b', 4}};
  for (const Row& row : rows) ASSERT_EQ(AddContent(12, row.sequence, row.type, row.kind), 0);
  ASSERT_EQ(AddContent(11, 1, 'A', 0), 0);  // another design's records stay out
  ASSERT_EQ(AddContent(13, 1, 'A', 0), 0);

  R_C = {};
  R_C.DESIGNNUMBER = 12;
  R_C.RECORDTYPE[0] = ' ';
  ASSERT_EQ(File(layout::R_Content).SetOnKey(ContentRecord::DESIGNNUMBERKEY), 0);
  std::vector<int32_t> sequence;
  while (File(layout::R_Content).Next() == 0 && R_C.DESIGNNUMBER == 12) {
    sequence.push_back(R_C.SEQUENCENUMBER);
  }
  EXPECT_EQ(sequence, (std::vector<int32_t>{1, 9, 4, 2, 7, 5, 8, 3, 6}));
  EXPECT_EQ(AddContent(12, 3, 'C', 1), runtime::ErrorDuplicateKey);  // sequence is primary
}

TEST_F(DesignDatabaseTest, ContentDataComesBackByteForByte) {
  Make(layout::R_Content);
  AddContent(1, 1, 'C', 6);
  for (size_t i = 0; i < sizeof R_C.THEDATA; ++i) R_C.THEDATA[i] = static_cast<char>(i * 7);
  std::memset(R_C.THEDATA + 480, 0, 20);  // binary numbers end in zero bytes
  R_C.SEQUENCENUMBER = 2;
  ASSERT_EQ(File(layout::R_Content).Add(), 0);
  ContentRecord written = R_C;
  R_C = {};
  R_C.DESIGNNUMBER = 1;
  R_C.SEQUENCENUMBER = 2;
  ASSERT_EQ(File(layout::R_Content).Fetch(ContentRecord::DESIGNNUMBERSEQ), 0);
  EXPECT_EQ(std::memcmp(&R_C, &written, sizeof R_C), 0);
}

// ---------------------------------------------------------------- managers

class DesignManagersTest : public DesignDatabaseTest {
 protected:
  DesignManagersTest() {
    errors.Initialize();
    database.InitializeManagers(errors);
  }
  ~DesignManagersTest() override { database.ShutdownManagers(); }

  // Types 1 and 2; designs 1-2 of type 1 and 3 of type 2, each with content;
  // both types have a standard design.
  void Fill() {
    Make(layout::R_Types);
    Make(layout::R_Design);
    Make(layout::R_StdDesign);
    Make(layout::R_Content);
    ASSERT_EQ(AddType(1, "Customers"), 0);
    ASSERT_EQ(AddType(2, "Invoices"), 0);
    struct Design {
      int32_t number;
      int32_t type;
      const char* name;
    };
    for (Design design : {Design{1, 1, "Layout"}, {2, 1, "Second"}, {3, 2, "Layout"}}) {
      ASSERT_EQ(AddDesign(design.number, design.type, design.name), 0);
      for (int32_t sequence = 1; sequence <= 3; ++sequence) {
        ASSERT_EQ(AddContent(design.number, sequence, 'C', 5), 0);
      }
    }
    for (auto [type, design] : {std::pair{1, 2}, {2, 3}}) {
      R_S.TYPENR = type;
      R_S.STANDARDDESIGN = design;
      ASSERT_EQ(File(layout::R_StdDesign).Add(), 0);
    }
  }
  // Reads a type the way a browse does before a change or delete; the
  // browse keeps the file open meanwhile.
  void ReadType(int32_t number) {
    data::FileManager* types = database.Manager(layout::R_Types);
    types->Open();
    R_T.TYPENUMBER = number;
    ASSERT_EQ(types->Fetch(layout::ReportTypeRecord::TYPENUMBERKEY), 0);
    database.Relations(layout::R_Types)->RememberLinkingValues();
  }
  void EndType() { database.Manager(layout::R_Types)->Close(); }
  std::vector<int32_t> DesignsOf(int32_t type) {
    std::vector<int32_t> numbers;
    R_D = {};
    R_D.TYPENUMBER = type;
    EXPECT_EQ(File(layout::R_Design).SetOnKey(DesignRecord::TYPEKEY), 0);
    while (File(layout::R_Design).Next() == 0 && R_D.TYPENUMBER == type) {
      numbers.push_back(R_D.DESIGNNUMBER);
    }
    return numbers;
  }

  data::ErrorReporter errors;
};

TEST_F(DesignManagersTest, ManagersCarryTheTableNamesKeysAndNumbering) {
  ASSERT_NE(database.Manager(layout::R_Types), nullptr);
  EXPECT_EQ(database.Manager(layout::R_Fields), nullptr);
  EXPECT_EQ(database.Manager(layout::R_Types)->CREATE, 0);
  EXPECT_EQ(database.Manager(layout::R_Design)->Key(DesignRecord::TYPEKEY)->PDESCRIPTION,
            "Report type order");
  EXPECT_EQ(database.Manager(layout::R_Types)->DisplayName(),
            folder.File("RptDes1.KDS") + "\\!LTypes");
  database.DefinitionsFile = "Elsewhere.KDS";
  database.BuildTableNames();  // the display name follows the name variable
  EXPECT_EQ(database.Manager(layout::R_Types)->DisplayName(), "Elsewhere.KDS\\!LTypes");
  database.DefinitionsFile = folder.File("RptDes1.KDS");
  database.BuildTableNames();

  data::FileManager* designs = database.Manager(layout::R_Design);
  designs->Open();
  for (int32_t expected : {1, 2}) {
    designs->PrimeRecord();
    R_D.TYPENUMBER = 7;
    runtime::AssignPadded(R_D.DESIGNNAME, expected == 1 ? "One" : "Two");
    ASSERT_EQ(designs->Insert(), 0);
    EXPECT_EQ(R_D.DESIGNNUMBER, expected);
  }
  designs->Close();
  database.ShutdownManagers();
  EXPECT_EQ(database.Manager(layout::R_Design), nullptr);
  database.InitializeManagers(errors);
}

TEST_F(DesignManagersTest, DeletingATypeTakesItsDesignsDefaultAndContentsAlong) {
  Fill();
  ReadType(1);
  EXPECT_EQ(database.Relations(layout::R_Types)->Delete(false), 0);
  EndType();
  EXPECT_EQ(Records(layout::R_Types), 1);
  EXPECT_TRUE(DesignsOf(1).empty());
  EXPECT_EQ(DesignsOf(2), std::vector<int32_t>{3});
  EXPECT_EQ(Records(layout::R_StdDesign), 1);
  EXPECT_EQ(Records(layout::R_Content), 3);  // only design 3's records are left
  R_C = {};
  R_C.DESIGNNUMBER = 3;
  R_C.SEQUENCENUMBER = 1;
  EXPECT_EQ(File(layout::R_Content).Fetch(ContentRecord::DESIGNNUMBERSEQ), 0);
}

TEST_F(DesignManagersTest, RenumberingATypeCarriesTheNumberToItsDesignsAndDefault) {
  Fill();
  ReadType(2);
  R_T.TYPENUMBER = 20;
  EXPECT_EQ(database.Relations(layout::R_Types)->Update(), 0);
  EndType();
  EXPECT_EQ(DesignsOf(20), std::vector<int32_t>{3});
  EXPECT_TRUE(DesignsOf(2).empty());
  EXPECT_EQ(DesignsOf(1), (std::vector<int32_t>{1, 2}));
  R_S.TYPENR = 20;
  EXPECT_EQ(File(layout::R_StdDesign).Fetch(layout::StdDesignRecord::TYPENUMBERKEY), 0);
  EXPECT_EQ(R_S.STANDARDDESIGN, 3);
  EXPECT_EQ(Records(layout::R_Content), 9);  // design numbers did not change
}

}  // namespace
}  // namespace ledora::testing
