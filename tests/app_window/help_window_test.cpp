// The help window of the running program, asked for from the keyboard: F1
// in a window shows that window's topic, and the frame's Help menu shows
// the contents, the search and the guide's part on using help. The window's
// title names the topic it shows.
#include <string>

#include "tests/app_window/designer_program_test.h"

namespace ledora::testing {
namespace {

class HelpWindowTest : public DesignerProgramTest {};

TEST_F(HelpWindowTest, F1InTheDesignerOpensTheDesignerChapter) {
  OpenDesigner();
  Press("F1", 1.5);
  std::string title = HelpTitle();
  ASSERT_FALSE(title.empty()) << "F1 opened no help window";
  EXPECT_NE(title.find("designer"), std::string::npos) << title;
}

TEST_F(HelpWindowTest, TheHelpMenuShowsTheContentsTheSearchAndHowToUseHelp) {
  Keys(frame_, "alt+h");
  Keys(frame_, "c");
  EXPECT_EQ(HelpTitle("ledora Help - ledora user guide"), "ledora Help - ledora user guide");
  Keys(frame_, "alt+h");
  Keys(frame_, "h");
  EXPECT_EQ(HelpTitle("ledora Help - Using help"), "ledora Help - Using help");
  Keys(frame_, "alt+h");
  Keys(frame_, "s");
  // The search entry has the keys: the words go in and the first topic found shows.
  Press("p r e v i e w space w i n d o w Return", 1.5);
  EXPECT_EQ(HelpTitle("ledora Help - The preview window"), "ledora Help - The preview window");
}

}  // namespace
}  // namespace ledora::testing
