#include <gtest/gtest.h>

#include <algorithm>
#include <random>
#include <string>
#include <vector>

#include "runtime/ini/ini_document.h"
#include "runtime/ini/ini_file.h"
#include "tests/support/temp_folder.h"

namespace ledora::runtime {
namespace {

// Pieces that make INI-like text likelier than plain random bytes would.
const std::vector<std::string> kPieces = {
    "[",
    "]",
    "=",
    ";",
    " ",
    "\t",
    "\r",
    "\n",
    "\r\n",
    "S",
    "s",
    "Key",
    "KEY",
    "k",
    "\xE9",
    "\xC9",
    "\x80",
    std::string(1, '\0'),
    "\xEF\xBB\xBF",
    "value",
    "[S]",
    "[s ]",
};

std::string RandomText(std::mt19937& random, int maxPieces) {
  std::string text;
  int pieces = std::uniform_int_distribution<int>(0, maxPieces)(random);
  for (int i = 0; i < pieces; ++i) {
    text += kPieces[std::uniform_int_distribution<size_t>(0, kPieces.size() - 1)(random)];
  }
  return text;
}

// The bytes a write removed and added: what lies between the longest common
// prefix and the longest common suffix of the two texts.
std::pair<std::string, std::string> Difference(const std::string& before,
                                               const std::string& after) {
  size_t prefix = 0;
  while (prefix < before.size() && prefix < after.size() && before[prefix] == after[prefix]) {
    ++prefix;
  }
  size_t suffix = 0;
  size_t room = std::min(before.size(), after.size()) - prefix;
  while (suffix < room && before[before.size() - 1 - suffix] == after[after.size() - 1 - suffix]) {
    ++suffix;
  }
  return {before.substr(prefix, before.size() - prefix - suffix),
          after.substr(prefix, after.size() - prefix - suffix)};
}

TEST(IniFuzzTest, AnyBytesSurviveAParseAndWriteUnchanged) {
  std::mt19937 random(20261207);
  for (int iteration = 0; iteration < 3000; ++iteration) {
    std::string bytes = RandomText(random, 40);
    EXPECT_EQ(IniDocument::Parse(bytes).Serialize(), bytes);
  }
}

TEST(IniFuzzTest, SetChangesOneLineOrInsertsAndReadsBack) {
  std::mt19937 random(7);
  const char* sections[] = {"S", "s", "T", "\xC9t\xE9", "S]", " "};
  const char* keys[] = {"Key", "key", "k", "K=", ";c", "Other key", ""};
  for (int iteration = 0; iteration < 3000; ++iteration) {
    std::string before = RandomText(random, 30);
    IniDocument doc = IniDocument::Parse(before);
    std::string section = sections[random() % std::size(sections)];
    std::string key = keys[random() % std::size(keys)];
    std::string value = RandomText(random, 3);
    bool set = doc.Set(section, key, value);
    std::string after = doc.Serialize();
    if (!set) {
      EXPECT_EQ(after, before);
      continue;
    }
    std::string trimmed = value;
    trimmed.erase(0, trimmed.find_first_not_of(" \t\r"));
    trimmed.erase(trimmed.find_last_not_of(" \t\r") + 1);
    EXPECT_EQ(IniDocument::Parse(after).Get(section, key), trimmed);
    // Either one line changed in place, or whole lines went in at one spot.
    auto [removed, added] = Difference(before, after);
    if (removed.empty()) {
      EXPECT_LE(std::count(added.begin(), added.end(), '\n'), 3) << before;
    } else {
      EXPECT_EQ(removed.find('\n'), std::string::npos) << before;
      EXPECT_EQ(added.find('\n'), std::string::npos) << before;
    }
  }
}

TEST(IniFuzzTest, FilesOnDiskHoldExactlyWhatWasWritten) {
  testing::TempFolder folder;
  std::mt19937 random(11);
  std::string name = folder.File("fuzz.ini");
  for (int iteration = 0; iteration < 40; ++iteration) {
    IniDocument doc = IniDocument::Parse(RandomText(random, 30));
    ASSERT_EQ(WriteIniFile(name, doc), IniOk);
    std::string bytes;
    ASSERT_EQ(ReadFileBytes(name, &bytes), IniOk);
    EXPECT_EQ(bytes, doc.Serialize());
  }
}

}  // namespace
}  // namespace ledora::runtime
