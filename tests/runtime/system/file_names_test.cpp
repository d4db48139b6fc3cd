#include "runtime/system/file_names.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include "tests/support/temp_folder.h"

namespace ledora::runtime {
namespace {

TEST(FileNamesTest, FindsExistingFileWhateverTheCase) {
  testing::TempFolder dir;
  std::filesystem::create_directory(dir.File("Data"));
  std::ofstream(dir.File("Data/RptDes1.KDS")) << "x";
  EXPECT_EQ(ResolveFileName(dir.path() + "/DATA/RPTDES1.KDS"), dir.File("Data/RptDes1.KDS"));
  EXPECT_EQ(ResolveFileName(dir.path() + "\\data\\rptdes1.kds"), dir.File("Data/RptDes1.KDS"));
  EXPECT_TRUE(FileExists(dir.path() + "/data/RPTDES1.kds"));
}

TEST(FileNamesTest, NewFileKeepsTheNameAsWritten) {
  testing::TempFolder dir;
  std::filesystem::create_directory(dir.File("Data"));
  EXPECT_EQ(ResolveFileName(dir.path() + "/DATA/NewRpt.KDS"), dir.File("Data/NewRpt.KDS"));
  EXPECT_EQ(ResolveFileName(dir.path() + "/Missing/Sub/A.ini"), dir.File("Missing/Sub/A.ini"));
  EXPECT_FALSE(FileExists(dir.path() + "/Missing/Sub/A.ini"));
}

TEST(FileNamesTest, WindowsCurrentFolderPrefix) {
  testing::TempFolder dir;
  std::ofstream(dir.File("qrptdes.ini")) << "";
  auto old = std::filesystem::current_path();
  std::filesystem::current_path(dir.path());
  EXPECT_EQ(ResolveFileName(".\\QRPTDES.INI"), "qrptdes.ini");
  std::filesystem::current_path(old);
}

}  // namespace
}  // namespace ledora::runtime
