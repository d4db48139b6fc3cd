#include "app/user_guide.h"

#include <gtest/gtest.h>

#include <string>

#include "runtime/window/help.h"
#include "runtime/window/help_guide.h"

namespace ledora::app {
namespace {

// The guide is found from the build, and has a part, on whichever of its
// pages, for every topic the windows ask for and every subject users look up.
TEST(UserGuideTest, IsFoundAndHasEveryTopicTheWindowsAskFor) {
  std::string guide = FindUserGuide();
  ASSERT_FALSE(guide.empty()) << "no guide beside the program or in the sources";
  runtime::HelpGuide pages;
  ASSERT_TRUE(pages.Load(guide));
  for (const char* topic :
       {"starting", "browses", "forms", "printing", "designer", "data-folder", "jobs", "windows",
        runtime::kHelpOnHelpTopic, "select-design", "print-invoices", "preview", "preview-jump",
        "preview-display", "preview-find"}) {
    EXPECT_NE(pages.Find(topic), nullptr) << topic;
  }
}

}  // namespace
}  // namespace ledora::app
