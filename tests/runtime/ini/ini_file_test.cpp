#include "runtime/ini/ini_file.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <iterator>

#include "runtime/ini/line_file.h"
#include "tests/support/temp_folder.h"

namespace ledora::runtime {
namespace {

namespace fs = std::filesystem;

std::string ReadBytes(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return std::string((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
}

void WriteBytes(const std::string& path, const std::string& bytes) {
  std::ofstream(path, std::ios::binary) << bytes;
}

class IniFileTest : public ::testing::Test {
 protected:
  testing::TempFolder folder_;
};

TEST_F(IniFileTest, MissingFileReadsAsEmptyAndIsCreatedOnWrite) {
  std::string name = folder_.File("ledora.INI");
  IniDocument doc;
  EXPECT_EQ(ReadIniFile(name, &doc), IniFileMissing);
  EXPECT_EQ(ReadIniValue(name, "S", "K"), std::nullopt);
  ASSERT_EQ(WriteIniValue(name, "_PreviewWindow_", "Maximize", "No"), IniOk);
  EXPECT_EQ(ReadBytes(name), "[_PreviewWindow_]\nMaximize=No\n");
}

TEST_F(IniFileTest, WriteKeepsOtherLinesOnDiskByteForByte) {
  std::string name = folder_.File("qrptdes.ini");
  WriteBytes(name, ";c\r\n[PropertiesBox]\r\nWindowXposition=1\r\nWindowWidth=105\r\n");
  ASSERT_EQ(WriteIniValue(name, "PropertiesBox", "WindowXposition", "40"), IniOk);
  EXPECT_EQ(ReadBytes(name), ";c\r\n[PropertiesBox]\r\nWindowXposition=40\r\nWindowWidth=105\r\n");
}

TEST_F(IniFileTest, NameWithOtherLetterCaseReachesTheExistingFile) {
  WriteBytes(folder_.File("QRPTDES.INI"), "[S]\nK=1\n");
  std::string name = folder_.path() + "\\qrptdes.ini";
  EXPECT_EQ(ReadIniValue(name, "S", "K"), "1");
  ASSERT_EQ(WriteIniValue(name, "S", "K", "2"), IniOk);
  EXPECT_EQ(ReadBytes(folder_.File("QRPTDES.INI")), "[S]\nK=2\n");
  EXPECT_FALSE(fs::exists(folder_.File("qrptdes.ini")));
}

TEST_F(IniFileTest, DotBackslashNameIsTheCurrentFolders) {
  fs::path previous = fs::current_path();
  fs::current_path(folder_.path());
  IniResult result = WriteIniValue(".\\qrptdes.ini", "ReportDesigner", "TextsBand", "Bande:");
  fs::current_path(previous);
  ASSERT_EQ(result, IniOk);
  EXPECT_EQ(ReadBytes(folder_.File("qrptdes.ini")), "[ReportDesigner]\nTextsBand=Bande:\n");
}

TEST_F(IniFileTest, WriteLeavesNoTemporaryFileBehind) {
  std::string name = folder_.File("a.ini");
  ASSERT_EQ(WriteIniValue(name, "S", "K", "1"), IniOk);
  ASSERT_EQ(WriteIniValue(name, "S", "K", "2"), IniOk);
  EXPECT_EQ(std::distance(fs::directory_iterator(folder_.path()), fs::directory_iterator()), 1);
}

TEST_F(IniFileTest, FileThatCannotBeReadIsNeverWrittenOver) {
  std::string name = folder_.File("dir.ini");
  fs::create_directory(name);
  EXPECT_EQ(WriteIniValue(name, "S", "K", "1"), IniReadFailed);
  EXPECT_TRUE(fs::is_directory(name));
}

TEST_F(IniFileTest, WriteIntoAMissingFolderFails) {
  EXPECT_EQ(WriteIniValue(folder_.File("none/a.ini"), "S", "K", "1"), IniWriteFailed);
}

TEST_F(IniFileTest, RefusedTextLeavesTheFileUntouched) {
  std::string name = folder_.File("a.ini");
  WriteBytes(name, "[S]\nK=1\n");
  EXPECT_EQ(WriteIniValue(name, "S", "K", "1\n[T]"), IniInvalidText);
  EXPECT_EQ(ReadBytes(name), "[S]\nK=1\n");
}

TEST_F(IniFileTest, FileModeSurvivesARewrite) {
  std::string name = folder_.File("a.ini");
  WriteBytes(name, "[S]\n");
  fs::permissions(name, fs::perms::owner_read | fs::perms::owner_write | fs::perms::group_read);
  ASSERT_EQ(WriteIniValue(name, "S", "K", "1"), IniOk);
  EXPECT_EQ(fs::status(name).permissions() & fs::perms::all,
            fs::perms::owner_read | fs::perms::owner_write | fs::perms::group_read);
}

TEST_F(IniFileTest, ReadOnlyFileIsNotReplaced) {
  std::string name = folder_.File("a.ini");
  WriteBytes(name, "[S]\nK=1\n");
  fs::permissions(name, fs::perms::owner_read);
  EXPECT_EQ(WriteIniValue(name, "S", "K", "2"), IniWriteFailed);
  EXPECT_EQ(ReadBytes(name), "[S]\nK=1\n");
}

TEST_F(IniFileTest, WriteThroughALinkChangesTheLinkedFile) {
  std::string real = folder_.File("real.ini");
  std::string link = folder_.File("link.ini");
  WriteBytes(real, "[S]\nK=1\n");
  fs::create_symlink(real, link);
  ASSERT_EQ(WriteIniValue(link, "S", "K", "2"), IniOk);
  EXPECT_TRUE(fs::is_symlink(link));
  EXPECT_EQ(ReadBytes(real), "[S]\nK=2\n");
}

TEST_F(IniFileTest, LineFileCutsLongLinesAndDropsEndings) {
  std::string name = folder_.File("qrptdes.ini");
  WriteBytes(name, "[S]\r\n" + std::string(300, 'x') + "\n\nlast");
  std::vector<std::string> lines;
  ASSERT_EQ(ReadLineFile(name, 255, &lines), IniOk);
  ASSERT_EQ(lines.size(), 4u);
  EXPECT_EQ(lines[0], "[S]");
  EXPECT_EQ(lines[1], std::string(255, 'x'));
  EXPECT_EQ(lines[2], "");
  EXPECT_EQ(lines[3], "last");
}

TEST_F(IniFileTest, MissingLineFileGivesNoLines) {
  std::vector<std::string> lines{"stale"};
  EXPECT_EQ(ReadLineFile(folder_.File("none.ini"), 255, &lines), IniFileMissing);
  EXPECT_TRUE(lines.empty());
}

}  // namespace
}  // namespace ledora::runtime
