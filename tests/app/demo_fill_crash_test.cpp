// The sample data goes into the four invoicing files in one transaction. A
// station killed at any of its syncs, whose temporary folder is lost too (a
// reboot that clears it), leaves the four files all filled or all empty,
// and leaves nothing in that temporary folder.
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/wait.h>

#include <array>
#include <cstdio>
#include <filesystem>
#include <set>
#include <string>

#include "app/invoicing_dictionary.h"
#include "runtime/storage/sqlite_driver.h"
#include "tests/support/halt_recorder.h"
#include "tests/support/killed_station.h"
#include "tests/support/scripted_messages.h"
#include "tests/support/temp_folder.h"

namespace ledora::testing {
namespace {

namespace fs = std::filesystem;
using Counts = std::array<int64_t, 4>;

constexpr int kMostSyncs = 1000;

std::set<std::string> Names(const std::string& folder) {
  std::set<std::string> names;
  for (const fs::directory_entry& entry : fs::directory_iterator(folder)) {
    names.insert(entry.path().filename().string());
  }
  return names;
}

class DemoFillCrashTest : public ::testing::Test {
 protected:
  std::string Data() { return folder.File("data"); }
  std::string Temp() { return folder.File("tmp"); }

  // Runs the station in a fresh, empty data folder with a temporary folder
  // of its own, under strace killing it at its syncth fdatasync (0: never).
  // Answers its wait status.
  int Run(int sync) {
    for (const std::string& path : {Data(), Temp()}) {
      fs::remove_all(path);
      fs::create_directory(path);
    }
    return RunStationKilledAtSync(StationProgram("demo_fill_station"), Data(), Temp(), sync);
  }

  // The records of the four files as another station finds them in data.
  Counts Reopen(const std::string& data) {
    fs::path previous = fs::current_path();
    fs::current_path(data);
    Counts counts{};
    {
      HaltRecorder halts;
      ScriptedMessages messages;
      data::ErrorReporter errors;
      errors.Initialize();
      runtime::SqliteDriver driver;
      EXPECT_TRUE(app::DictionarySetup(driver, errors));
      int i = 0;
      for (data::FileManager* manager :
           {app::Access_CUSTOMER, app::Access_ITEMS, app::Access_INVOICES, app::Access_INVOICEL}) {
        EXPECT_EQ(manager->Open(), 0);
        EXPECT_EQ(manager->MakeUsable(), 0);
        counts[i++] = manager->CurrentFile().Records();
        manager->Close();
      }
      app::DictionaryShutdown();
      EXPECT_FALSE(halts.halted());
    }
    fs::current_path(previous);
    return counts;
  }

  TempFolder folder;
};

TEST_F(DemoFillCrashTest, AStationKilledAtAnySyncLeavesTheFourFilesAllFilledOrAllEmpty) {
  int status = Run(0);
  ASSERT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << status;
  const Counts filled = Reopen(Data());
  ASSERT_EQ(filled[0], 50);
  const Counts empty{};
  const std::set<std::string> files = {"CUSTOMER.KDS", "INVOICEL.KDS", "INVOICES.KDS", "ITEMS.KDS"};

  int kept = 0;
  int lost = 0;
  int kills = KillAtEachSync([&](int sync) { return Run(sync); },
                             [&] {
                               EXPECT_TRUE(Names(Temp()).empty()) << *Names(Temp()).begin();
                               fs::remove_all(Temp());
                               Counts left = Reopen(Data());
                               ASSERT_TRUE(left == filled || left == empty)
                                   << left[0] << " customers, " << left[1] << " items, " << left[2]
                                   << " invoices, " << left[3] << " lines";
                               (left == filled ? kept : lost)++;
                               // The dead station's connection file and super-journal are gone
                               // once another station has opened the folder (SQLite keeps a
                               // journal it never began to use for the next write).
                               for (const std::string& name : Names(Data())) {
                                 ASSERT_TRUE(files.count(name) || name.ends_with(".KDS-journal"))
                                     << name;
                               }
                             },
                             kMostSyncs);
  ASSERT_GT(kills, 0);
  EXPECT_GT(lost, 0);
  EXPECT_GT(kept, 0);
  std::printf("killed fills: %d kept, %d rolled back\n", kept, lost);
}

}  // namespace
}  // namespace ledora::testing

namespace ledora::testing {
namespace {

// Users copy a data folder to back it up and restore it elsewhere: the
// journals of a killed commit must roll it back at the new path too.
TEST_F(DemoFillCrashTest, AFillKilledAtAnySyncStaysWholeInAMovedFolder) {
  int status = Run(0);
  ASSERT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << status;
  const Counts filled = Reopen(Data());
  const Counts empty{};
  std::string moved = folder.File("moved");
  int sync = 1;
  for (; sync <= kMostSyncs; ++sync) {
    status = Run(sync);
    if (WIFEXITED(status) && WEXITSTATUS(status) == 0) break;
    SCOPED_TRACE("killed at fdatasync " + std::to_string(sync));
    fs::remove_all(moved);
    fs::rename(Data(), moved);
    Counts left = Reopen(moved);
    ASSERT_TRUE(left == filled || left == empty)
        << left[0] << " customers, " << left[1] << " items, " << left[2] << " invoices, " << left[3]
        << " lines";
  }
  ASSERT_LE(sync, kMostSyncs) << "the fill never ended";
}

}  // namespace
}  // namespace ledora::testing
