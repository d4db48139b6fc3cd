#include "runtime/window/help_guide.h"

#include <gtest/gtest.h>

#include <fstream>

#include "tests/support/temp_folder.h"

namespace ledora::runtime {
namespace {

// A guide of three pages: the first links to the designer's chapter before
// the preview's, and a topic sits in a chapter the first page never names.
class HelpGuideTest : public ::testing::Test {
 protected:
  void SetUp() override {
    Write("index.html",
          "<html><head><title>ledora user guide</title></head><body>\n"
          "<h1>ledora user guide</h1><p>Intro &amp; welcome.</p>\n"
          "<ul><li><a href=\"designer.html\">Designer</a></li>"
          "<li><a href=\"preview.html#preview\">Preview</a></li></ul>\n"
          "<h2><a name=\"forms\"></a>Forms</h2><p>OK saves the record.</p>\n"
          "<h2 id=\"help\">Using help</h2><p>F1 shows the topic.</p></body></html>");
    Write("preview.html",
          "<title>The print preview</title><h2><a name=\"preview\"></a>The print preview</h2>"
          "<p>Page Down turns the page.</p><style>p { color: red }</style>");
    Write("designer.html",
          "<h1>The report designer</h1><p>Bands and controls.</p>\n"
          "<h2><a name=\"designer\"></a>Designer window</h2><p>Menus and the toolbar; "
          "pictures are chosen with the editor.</p>\n"
          "<h3><a name=\"picture-editor\"></a>The Picture  editor</h3><p>Builds a picture "
          "string from options.</p>");
    ASSERT_TRUE(guide.Load(folder.File("index.html")));
  }
  void Write(const std::string& name, const std::string& html) {
    std::ofstream(folder.File(name)) << html;
  }
  std::vector<std::string> Names(const std::vector<const HelpTopic*>& topics) {
    std::vector<std::string> names;
    for (const HelpTopic* topic : topics) names.push_back(topic->name);
    return names;
  }

  testing::TempFolder folder;
  HelpGuide guide;
};

TEST_F(HelpGuideTest, PagesComeInTheOrderTheFirstPageLinksThemEachWithItsSections) {
  std::vector<std::string> order;
  for (const HelpTopic& topic : guide.topics()) order.push_back(topic.page + "#" + topic.name);
  EXPECT_EQ(order, (std::vector<std::string>{"index.html#", "index.html#forms", "index.html#help",
                                             "designer.html#", "designer.html#designer",
                                             "designer.html#picture-editor", "preview.html#",
                                             "preview.html#preview"}));
  EXPECT_EQ(guide.topics()[0].heading, "ledora user guide");
  EXPECT_EQ(guide.Find("picture-editor")->heading, "The Picture editor") << "spaces squeezed";
  EXPECT_EQ(guide.Find("picture-editor")->level, 3);
}

TEST_F(HelpGuideTest, ATopicIsFoundOnWhicheverPageHoldsIt) {
  ASSERT_NE(guide.Find("designer"), nullptr);
  EXPECT_EQ(guide.Find("designer")->page, "designer.html");
  EXPECT_EQ(guide.Find("help")->page, "index.html") << "an id names a topic too";
  EXPECT_EQ(guide.Find("")->page, "index.html") << "no topic: the first page";
  EXPECT_EQ(guide.Find("Forms")->name, "forms") << "letter case aside";
  EXPECT_EQ(guide.Find("nowhere"), nullptr);
}

TEST_F(HelpGuideTest, SearchFindsTopicsHoldingEveryWordHeadingsFirst) {
  EXPECT_EQ(Names(guide.Search("picture")),
            (std::vector<std::string>{"picture-editor", "designer"}));
  EXPECT_EQ(Names(guide.Search("PAGE down")), (std::vector<std::string>{"preview"}));
  EXPECT_EQ(Names(guide.Search("page editor")), (std::vector<std::string>{}));
  EXPECT_TRUE(guide.Search("red").empty()) << "a style sheet is no text";
  EXPECT_TRUE(guide.Search(" ,; ").empty());
  EXPECT_EQ(Names(guide.Search("intro & welcome")), (std::vector<std::string>{""}));
}

TEST_F(HelpGuideTest, TheIndexListsTheSectionsByHeading) {
  EXPECT_EQ(Names(guide.Index()),
            (std::vector<std::string>{"designer", "forms", "picture-editor", "preview", "help"}));
}

TEST(HelpGuideMissingTest, AGuideThatCannotBeReadFailsToLoad) {
  HelpGuide guide;
  EXPECT_FALSE(guide.Load("/nonexistent/guide/index.html"));
  EXPECT_TRUE(guide.topics().empty());
}

}  // namespace
}  // namespace ledora::runtime
