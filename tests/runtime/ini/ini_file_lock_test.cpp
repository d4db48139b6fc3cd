// Several stations changing one settings file at once, and stations killed
// in the middle of a change: every finished change survives, and the file
// on disk is always a whole one.
#include "runtime/ini/ini_file_lock.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <random>
#include <string>

#include "runtime/ini/ini_file.h"
#include "tests/runtime/storage/child_process.h"
#include "tests/support/temp_folder.h"

namespace ledora::runtime {
namespace {

namespace fs = std::filesystem;
using testing::ChildProcess;
using testing::Gate;

std::string Key(int station, int change) {
  return "S" + std::to_string(station) + "K" + std::to_string(change);
}

// A station that writes its keys one by one into the shared section,
// answering 0 when every write succeeded.
int WriteKeys(const std::string& name, int station, int changes) {
  for (int change = 0; change < changes; ++change) {
    if (WriteIniValue(name, "Shared", Key(station, change), std::to_string(change)) != IniOk) {
      return 1;
    }
  }
  return 0;
}

// One round: a fresh folder, and stations that each write their keys into
// its settings file once all of them are let go at the same moment.
struct Race {
  testing::TempFolder folder;
  std::string name = folder.File("ledora.INI");
  Gate gate;
  std::vector<std::unique_ptr<ChildProcess>> stations;

  // False when a station could not be started.
  bool Start(int count, int changes) {
    if (!gate.ok()) return false;
    for (int station = 0; station < count; ++station) {
      stations.push_back(std::make_unique<ChildProcess>([&, station](const auto& ready) {
        ready();
        gate.Pass();
        return WriteKeys(name, station, changes);
      }));
      if (!stations.back()->WaitReady()) return false;
    }
    gate.Open(count);
    return true;
  }
};

size_t EntriesIn(const std::string& folder) {
  return std::distance(fs::directory_iterator(folder), fs::directory_iterator());
}

TEST(IniFileLockTest, StationsWritingAtOnceKeepEveryValue) {
  constexpr int kStations = 4, kChanges = 25;
  for (int round = 0; round < 3; ++round) {
    SCOPED_TRACE("round " + std::to_string(round));
    Race race;
    ASSERT_TRUE(race.Start(kStations, kChanges));
    for (auto& station : race.stations) EXPECT_EQ(station->Wait(), 0);

    IniDocument document;
    ASSERT_EQ(ReadIniFile(race.name, &document), IniOk);
    for (int station = 0; station < kStations; ++station) {
      for (int change = 0; change < kChanges; ++change) {
        EXPECT_EQ(document.Get("Shared", Key(station, change)), std::to_string(change))
            << Key(station, change);
      }
    }
    EXPECT_EQ(EntriesIn(race.folder.path()), 1u);
    ASSERT_FALSE(::testing::Test::HasFailure());
  }
}

// Each station writes its keys in order, so whatever a kill leaves must hold
// an unbroken run of each station's keys from the first.
TEST(IniFileLockTest, StationsKilledWhileWritingLeaveAWholeFile) {
  constexpr int kStations = 2, kChanges = 400;
  std::mt19937 random(7);
  for (int round = 0; round < 6; ++round) {
    SCOPED_TRACE("round " + std::to_string(round));
    Race race;
    ASSERT_TRUE(race.Start(kStations, kChanges));
    ::usleep(std::uniform_int_distribution<useconds_t>(2000, 30000)(random));
    for (auto& station : race.stations) station->Kill();

    IniDocument document;
    IniResult read = ReadIniFile(race.name, &document);
    ASSERT_TRUE(read == IniOk || read == IniFileMissing);
    for (size_t line = 0; line < document.LineCount(); ++line) {
      EXPECT_NE(document.KindOfLine(line), IniMalformed) << "line " << line;
    }
    for (int station = 0; station < kStations; ++station) {
      int kept = 0;
      while (kept < kChanges && document.Get("Shared", Key(station, kept))) ++kept;
      for (int change = kept; change < kChanges; ++change) {
        EXPECT_FALSE(document.Get("Shared", Key(station, change))) << Key(station, change);
      }
    }
    // The next station's write clears what the killed ones left behind.
    ASSERT_EQ(WriteIniValue(race.name, "Next", "K", "1"), IniOk);
    EXPECT_EQ(EntriesIn(race.folder.path()), 1u);
    ASSERT_FALSE(::testing::Test::HasFailure());
  }
}

TEST(IniFileLockTest, LeftoversOfAKilledStationAreClearedOnTheNextWrite) {
  testing::TempFolder folder;
  std::string name = folder.File("a.ini");
  std::ofstream(name) << "[S]\nK=1\n";
  std::ofstream(folder.File(".a.ini.lock")) << "";
  std::ofstream(folder.File(".a.ini.tmpAb12Cd")) << "[S]\nK=";
  std::ofstream(folder.File(".a.ini.backup")) << "[S]\nK=0\n";
  ASSERT_EQ(WriteIniValue(name, "S", "K", "2"), IniOk);
  EXPECT_EQ(ReadIniValue(name, "S", "K"), "2");
  EXPECT_FALSE(fs::exists(folder.File(".a.ini.lock")));
  EXPECT_FALSE(fs::exists(folder.File(".a.ini.tmpAb12Cd")));
  EXPECT_TRUE(fs::exists(folder.File(".a.ini.backup")));
}

TEST(IniFileLockTest, EveryLetterCaseOfANameTakesOneLock) {
  EXPECT_EQ(IniFileLock::LockPathFor("/d/LEDORA.INI"), IniFileLock::LockPathFor("/d/ledora.ini"));
  EXPECT_NE(IniFileLock::LockPathFor("/d/a.ini"), IniFileLock::LockPathFor("/e/a.ini"));
}

TEST(IniFileLockTest, LockInAFolderThatCannotTakeOneHoldsNothing) {
  testing::TempFolder folder;
  IniFileLock lock(folder.File("missing/a.ini"));
  EXPECT_FALSE(lock.locked());
}

// A second lock of the same file in one process can never be granted; it
// must give up rather than freeze the program.
TEST(IniFileLockTest, ASecondLockInTheSameProcessGivesUpInsteadOfWaitingForever) {
  testing::TempFolder folder;
  IniFileLock first(folder.File("a.ini"));
  ASSERT_TRUE(first.locked());
  IniFileLock second(folder.File("A.INI"), 0.05);
  EXPECT_FALSE(second.locked());
  EXPECT_TRUE(first.locked());
}

// A station's change waits while another station holds the lock, and then
// starts from what that station wrote.
TEST(IniFileLockTest, WriteWaitsForTheStationHoldingTheLock) {
  testing::TempFolder folder;
  std::string name = folder.File("a.ini");
  Gate gate;
  ASSERT_TRUE(gate.ok());
  ChildProcess holder([&](const auto& ready) {
    IniFileLock lock(name);
    ready();
    gate.Pass();
    std::ofstream(name) << "[S]\nOther=holder\n";
    return lock.locked() ? 0 : 1;
  });
  ASSERT_TRUE(holder.WaitReady());
  gate.Open(1);
  EXPECT_EQ(WriteIniValue(name, "S", "K", "waiter"), IniOk);
  EXPECT_EQ(holder.Wait(), 0);
  EXPECT_EQ(ReadIniValue(name, "S", "Other"), "holder");
  EXPECT_EQ(ReadIniValue(name, "S", "K"), "waiter");
}

}  // namespace
}  // namespace ledora::runtime
