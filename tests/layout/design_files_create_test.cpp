// Two stations started at once on a data folder without design files: both
// make the shipped ones, and the folder must end up with one whole set that
// neither station's making has emptied, doubled or removed. A station killed
// while making them leaves either no file or a whole one.
#include <gtest/gtest.h>
#include <unistd.h>

#include <chrono>
#include <filesystem>
#include <fstream>
#include <random>
#include <set>
#include <string>

#include "layout/design_database.h"
#include "layout/shipped_reports.h"
#include "runtime/storage/sqlite_driver.h"
#include "runtime/system/file_names.h"
#include "tests/runtime/storage/child_process.h"
#include "tests/support/temp_folder.h"

namespace ledora::layout {
namespace {

using testing::ChildProcess;
using testing::Gate;

constexpr int kRounds = 12;
constexpr int kKillRounds = 8;

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

// A station that starts on folder once the gate opens, making the design
// files it finds missing.
std::function<int(const std::function<void()>&)> StartingStation(const ShippedReports& reports,
                                                                 const testing::TempFolder& folder,
                                                                 Gate& gate) {
  return [&](const std::function<void()>& ready) {
    runtime::SqliteDriver driver;
    DesignDatabase designs(driver);
    NameFiles(designs, folder);
    ready();
    gate.Pass();
    return reports.MakeDesignFiles(designs) == 0 ? 0 : 1;
  };
}

TEST(DesignFilesCreateTest, TwoStationsStartingOnAnEmptyFolderShareOneWholeSet) {
  ShippedReports reports = Shipped();
  for (int round = 0; round < kRounds; ++round) {
    SCOPED_TRACE("round " + std::to_string(round));
    testing::TempFolder folder;
    Gate gate;
    ASSERT_TRUE(gate.ok());
    auto start = StartingStation(reports, folder, gate);
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

// Every table of the definitions or of the designs file holds all its
// shipped records.
void ExpectWhole(DesignDatabase& designs, const ShippedReports& reports, bool definitions) {
  if (definitions) {
    EXPECT_EQ(Count(designs, R_Types), static_cast<int64_t>(reports.types.size()));
    EXPECT_EQ(Count(designs, R_Bands), static_cast<int64_t>(reports.bands.size()));
    EXPECT_EQ(Count(designs, R_Fields), static_cast<int64_t>(reports.fields.size()));
    EXPECT_EQ(Count(designs, R_TypeFields), static_cast<int64_t>(reports.typeFields.size()));
    EXPECT_EQ(Count(designs, R_Pformats), static_cast<int64_t>(reports.papers.size()));
    return;
  }
  size_t contents = 0, standards = 0;
  for (const ShippedDesign& design : reports.designs) {
    contents += design.contents.size();
    standards += design.standard ? 1 : 0;
  }
  EXPECT_EQ(Count(designs, R_Design), static_cast<int64_t>(reports.designs.size()));
  EXPECT_EQ(Count(designs, R_Content), static_cast<int64_t>(contents));
  EXPECT_EQ(Count(designs, R_StdDesign), static_cast<int64_t>(standards));
}

std::set<std::string> Entries(const testing::TempFolder& folder) {
  std::set<std::string> names;
  for (const auto& entry : std::filesystem::directory_iterator(folder.path())) {
    names.insert(entry.path().filename().string());
  }
  return names;
}

// How long one station takes to make both files here, so that the kills
// below land anywhere in the making.
std::chrono::microseconds MakingTime(const ShippedReports& reports) {
  testing::TempFolder folder;
  runtime::SqliteDriver driver;
  DesignDatabase designs(driver);
  NameFiles(designs, folder);
  auto begin = std::chrono::steady_clock::now();
  EXPECT_EQ(reports.MakeDesignFiles(designs), 0);
  return std::chrono::duration_cast<std::chrono::microseconds>(std::chrono::steady_clock::now() -
                                                               begin);
}

TEST(DesignFilesCreateTest, StationKilledWhileMakingTheFilesLeavesNoHalfMadeFile) {
  ShippedReports reports = Shipped();
  int64_t making = MakingTime(reports).count();
  std::mt19937 random(5);
  for (int round = 0; round < kKillRounds; ++round) {
    SCOPED_TRACE("round " + std::to_string(round));
    testing::TempFolder folder;
    Gate gate;
    ASSERT_TRUE(gate.ok());
    ChildProcess station(StartingStation(reports, folder, gate));
    ASSERT_TRUE(station.WaitReady());
    gate.Open(1);
    ::usleep(static_cast<useconds_t>(
        std::uniform_int_distribution<int64_t>(0, making + making / 4)(random)));
    station.Kill();

    {
      runtime::SqliteDriver driver;
      DesignDatabase designs(driver);
      NameFiles(designs, folder);
      // What the killed station left: no file, or a whole one.
      if (runtime::FileExists(folder.File("RptDes1.KDS"))) ExpectWhole(designs, reports, true);
      if (runtime::FileExists(folder.File("NewRpt.KDS"))) ExpectWhole(designs, reports, false);
      // The next start makes what is missing and clears what was left half-made.
      ASSERT_EQ(reports.MakeDesignFiles(designs), 0);
      ExpectWhole(designs, reports, true);
      ExpectWhole(designs, reports, false);
    }
    EXPECT_EQ(Entries(folder), (std::set<std::string>{"NewRpt.KDS", "RptDes1.KDS"}));
    ASSERT_FALSE(::testing::Test::HasFailure());
  }
}

TEST(DesignFilesCreateTest, LeftoversOfAKilledMakingAreClearedAndTheFilesMadeWhole) {
  ShippedReports reports = Shipped();
  testing::TempFolder folder;
  for (const char* name : {"RptDes1.KDS.part", "RptDes1.KDS.part-journal", "NewRpt.KDS.part"}) {
    std::ofstream(folder.File(name)) << "half made";
  }
  {
    runtime::SqliteDriver driver;
    DesignDatabase designs(driver);
    NameFiles(designs, folder);
    ASSERT_EQ(reports.MakeDesignFiles(designs), 0);
    ExpectWhole(designs, reports, true);
    ExpectWhole(designs, reports, false);
  }
  EXPECT_EQ(Entries(folder), (std::set<std::string>{"NewRpt.KDS", "RptDes1.KDS"}));
}

}  // namespace
}  // namespace ledora::layout
