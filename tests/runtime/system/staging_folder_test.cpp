#include "runtime/system/staging_folder.h"

#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include <csignal>
#include <filesystem>
#include <fstream>

#include "runtime/system/temporaries.h"
#include "tests/support/temp_folder.h"

namespace ledora::runtime {
namespace {

namespace fs = std::filesystem;

// Two files staged by a child process that dies (SIGKILL) after stage
// stage of its work: 0 before publishing, 1 with publishing begun and one
// file moved.
class StagingFolderTest : public ::testing::Test {
 protected:
  void StageAndDie(int stage) {
    pid_t child = fork();
    if (child == 0) {
      StagingFolder staging;
      staging.Create(folder_.path());
      std::ofstream(staging.path() + "/A.KDS") << "new a";
      std::ofstream(staging.path() + "/B.KDS") << "new b";
      if (stage == 1) {
        std::ofstream(staging.path() + "/" + kPublishingMark).close();
        fs::rename(staging.path() + "/A.KDS", folder_.File("A.KDS"));
      }
      raise(SIGKILL);
    }
    int status = 0;
    waitpid(child, &status, 0);
  }
  static std::string Read(const std::string& path) {
    std::ifstream in(path);
    std::string text;
    std::getline(in, text);
    return text;
  }
  size_t Entries() {
    return std::distance(fs::directory_iterator(folder_.path()), fs::directory_iterator());
  }

  testing::TempFolder folder_;
};

TEST_F(StagingFolderTest, FilesArriveTogetherOrNotAtAll) {
  {
    StagingFolder staging;
    ASSERT_TRUE(staging.Create(folder_.path()));
    std::ofstream(staging.path() + "/A.KDS") << "a";
  }
  EXPECT_EQ(Entries(), 0u);
  StagingFolder staging;
  ASSERT_TRUE(staging.Create(folder_.path()));
  std::ofstream(staging.path() + "/A.KDS") << "a";
  std::ofstream(staging.path() + "/.connection") << "hidden";
  ASSERT_TRUE(staging.Publish()) << staging.error();
  EXPECT_EQ(Read(folder_.File("A.KDS")), "a");
  EXPECT_EQ(Entries(), 1u);
}

TEST_F(StagingFolderTest, TheSweepUndoesAnUnbegunMoveAndFinishesABegunOne) {
  StageAndDie(0);
  EXPECT_EQ(Entries(), 1u);
  SweepTemporaries(folder_.path());
  EXPECT_EQ(Entries(), 0u);

  std::ofstream(folder_.File("B.KDS")) << "old b";
  StageAndDie(1);
  EXPECT_EQ(Read(folder_.File("B.KDS")), "old b");
  SweepTemporaries(folder_.path());
  EXPECT_EQ(Read(folder_.File("A.KDS")), "new a");
  EXPECT_EQ(Read(folder_.File("B.KDS")), "new b");
  EXPECT_EQ(Entries(), 2u);
}

}  // namespace
}  // namespace ledora::runtime
