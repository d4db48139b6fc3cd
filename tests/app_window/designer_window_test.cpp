// The report designer in the real program window, driven with the mouse and
// the keyboard through the X server (xdotool): a new layout for "Items", its
// detail band, two fields placed by Insert control, one moved with the
// mouse, the two aligned, saved as "Mine", the designer closed and opened
// again on "Mine", where a click still finds the moved field. What was
// saved is read back from the designs file, and printed by `ledora print`.
#include <fstream>
#include <string>
#include <vector>

#include "tests/app_window/designer_program_test.h"

namespace ledora::testing {
namespace {

class DesignerWindowTest : public DesignerProgramTest {
 protected:
  // Insert control asks the control properties: kind Field, then the field
  // (its list starts with "Pagenumber"), then OK.
  void InsertField(int x, const std::string& rowKeys) {
    Click(751, 107, 0.6);                        // New control
    Click(x, 241, 1.5);                          // on the detail band
    Shell("xdotool mousemove 646 402 click 1");  // the control type list
    Pause(0.8);
    Press("Down Return");                        // from String to Field
    Shell("xdotool mousemove 645 428 click 1");  // the field list
    Pause(0.8);
    Press(rowKeys.empty() ? "Down Return" : rowKeys + " Return");
    Shell("xdotool mousemove 626 598 click 1");  // OK
    Pause(1);
  }
};

TEST_F(DesignerWindowTest, ALayoutMadeWithMouseAndKeysIsThereWhenOpenedAgain) {
  OpenDesigner();
  Click(90, 107, 1.5);  // New
  Press("End");         // "Items", the last report type
  Press("Return");
  Click(586, 107, 1.5);  // New band
  Press("End");          // the detail band "Item"
  Press("Return");
  InsertField(160, "");                // the first field: Item description
  InsertField(500, "Down Down Down");  // after the number: Item price
  std::vector<layout::ControlData> none = SavedControls("Mine");
  EXPECT_TRUE(none.empty());

  // Drag the description to the right, then align it under the price.
  Shell("xdotool mousemove --window " + frame_ + " 170 241 mousedown 1");
  Pause(0.2);
  Shell("xdotool mousemove --window " + frame_ + " 200 241");
  Pause(0.2);
  Shell("xdotool mousemove --window " + frame_ + " 260 241 mouseup 1");
  Pause(0.5);
  Click(520, 241);  // the price becomes the reference
  Shell("xdotool keydown ctrl");
  Click(290, 243);  // ... and the description is tagged
  Shell("xdotool keyup ctrl");
  Click(156, 107);  // Align left

  Click(453, 107, 1.5);                        // Save as
  Shell("xdotool mousemove 617 539 click 1");  // its name entry
  Pause(0.5);
  Shell("xdotool type --delay 80 Mine");
  Press("Return");
  std::vector<layout::ControlData> saved = SavedControls("Mine");
  ASSERT_EQ(saved.size(), 2u);
  EXPECT_EQ(saved[0].fieldName, "ITE:DESCRIPTION");
  EXPECT_EQ(saved[1].fieldName, "ITE:PRICE");
  EXPECT_EQ(saved[0].x, saved[1].x);  // aligned left on the price
  EXPECT_GT(saved[0].x, 2000);        // far right of where it was placed

  Click(122, 107, 1.5);  // Exit
  OpenDesigner();
  Click(57, 107, 1.5);  // Open: the dialog starts on "Items" / "Mine"
  Press("Return");
  Click(520, 241);  // the description, where it was left
  Press("Right");
  Click(22, 107, 1.5);  // Save
  std::vector<layout::ControlData> again = SavedControls("Mine");
  ASSERT_EQ(again.size(), 2u);
  EXPECT_EQ(again[0].x, saved[0].x + 40);
  EXPECT_EQ(again[1].x, saved[1].x);

  // The printed layout shows the two fields' values of every item.
  Click(122, 107, 1.5);  // Exit
  std::ofstream(data_.File("items.csv"))
      << "ITE:ITEMNR,ITE:DESCRIPTION,ITE:PRICE\n1701,Hex bolt M8,12.75\n1702,Wing nut M6,3.40\n";
  std::string ledora =
      "'" + (ExeFolder().parent_path() / "ledora").string() + "' --data '" + data_.path() + "' ";
  Shell(ledora + "import ITEMS '" + data_.File("items.csv") + "'");
  std::string pdf = data_.File("mine.pdf");
  Shell(ledora + "print items --design Mine --pdf '" + pdf + "'");
  std::string text = Output("pdftotext '" + pdf + "' -");
  // The description's control is narrow: its text wraps after the first word.
  for (const char* value : {"Hex", "bolt M8", "Wing", "nut M6", "12.75", "3.40"}) {
    EXPECT_NE(text.find(value), std::string::npos) << value << " in:\n" << text;
  }
}

}  // namespace
}  // namespace ledora::testing
