// The help window on screen: asked for a topic it shows the page that holds
// it, and its search lists the topics holding the words, the first shown.
#include "runtime/qtwindow/qt_help_window.h"

#include <QListWidget>
#include <fstream>

#include "tests/runtime/qtwindow/qt_window_fixture.h"
#include "tests/support/temp_folder.h"

namespace ledora::runtime {
namespace {

class QtHelpWindowTest : public QtWindowFixture {
 protected:
  void SetUp() override {
    std::ofstream(guide.File("index.html"))
        << "<title>ledora user guide</title><h1>ledora user guide</h1>"
           "<h2><a name=\"help\"></a>Using help</h2><p>Search for words.</p>";
    std::ofstream(guide.File("designer.html"))
        << "<h1>The report designer</h1><h2><a name=\"designer\"></a>The designer window</h2>"
           "<p>Pictures of fields.</p><h3><a name=\"picture-editor\"></a>Picture editor</h3>"
           "<p>Builds a picture.</p>";
  }
  void TearDown() override { delete Help(); }
  QtHelpWindow* Help() { return VisibleTopLevel<QtHelpWindow>(); }

  testing::TempFolder guide;
};

TEST_F(QtHelpWindowTest, ATopicOpensThePageThatHoldsIt) {
  presenter.ShowHelp(guide.File("index.html"), "designer", HelpShowTopic);
  ASSERT_NE(Help(), nullptr);
  EXPECT_EQ(Help()->windowTitle(), "ledora Help - The designer window");
  presenter.ShowHelp(guide.File("index.html"), "", HelpShowTopic);
  EXPECT_EQ(Help()->windowTitle(), "ledora Help - ledora user guide") << "the contents";
}

TEST_F(QtHelpWindowTest, SearchForPictureListsThePictureEditorFirst) {
  presenter.ShowHelp(guide.File("index.html"), "", HelpShowSearch);
  ASSERT_NE(Help(), nullptr);
  Help()->Search("picture");
  QListWidget* results = Help()->results();
  ASSERT_EQ(results->count(), 2);
  EXPECT_EQ(results->item(0)->text(), "Picture editor");
  EXPECT_EQ(Help()->windowTitle(), "ledora Help - Picture editor");
  Help()->Search("nothing here");
  EXPECT_EQ(results->count(), 0);
}

}  // namespace
}  // namespace ledora::runtime
