#include "layout/shipped_reports.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <map>
#include <set>

#include "layout/content_data.h"
#include "layout/control_entry.h"
#include "layout/design_database.h"
#include "layout/design_transfer.h"
#include "runtime/storage/sqlite_driver.h"
#include "runtime/values/fixed_string.h"
#include "tests/support/scripted_messages.h"
#include "tests/support/temp_folder.h"

namespace ledora::layout {
namespace {

using runtime::ClippedField;

ShippedReports Shipped() {
  ShippedReports reports;
  std::string error;
  EXPECT_TRUE(reports.Parse(ShippedReportsText(), &error)) << error;
  return reports;
}

const ShippedDesign* FindDesign(const ShippedReports& reports, int32_t type,
                                std::string_view name) {
  for (const ShippedDesign& design : reports.designs) {
    if (design.design.TYPENUMBER == type && ClippedField(design.design.DESIGNNAME) == name) {
      return &design;
    }
  }
  return nullptr;
}

int32_t TypeNumber(const ShippedReports& reports, std::string_view name) {
  for (const ReportTypeRecord& type : reports.types) {
    if (ClippedField(type.TYPENAME) == name) return type.TYPENUMBER;
  }
  return 0;
}

TEST(ShippedReportsTest, OffersTheFourTypesWithTheirDesigns) {
  ShippedReports reports = Shipped();
  for (const char* name : {"Items", "Invoice List", "Invoice"}) {
    int32_t type = TypeNumber(reports, name);
    ASSERT_NE(type, 0) << name;
    const ShippedDesign* standard = FindDesign(reports, type, "Standard");
    ASSERT_NE(standard, nullptr) << name;
    EXPECT_TRUE(standard->standard) << name;
  }
  int32_t customers = TypeNumber(reports, "Customers");
  ASSERT_NE(customers, 0);
  EXPECT_NE(FindDesign(reports, customers, "Test"), nullptr);
  int defaults = 0;
  for (const ShippedDesign& design : reports.designs) {
    if (design.design.TYPENUMBER == customers && design.standard) ++defaults;
  }
  EXPECT_EQ(defaults, 1);
  std::set<std::string> papers;
  for (const PaperFormatRecord& paper : reports.papers) {
    papers.insert(std::string(ClippedField(paper.FORMATNAME)) + "/" +
                  std::string(ClippedField(paper.PAPERSCALE)));
  }
  for (const char* name : {"A4", "Letter", "Legal", "A5"}) {
    EXPECT_TRUE(papers.count(std::string(name) + "/1/1000 inch")) << name;
    EXPECT_TRUE(papers.count(std::string(name) + " mm/Milimeter")) << name;
  }
}

// A field control its type does not offer could never be bound; a band index
// the type lacks would be dropped when the design loads.
TEST(ShippedReportsTest, DesignsUseOnlyWhatTheirTypeOffers) {
  ShippedReports reports = Shipped();
  std::map<int32_t, std::string> fieldNames;
  for (const DataFieldRecord& field : reports.fields) {
    fieldNames[int32_t{field.FIELDNUMBER}] = std::string(ClippedField(field.FIELDNAME));
  }
  std::set<std::pair<int32_t, std::string>> offered;
  for (const TypeFieldRecord& pair : reports.typeFields) {
    ASSERT_TRUE(fieldNames.count(int32_t{pair.FIELDNUMBER}));
    offered.insert({int32_t{pair.TYPENUMBER}, fieldNames[int32_t{pair.FIELDNUMBER}]});
  }
  std::map<int32_t, int> details;
  for (const BandRecord& band : reports.bands) ++details[int32_t{band.TYPENUMBER}];
  for (const ShippedDesign& design : reports.designs) {
    int32_t type = design.design.TYPENUMBER;
    SCOPED_TRACE(std::string(ClippedField(design.design.DESIGNNAME)) + " of " +
                 std::to_string(type));
    ASSERT_FALSE(design.contents.empty());
    EXPECT_EQ(design.contents.front().RECORDTYPE[0], 'A');
    for (size_t i = 0; i < design.contents.size(); ++i) {
      const ContentRecord& record = design.contents[i];
      EXPECT_EQ(int32_t{record.SEQUENCENUMBER}, static_cast<int32_t>(i + 1));
      if (record.RECORDTYPE[0] == 'B') {
        EXPECT_LE(DecodeBand(record.THEDATA).index, 3 + details[type]);
      }
      if (record.RECORDTYPE[0] != 'C' || record.BCTYPE != KindField) continue;
      std::string field = DecodeControl(record.THEDATA).fieldName;
      EXPECT_TRUE(offered.count({type, field})) << field;
    }
  }
}

TEST(ShippedReportsTest, BadLinesAreNamedAndNothingIsKept) {
  const std::pair<const char*, const char*> cases[] = {
      {"type | 1 | Customers | 1\nshelf | 2\n", "line 2: unknown record"},
      {"type | x | Customers | 1\n", "line 1: \"x\" is not a number"},
      {"type | 1 | Customers\n", "line 1: 3 cells where 4 belong"},
      {"\n# note\nA | 1 | P | 1 | 1 | 0 | 0 | 1 | 1 | Arial | 400 | 10\n",
       "line 3: a design record before any design"},
      {"field | 1 | x | y | 1 | 300 | L | 0 | @n9\n", "line 1: \"300\" is not a number"},
      {"field | 1 | x | y | 1 | 8 | Q | 0 | @n9\n", "line 1: \"Q\" is not one of"},
      {"type | 1 | A name far longer than thirty-two characters | 1\n", "is longer than 32"},
  };
  for (const auto& [text, expected] : cases) {
    ShippedReports reports = Shipped();
    std::string error;
    EXPECT_FALSE(reports.Parse(text, &error)) << text;
    EXPECT_NE(error.find(expected), std::string::npos) << error;
    EXPECT_EQ(reports.types.size(), 4u);
  }
}

class ShippedFilesTest : public ::testing::Test {
 protected:
  ShippedFilesTest() : designs_(driver_) {
    designs_.DefinitionsFile = folder_.File("RptDes1.KDS");
    designs_.DesignsFile = folder_.File("NewRpt.KDS");
    designs_.BuildTableNames();
  }

  int64_t Count(DesignTable table) {
    runtime::DataFile& file = *designs_.File(table);
    EXPECT_EQ(file.Open(), 0) << DesignTableLabel(table);
    int64_t records = file.Records();
    file.Close();
    return records;
  }

  testing::TempFolder folder_;
  runtime::SqliteDriver driver_;
  DesignDatabase designs_;
  ShippedReports reports_ = Shipped();
};

TEST_F(ShippedFilesTest, MakesMissingDesignFilesAndLeavesExistingOnes) {
  ASSERT_EQ(reports_.MakeDesignFiles(designs_), 0);
  EXPECT_EQ(Count(R_Types), 4);
  EXPECT_EQ(Count(R_Pformats), 8);
  EXPECT_EQ(Count(R_Design), static_cast<int64_t>(reports_.designs.size()));
  EXPECT_EQ(Count(R_StdDesign), 4);
  runtime::DataFile& types = *designs_.File(R_Types);
  ASSERT_EQ(types.Open(), 0);
  R_T = {};
  runtime::AssignPadded(R_T.TYPENAME, "Items");
  ASSERT_EQ(types.Fetch(ReportTypeRecord::TYPENAMEKEY), 0);
  int32_t standard = R_T.STANDARDDESIGN;
  ASSERT_EQ(types.Delete(), 0);
  types.Close();
  R_D = {};
  R_D.DESIGNNUMBER = standard;
  ASSERT_EQ(designs_.File(R_Design)->Open(), 0);
  ASSERT_EQ(designs_.File(R_Design)->Fetch(DesignRecord::DESIGNNUMBERKEY), 0);
  EXPECT_EQ(ClippedField(R_D.DESIGNNAME), "Standard");
  designs_.File(R_Design)->Close();

  // The next start finds both files and keeps the user's changes.
  ASSERT_EQ(reports_.MakeDesignFiles(designs_), 0);
  EXPECT_EQ(Count(R_Types), 3);
  std::filesystem::remove(folder_.File("NewRpt.KDS"));
  ASSERT_EQ(reports_.MakeDesignFiles(designs_), 0);
  EXPECT_EQ(Count(R_Types), 3);
  EXPECT_EQ(Count(R_Content) > 0, true);
}

TEST_F(ShippedFilesTest, NewReportsFileInstallsThroughTheUpdate) {
  ShippedReports old;
  ASSERT_TRUE(old.Parse("type | 9 | Old | 0\nfield | 1 | Gone | OLD:GONE | 1 | 8 | L | 0 | @s9\n",
                        nullptr));
  ASSERT_EQ(old.MakeDesignFiles(designs_), 0);
  ASSERT_EQ(reports_.MakeNewReportsFile(designs_, folder_.File("RPTNEW1.KDS")), 0);
  testing::ScriptedMessages messages;
  DesignTransfer transfer(designs_);
  EXPECT_EQ(transfer.UpdateFromNewReports(), UpdateCompleted);
  EXPECT_EQ(Count(R_Types), 4);
  EXPECT_EQ(Count(R_Fields), static_cast<int64_t>(reports_.fields.size()));
  EXPECT_EQ(Count(R_TypeFields), static_cast<int64_t>(reports_.typeFields.size()));
  EXPECT_EQ(Count(R_Bands), static_cast<int64_t>(reports_.bands.size()));
  EXPECT_FALSE(std::filesystem::exists(folder_.File("RPTNEW1.KDS")));
}

}  // namespace
}  // namespace ledora::layout
