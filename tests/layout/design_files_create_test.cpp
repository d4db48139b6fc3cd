// Two stations started at once on a data folder without design files: both
// make the shipped ones, and the folder must end up with one whole set that
// neither station's making has emptied, doubled or removed.
#include <gtest/gtest.h>

#include <string>

#include "layout/design_database.h"
#include "layout/shipped_reports.h"
#include "runtime/storage/sqlite_driver.h"
#include "tests/runtime/storage/child_process.h"
#include "tests/support/temp_folder.h"

namespace ledora::layout {
namespace {

using testing::ChildProcess;
using testing::Gate;

constexpr int kRounds = 12;

void NameFiles(DesignDatabase& designs, const testing::TempFolder& folder) {
  designs.DefinitionsFile = folder.File("RptDes1.KDS");
  designs.DesignsFile = folder.File("NewRpt.KDS");
  designs.BuildTableNames();
}

ShippedReports Shipped() {
  ShippedReports reports;
  std::string error;
  EXPECT_TRUE(reports.Parse(ShippedReportsText(), &error)) << error;
  return reports;
}

int64_t Count(DesignDatabase& designs, DesignTable table) {
  runtime::DataFile& file = *designs.File(table);
  if (file.Open() != 0) return -1;
  int64_t records = file.Records();
  file.Close();
  return records;
}

TEST(DesignFilesCreateTest, TwoStationsStartingOnAnEmptyFolderShareOneWholeSet) {
  ShippedReports reports = Shipped();
  for (int round = 0; round < kRounds; ++round) {
    SCOPED_TRACE("round " + std::to_string(round));
    testing::TempFolder folder;
    Gate gate;
    ASSERT_TRUE(gate.ok());
    auto start = [&](const std::function<void()>& ready) {
      runtime::SqliteDriver driver;
      DesignDatabase designs(driver);
      NameFiles(designs, folder);
      ready();
      gate.Pass();
      return reports.MakeDesignFiles(designs) == 0 ? 0 : 1;
    };
    ChildProcess first(start);
    ChildProcess second(start);
    ASSERT_TRUE(first.WaitReady() && second.WaitReady());
    gate.Open(2);
    EXPECT_EQ(first.Wait(), 0);
    EXPECT_EQ(second.Wait(), 0);

    runtime::SqliteDriver driver;
    DesignDatabase designs(driver);
    NameFiles(designs, folder);
    EXPECT_EQ(Count(designs, R_Types), static_cast<int64_t>(reports.types.size()));
    EXPECT_EQ(Count(designs, R_Bands), static_cast<int64_t>(reports.bands.size()));
    EXPECT_EQ(Count(designs, R_Fields), static_cast<int64_t>(reports.fields.size()));
    EXPECT_EQ(Count(designs, R_Pformats), static_cast<int64_t>(reports.papers.size()));
    EXPECT_EQ(Count(designs, R_Design), static_cast<int64_t>(reports.designs.size()));
    ASSERT_FALSE(::testing::Test::HasFailure());
  }
}

}  // namespace
}  // namespace ledora::layout
