#include "layout/shipped_design_update.h"

#include <gtest/gtest.h>

#include <cstring>
#include <filesystem>
#include <vector>

#include "layout/design_database.h"
#include "layout/shipped_reports.h"
#include "runtime/storage/sqlite_driver.h"
#include "runtime/values/fixed_string.h"
#include "tests/layout/earlier_version.h"
#include "tests/support/temp_folder.h"

namespace ledora::layout {
namespace {

using Contents = std::vector<ContentRecord>;

bool Same(const Contents& a, const Contents& b) {
  return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), [](auto& x, auto& y) {
           return x.SEQUENCENUMBER == y.SEQUENCENUMBER &&
                  std::memcmp(&x.RECORDTYPE, &y.RECORDTYPE, sizeof x - 8) == 0;
         });
}

// A folder made by the earlier version, brought up to date as start-up does.
class ShippedDesignUpdateTest : public ::testing::Test {
 protected:
  ShippedDesignUpdateTest() : designs_(driver_) {
    designs_.DefinitionsFile = folder_.File("RptDes1.KDS");
    designs_.DesignsFile = folder_.File("NewRpt.KDS");
    designs_.BuildTableNames();
    std::string error;
    EXPECT_TRUE(shipped_.Parse(ShippedReportsText(), &error)) << error;
    EXPECT_TRUE(earlier_.Parse(EarlierDesignsText(), &error)) << error;
    EXPECT_EQ(testing::EarlierVersion().MakeDesignFiles(designs_), 0);
  }

  int32_t Update() { return UpdateShippedDesigns(designs_, shipped_, earlier_); }

  runtime::DataFile& Open(DesignTable table) {
    runtime::DataFile& file = *designs_.File(table);
    if (!file.IsOpen()) {
      EXPECT_EQ(file.Open(), 0);
    }
    return file;
  }
  // The design's number, 0 when the folder has none of that type and name.
  int32_t DesignNumber(int32_t type, const std::string& name) {
    R_D = {};
    R_D.TYPENUMBER = type;
    runtime::AssignPadded(R_D.DESIGNNAME, name);
    return Open(R_Design).Fetch(DesignRecord::TYPEKEY) == 0 ? R_D.DESIGNNUMBER : 0;
  }
  Contents ContentsOf(int32_t design) {
    Contents contents;
    R_C = {};
    R_C.DESIGNNUMBER = design;
    runtime::DataFile& file = Open(R_Content);
    if (file.SetOnKey(ContentRecord::DESIGNNUMBERSEQ) != 0) return contents;
    while (file.Next() == 0 && R_C.DESIGNNUMBER == design) contents.push_back(R_C);
    return contents;
  }
  int64_t Records(DesignTable table) { return Open(table).Records(); }
  const ShippedDesign& ShippedInvoice() { return shipped_.designs.back(); }
  void TearDown() override {
    for (DesignTable table : {R_Design, R_Content, R_Fields, R_TypeFields}) {
      designs_.File(table)->Close();
    }
  }

  testing::TempFolder folder_;
  runtime::SqliteDriver driver_;
  DesignDatabase designs_;
  ShippedReports shipped_, earlier_;
};

TEST_F(ShippedDesignUpdateTest, UntouchedDesignsAreReplacedUnderTheirOwnNumbers) {
  ASSERT_EQ(Update(), 0);
  EXPECT_EQ(Records(R_Design), static_cast<int64_t>(shipped_.designs.size()));
  for (const ShippedDesign& design : shipped_.designs) {
    std::string name(runtime::ClippedField(design.design.DESIGNNAME));
    int32_t number = DesignNumber(design.design.TYPENUMBER, name);
    EXPECT_EQ(number, design.design.DESIGNNUMBER) << name;  // defaults still point at it
    EXPECT_TRUE(Same(ContentsOf(number), design.contents)) << name;
  }
  EXPECT_EQ(Records(R_Fields), static_cast<int64_t>(shipped_.fields.size()));
  EXPECT_EQ(Records(R_TypeFields), static_cast<int64_t>(shipped_.typeFields.size()));
}

TEST_F(ShippedDesignUpdateTest, AChangedDesignIsKeptByteForByteWithTheNewOneBeside) {
  int32_t invoice = ShippedInvoice().design.TYPENUMBER;
  int32_t standard = DesignNumber(invoice, "Standard");
  Contents changed = ContentsOf(standard);
  ASSERT_FALSE(changed.empty());
  R_C = changed.back();
  ASSERT_EQ(Open(R_Content).Fetch(ContentRecord::DESIGNNUMBERSEQ), 0);
  R_C.THEDATA[9] ^= 1;  // the last control moved by a thousandth
  ASSERT_EQ(Open(R_Content).Put(), 0);
  changed = ContentsOf(standard);
  designs_.File(R_Content)->Close();

  ASSERT_EQ(Update(), 0);
  EXPECT_TRUE(Same(ContentsOf(standard), changed));
  int32_t beside = DesignNumber(invoice, "Standard (new design)");
  ASSERT_NE(beside, 0);
  EXPECT_TRUE(Same(ContentsOf(beside), ShippedInvoice().contents));
  EXPECT_TRUE(Same(ContentsOf(DesignNumber(1, "Test")), shipped_.designs[1].contents));

  // Once up to date, the folder is left alone: the user's edits and
  // deletions stay.
  R_D = {};
  R_D.DESIGNNUMBER = beside;
  ASSERT_EQ(Open(R_Design).Fetch(DesignRecord::DESIGNNUMBERKEY), 0);
  ASSERT_EQ(Open(R_Design).Delete(), 0);
  designs_.File(R_Design)->Close();
  designs_.File(R_Content)->Close();
  ASSERT_EQ(Update(), 0);
  EXPECT_EQ(DesignNumber(invoice, "Standard (new design)"), 0);
}

TEST_F(ShippedDesignUpdateTest, AFolderMadeByThisVersionIsLeftAlone) {
  std::filesystem::remove(folder_.File("RptDes1.KDS"));
  std::filesystem::remove(folder_.File("NewRpt.KDS"));
  ASSERT_EQ(shipped_.MakeDesignFiles(designs_), 0);
  ASSERT_EQ(Update(), 0);
  EXPECT_EQ(Records(R_Design), static_cast<int64_t>(shipped_.designs.size()));
  EXPECT_EQ(Records(R_Fields), static_cast<int64_t>(shipped_.fields.size()));
}

TEST(EarlierDesignsTest, HoldEveryDesignTheEarlierVersionShippedUnderItsTypeAndName) {
  ShippedReports shipped, earlier;
  ASSERT_TRUE(shipped.Parse(ShippedReportsText(), nullptr));
  ASSERT_TRUE(earlier.Parse(EarlierDesignsText(), nullptr));
  ASSERT_EQ(earlier.designs.size(), shipped.designs.size());
  for (size_t i = 0; i < shipped.designs.size(); ++i) {
    EXPECT_EQ(earlier.designs[i].design.TYPENUMBER, shipped.designs[i].design.TYPENUMBER);
    EXPECT_EQ(runtime::ClippedField(earlier.designs[i].design.DESIGNNAME),
              runtime::ClippedField(shipped.designs[i].design.DESIGNNAME));
    EXPECT_FALSE(Same(earlier.designs[i].contents, shipped.designs[i].contents));
  }
}

}  // namespace
}  // namespace ledora::layout
