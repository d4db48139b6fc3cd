#include "app/user_guide.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>

namespace ledora::app {
namespace {

// The guide is found from the build, and has a part for every topic the
// windows ask for and every subject users look up.
TEST(UserGuideTest, IsFoundAndHasEveryTopicTheWindowsAskFor) {
  std::string guide = FindUserGuide();
  ASSERT_FALSE(guide.empty()) << "no guide beside the program or in the sources";
  // Chapters may stand on pages of their own beside the contents page.
  std::stringstream text;
  for (const auto& page :
       std::filesystem::directory_iterator(std::filesystem::path(guide).parent_path())) {
    if (page.path().extension() != ".html") continue;
    std::ifstream in(page.path());
    text << in.rdbuf();
  }
  for (const char* topic :
       {"starting", "browses", "forms", "printing", "designer", "data-folder", "jobs"}) {
    EXPECT_NE(text.str().find(std::string("name=\"") + topic + "\""), std::string::npos) << topic;
  }
}

}  // namespace
}  // namespace ledora::app
