// Every shipped design printed by `ledora print` with texts drawn from shared
// layouts and white backgrounds left out where nothing lies beneath, against
// the same report with every item drawn on its own (LEDORA_PLAIN_TEXT=1):
// the pages rendered by poppler must match pixel for pixel, and their text
// must read the same.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <map>
#include <sstream>

#include "tests/print/print_fixture.h"
#include "tests/support/command_output.h"

namespace ledora::testing {
namespace {

namespace fs = std::filesystem;

// The print command's report names for each report type it lists.
const std::map<std::string, std::vector<std::string>> kReportsOfType = {
    {"Customers", {"customers", "customers-by-name"}},
    {"Items", {"items"}},
    {"Invoice List", {"invoice-list"}},
    {"Invoice", {"invoices"}},
};

class PageIdentityTest : public PrintFixture {
 protected:
  // Each type's designs, as `ledora print --list` shows them.
  std::map<std::string, std::vector<std::string>> Designs() {
    Run list = Print("--list");
    EXPECT_EQ(list.status, 0) << list.err;
    std::map<std::string, std::vector<std::string>> designs;
    std::istringstream lines(list.out);
    std::string line, type;
    while (std::getline(lines, line)) {
      if (line.empty()) continue;
      if (line[0] != ' ') {
        type = line;
      } else {
        designs[type].push_back(line.substr(line.find_first_not_of(" *")));
      }
    }
    return designs;
  }

  // The pages of pdf as PNG files in a folder of their own.
  std::vector<std::string> Render(const std::string& pdf, const std::string& name) {
    fs::path folder = fs::path(data_.path()) / name;
    fs::create_directory(folder);
    CommandOutput("pdftocairo -png -r 150 '" + pdf + "' '" + (folder / "page").string() + "'");
    std::vector<std::string> pages;
    for (const fs::directory_entry& entry : fs::directory_iterator(folder)) {
      pages.push_back(entry.path().string());
    }
    std::sort(pages.begin(), pages.end());
    return pages;
  }

  static std::string Bytes(const std::string& file) {
    std::ifstream in(file, std::ios::binary);
    std::stringstream bytes;
    bytes << in.rdbuf();
    return bytes.str();
  }

  void ExpectSamePages(const std::string& report, const std::string& design) {
    SCOPED_TRACE(report + " / " + design);
    std::string args = report + " --design '" + design + "' --pdf ";
    std::string shared = data_.File("shared.pdf"), plain = data_.File("plain.pdf");
    ASSERT_EQ(Print(args + "shared.pdf").status, 0);
    ASSERT_EQ(Print(args + "plain.pdf", "LEDORA_PLAIN_TEXT=1").status, 0);
    std::vector<std::string> mine = Render(shared, "shared"), theirs = Render(plain, "plain");
    ASSERT_FALSE(mine.empty());
    ASSERT_EQ(mine.size(), theirs.size());
    for (size_t page = 0; page < mine.size(); ++page) {
      // The same renderer writes the same PNG bytes for the same pixels.
      EXPECT_TRUE(Bytes(mine[page]) == Bytes(theirs[page])) << "page " << page + 1;
    }
    EXPECT_EQ(PdfText(shared), PdfText(plain));
    for (const char* folder : {"shared", "plain"}) fs::remove_all(data_.File(folder));
  }
};

TEST_F(PageIdentityTest, EveryShippedDesignPrintsTheSamePagesAsItemByItemDrawing) {
  int printed = 0;
  for (const auto& [type, designs] : Designs()) {
    auto reports = kReportsOfType.find(type);
    ASSERT_NE(reports, kReportsOfType.end()) << "a report type the test does not know: " << type;
    for (const std::string& report : reports->second) {
      for (const std::string& design : designs) {
        ExpectSamePages(report, design);
        ++printed;
      }
    }
  }
  EXPECT_GE(printed, 6);
}

}  // namespace
}  // namespace ledora::testing
