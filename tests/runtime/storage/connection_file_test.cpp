// The connection files of the stations in one data folder: each its own,
// gone with its station, and swept up after a station that died.
#include "runtime/storage/connection_file.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <set>

#include "runtime/storage/sqlite_driver.h"
#include "tests/runtime/storage/child_process.h"
#include "tests/runtime/storage/item_file.h"
#include "tests/support/temp_folder.h"

namespace ledora::runtime {
namespace {

namespace fs = std::filesystem;
using testing::ChildProcess;
using testing::ItemFile;
using testing::TempFolder;

class ConnectionFileTest : public ::testing::Test {
 protected:
  std::set<std::string> Names() {
    std::set<std::string> names;
    for (const auto& entry : fs::directory_iterator(folder.path())) {
      names.insert(entry.path().filename().string());
    }
    return names;
  }
  // Starts a station in a process of its own that makes its connection
  // file and either dies at once without removing it or lives on.
  std::string Station(bool lives) {
    int fds[2];
    EXPECT_EQ(pipe(fds), 0);
    station_ = std::make_unique<ChildProcess>([&](const std::function<void()>&) {
      std::unique_ptr<ConnectionFile> file = ConnectionFile::Make(folder.path());
      std::string made = file ? file->path() : "";
      (void)!write(fds[1], made.c_str(), made.size());
      close(fds[1]);
      while (lives) pause();
      _exit(0);  // as if killed: nothing is removed
      return 0;
    });
    close(fds[1]);
    std::string path;
    char buffer[4096];
    ssize_t n;
    while ((n = read(fds[0], buffer, sizeof buffer)) > 0) path.append(buffer, n);
    close(fds[0]);
    if (!lives) station_->Wait();
    return path;
  }
  void Write(const std::string& path, const std::string& bytes) {
    std::ofstream(path, std::ios::binary) << bytes;
  }

  TempFolder folder;
  std::unique_ptr<ChildProcess> station_;
};

TEST_F(ConnectionFileTest, EachStationHasItsOwnWhichGoesWithIt) {
  {
    SqliteDriver here, there;
    ItemFile mine(here, folder.File("ITEMS")), theirs(there, folder.File("OTHER"));
    ASSERT_EQ(mine->Create(), 0);
    ASSERT_EQ(theirs->Create(), 0);
    ASSERT_EQ(mine->Open(), 0);
    ASSERT_EQ(theirs->Open(), 0);
    std::set<std::string> names = Names();
    EXPECT_EQ(names.size(), 4u) << "two files and two connection files";
    ASSERT_EQ(mine.Add(1, "one"), 0);
    ASSERT_EQ(theirs.Add(1, "one"), 0);
  }
  EXPECT_EQ(Names(), (std::set<std::string>{"ITEMS.KDS", "OTHER.KDS"}));
}

TEST_F(ConnectionFileTest, ADeadStationsFileAndUnneededSuperJournalsAreSweptLiveOnesKept) {
  std::string dead = Station(false);
  ASSERT_FALSE(dead.empty());
  ASSERT_TRUE(fs::exists(dead));
  // Its commit died before any journal named its super-journal; another
  // super-journal is still named by a hot journal and must stay.
  std::string journal = folder.File("A.KDS-journal");
  Write(dead + "-mj0000019AA", journal + std::string(1, '\0'));
  Write(dead + "-mj0000029BB", journal + std::string(1, '\0'));
  Write(journal, "\xd9\xd5\x05\xf9 journal naming " + dead + "-mj0000029BB");
  std::unique_ptr<ConnectionFile> live = ConnectionFile::Make(folder.path());
  ASSERT_TRUE(live);
  EXPECT_FALSE(fs::exists(dead));
  EXPECT_FALSE(fs::exists(dead + "-mj0000019AA"));
  EXPECT_TRUE(fs::exists(dead + "-mj0000029BB"));

  // A live station's file and its super-journals are left alone.
  std::string alive = Station(true);
  ASSERT_FALSE(alive.empty());
  Write(alive + "-mj0000039CC", journal + std::string(1, '\0'));
  std::unique_ptr<ConnectionFile> another = ConnectionFile::Make(folder.path());
  EXPECT_TRUE(fs::exists(alive));
  EXPECT_TRUE(fs::exists(alive + "-mj0000039CC"));
  station_->Kill();
  another.reset();  // its station's end sweeps too
  EXPECT_FALSE(fs::exists(alive));
  EXPECT_FALSE(fs::exists(alive + "-mj0000039CC"));
}

}  // namespace
}  // namespace ledora::runtime
